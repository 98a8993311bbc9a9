#include "Catalog.h"

namespace makeart {

const std::vector<PictureEntry>& Catalog() {
  static const std::vector<PictureEntry> entries = [] {
    std::vector<PictureEntry> e = {
        {"window", "message window, 470x136", DrawMessageWindow},
        {"frame", "speaker picture frame, 136x136", DrawPictureFrame},
        {"cursor", "wait cursor, four 24x32 frames", DrawWaitCursor},
        {"corridor", "school corridor at dusk, 640x480", DrawCorridor},
        {"park", "park at sunset, 640x480", [] { return DrawPark(false); }},
        {"park-night", "park at night, 640x480", [] { return DrawPark(true); }},
        {"cat", "calico cat, 200x426", [] { return DrawCat(false); }},
        {"cat-face", "calico cat face, 128x128", [] { return DrawCat(true); }},
        {"title-logo", "title lettering, 400x426", DrawTitleLogo},
        {"button-start", "title button 'hajime kara', 150x66", [] { return DrawTitleButton("はじめから"); }},
        {"button-continue", "title button 'tsuzuki kara', 150x66", [] { return DrawTitleButton("つづきから"); }},
        {"button-keys", "title button 'key settings', 150x66", [] { return DrawTitleButton("キー設定"); }},
        {"button-quit", "title button 'owaru', 150x66", [] { return DrawTitleButton("おわる"); }},
        {"button-save", "window button 'save', 156x136", [] { return DrawWindowButton("セーブ"); }},
        {"button-load", "window button 'load', 156x136", [] { return DrawWindowButton("ロード"); }},
        {"button-go-on", "window button 'go on', 156x136", [] { return DrawWindowButton("つづける"); }},
        // The same buttons for the English translation (GameData/Texture/en).
        {"title-logo-en", "title lettering (English), 400x426",
         [] { return DrawTitleLogoOf("A Promise at Sunset", "〜 Yuuyake no Yakusoku 〜", "ＭＳ Ｐゴシック"); }},
        {"button-start-en", "title button 'New game' (English), 150x66", [] { return DrawTitleButton("New game"); }},
        {"button-continue-en", "title button 'Continue' (English), 150x66", [] { return DrawTitleButton("Continue"); }},
        {"button-keys-en", "title button 'Controls' (English), 150x66", [] { return DrawTitleButton("Controls"); }},
        {"button-quit-en", "title button 'Quit' (English), 150x66", [] { return DrawTitleButton("Quit"); }},
        {"button-save-en", "window button 'Save' (English), 156x136", [] { return DrawWindowButton("Save"); }},
        {"button-load-en", "window button 'Load' (English), 156x136", [] { return DrawWindowButton("Load"); }},
        {"button-go-on-en", "window button 'Go on' (English), 156x136", [] { return DrawWindowButton("Go on"); }},
        {"icon-16", "application icon, 16x16", [] { return DrawIcon(16); }},
        {"icon-32", "application icon, 32x32", [] { return DrawIcon(32); }},
        {"icon-48", "application icon, 48x48", [] { return DrawIcon(48); }},
        {"icon-64", "application icon, 64x64", [] { return DrawIcon(64); }},
        {"icon-128", "application icon, 128x128", [] { return DrawIcon(128); }},
        {"icon-256", "application icon, 256x256", [] { return DrawIcon(256); }},
    };
    struct Who {
      Cast cast;
      const char* name;
    };
    struct How {
      Mood mood;
      const char* suffix;
    };
    for (Who w : {Who{Cast::Hina, "hina"}, Who{Cast::Shiori, "shiori"}}) {
      for (How h : {How{Mood::Normal, ""}, How{Mood::Smile, "-smile"}, How{Mood::Surprised, "-surprised"}}) {
        std::string base = std::string(w.name) + h.suffix;
        e.push_back({base, "standing picture, 200x426", [w, h] { return DrawStanding(w.cast, h.mood); }});
        e.push_back({std::string(w.name) + "-face" + h.suffix, "face, 128x128",
                     [w, h] { return DrawFace(w.cast, h.mood); }});
      }
    }
    return e;
  }();
  return entries;
}

}  // namespace makeart
