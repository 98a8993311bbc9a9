// The application icon: a dusk sky over a setting sun, and the message
// window with two lines of text and the wait cursor, on a rounded tile.
// Drawn on a 100 x 100 model, so every size is drawn, not scaled.
#include "Catalog.h"

namespace makeart {

Image DrawIcon(int size) {
  Canvas c(size, size);
  c.SetView(float(size) / 100.0f, 0, 0);
  // Small sizes need crisper edges to stay legible.
  const FillOptions crisp{size <= 32 ? 0.8f : 1.0f, 1.0f, Blend::Over};
  const ShapePtr tile = Rect(4, 4, 96, 96, 20);
  c.Fill(tile, Linear(0, 4, 0, 96, {{0.0f, Hex(0x27335F)}, {0.55f, Hex(0xB4507A)}, {1.0f, Hex(0xF4A259)}}), crisp);
  c.Fill(Intersect(Circle(50, 66, 24), tile),
         Radial(50, 66, 24, {{0.0f, Hex(0xFFF1C4)}, {0.7f, Hex(0xFFD27A)}, {1.0f, Hex(0xF7A552)}}), crisp);

  const ShapePtr window = Rect(12, 52, 88, 88, 7);
  c.Fill(Offset(window, 2.2f), Hex(0xF2DFA7), crisp);  // the gold rim
  c.Fill(window, Linear(0, 52, 0, 88, {{0.0f, Hex(0x27335F, 0.94f)}, {1.0f, Hex(0x10162F, 0.96f)}}), crisp);
  const Color text = Hex(0xF4F1E8);
  c.Fill(Rect(20, 61, 70, 66, 2.5f), text, crisp);
  if (size >= 32) c.Fill(Rect(20, 72, 56, 77, 2.5f), text, crisp);
  c.Fill(Polygon({{72, 73}, {80, 73}, {76, 79}}), Hex(0xF2DFA7), crisp);
  return c.ToImage();
}

}  // namespace makeart
