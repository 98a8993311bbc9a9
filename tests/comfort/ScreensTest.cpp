// What the player sees of the comforts: the screens of ours on a panel of
// their own over the game, the history filling its page, the skip and auto
// indicator, and what the player does to the window itself (full screen,
// its size) kept as settings and given back at the next start.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "comfort/Controller.h"
#include "comfort/HistoryView.h"
#include "comfort/Panel.h"
#include "platform/window/Window.h"
#include "support/MsgBoxTestSupport.h"

using comfort::Controller;
using comfort::HistoryView;
using comfort::Panel;
using msgboxtest::W;
using platform::Event;
using platform::Key;

namespace {
bool Reddish(uint32_t argb) {
  const int r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
  return r > 40 && r > 2 * g && r > 2 * b;
}

class ComfortScreens : public msgboxtest::MsgBoxTest {
 protected:
  void SetUp() override {
    MsgBoxTest::SetUp();
    Make();
  }
  void TearDown() override {
    comforts.reset();
    platform::SetCurrentWindow(nullptr);
    window.reset();
    MsgBoxTest::TearDown();
  }
  void Make() {
    comforts.reset();
    Controller::Config c;
    c.listen = false;
    c.settingsPath = "settings";
    comforts = std::make_unique<Controller>(*box, actions, c);
  }
  static Event Key(platform::Key k, bool down = true) { return Event::KeyPress(k, down); }
  bool Step(std::initializer_list<Event> events, double now = 0.0) {
    for (const Event& e : events) comforts->OnEvent(e);
    return comforts->BeginStep(now);
  }
  // The game as drawn this frame, comforts over it.
  std::vector<uint32_t> Frame() {
    platform::Device* device = CPolygon::GetDevice();
    device->Clear(0xFF000000);
    box->Render();
    comforts->Render();
    device->Present();
    std::vector<uint32_t> px;
    EXPECT_TRUE(device->ReadPixels(px));
    return px;
  }
  // Red game pixels inside the rectangle [x0, x1) x [y0, y1).
  static size_t RedIn(const std::vector<uint32_t>& px, int x0, int y0, int x1, int y1) {
    size_t n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += Reddish(px.at(size_t(y) * 640 + x));
    return n;
  }
  // A bright red background over the whole picture, and the messages given.
  void RedGame(const std::vector<std::string>& messages) {
    WriteTexture("red.tga", msgboxtest::Tga(2, 2, 0xFFFF0000));
    std::vector<std::string> words = {"Texture", "red", "red.tga", "BG", "red"};
    words.insert(words.end(), messages.begin(), messages.end());
    ASSERT_EQ(Run(words), S_OK);
  }
  std::unique_ptr<platform::Window> window;
  std::unique_ptr<Controller> comforts;
};
}  // namespace

TEST_F(ComfortScreens, SettingsAndHistoryDrawOnAPanelThatNoPictureShowsThrough) {
  RedGame({"一", "二"});
  box->Step();
  const std::vector<uint32_t> game = Frame();
  ASSERT_GT(RedIn(game, 20, 20, 620, 300), 100000u);  // the picture is there to hide

  comforts->OpenSettings();
  std::vector<uint32_t> px = Frame();
  EXPECT_EQ(RedIn(px, int(Panel::kLeft), int(Panel::kTop), int(Panel::kRight), int(Panel::kBottom)), 0u);
  EXPECT_GT(RedIn(px, 11, 100, int(Panel::kLeft) - 1, 300), 0u);  // dimmed beside the panel, the game still shows
  Step({Key(Key::Escape)});

  Step({Key(Key::PageUp)});
  ASSERT_TRUE(comforts->Messages().IsOpen());
  px = Frame();
  EXPECT_EQ(RedIn(px, int(Panel::kLeft), int(Panel::kTop), int(Panel::kRight), int(Panel::kBottom)), 0u);
  // The heading is drawn inside it, in its strip.
  size_t lit = 0;
  for (int y = int(Panel::kTop); y < int(Panel::kTop + Panel::kHeading); ++y)
    for (int x = 30; x < 200; ++x) lit += (px[size_t(y) * 640 + x] & 0xFF) > 0xC0;
  EXPECT_GT(lit, 20u);
}

TEST_F(ComfortScreens, TheHistoryShowsAsManyEntriesAsFitItsPage) {
  std::vector<std::string> messages;
  for (int i = 0; i < 30; ++i) messages.push_back(std::to_string(i) + "番目");
  ASSERT_EQ(Run(messages), S_OK);
  for (int i = 0; i < 29; ++i) box->Step();
  Step({Key(Key::PageUp)});
  const comfort::History& h = comforts->Messages();
  ASSERT_TRUE(h.IsOpen());
  // One-row messages without a speaker: many more than the four of old.
  const size_t fit = size_t(HistoryView::kPageHeight / HistoryView::EntryHeight(h.Entries().back()));
  EXPECT_GT(fit, 8u);
  EXPECT_EQ(h.Shown(), fit);
  EXPECT_EQ(h.First() + h.Shown(), 30u);  // the newest at the bottom
  // Page Up goes back a whole page.
  Step({Key(Key::PageUp)});
  EXPECT_EQ(h.First(), 30u - 2 * fit);

  // Taller entries (a speaker and three rows) fit fewer, but always one.
  comfort::History tall;
  tall.SetPage(HistoryView::kPageHeight, HistoryView::EntryHeight);
  for (int i = 0; i < 10; ++i) tall.Add(W("太郎："), "a\nb\nc");
  ASSERT_TRUE(tall.Open());
  EXPECT_EQ(tall.Shown(), size_t(HistoryView::kPageHeight / (4 * HistoryView::kRowPitch + HistoryView::kGap)));
  comfort::History huge;
  huge.SetPage(10.0f, HistoryView::EntryHeight);
  huge.Add("", "a");
  huge.Add("", "a\nb\nc");
  ASSERT_TRUE(huge.Open());
  EXPECT_EQ(huge.Shown(), 1u);
  EXPECT_EQ(huge.First(), 1u);
}

TEST_F(ComfortScreens, SkipAndAutoShowAnIndicatorInTheCornerWhileOn) {
  ASSERT_EQ(Run({"一", "二", "三"}), S_OK);
  const std::vector<uint32_t> plain = Frame();
  auto corner = [](const std::vector<uint32_t>& px, const std::vector<uint32_t>& base) {
    size_t differ = 0;
    for (int y = 10; y < 70; ++y)
      for (int x = 500; x < 640; ++x) differ += px[size_t(y) * 640 + x] != base[size_t(y) * 640 + x];
    return differ;
  };
  Step({Key(Key::A)});
  const size_t autoOnly = corner(Frame(), plain);
  EXPECT_GT(autoOnly, 100u);
  Step({Key(Key::LeftCtrl)});
  EXPECT_GT(corner(Frame(), plain), autoOnly);  // held skip adds its own label
  Step({Key(Key::H)});  // the window hidden: so is the indicator
  EXPECT_EQ(corner(Frame(), plain), 0u);
  Step({Key(Key::LeftCtrl, false), Key(Key::Z)});  // a press brings the window back
  Step({Key(Key::A)});
  EXPECT_FALSE(comforts->Auto());
  EXPECT_EQ(corner(Frame(), plain), 0u);
}

TEST_F(ComfortScreens, FullScreenAndTheWindowSizeThePlayerChoseAreKeptForTheNextStart) {
  platform::WindowConfig config;
  window = platform::Window::Create(config, true);
  ASSERT_TRUE(window);
  platform::SetCurrentWindow(window.get());
  Make();
  EXPECT_FALSE(window->Fullscreen());

  // F11 in the window itself: the setting follows and is saved.
  EXPECT_TRUE(window->TakeWindowKey(Event::KeyPress(Key::F11, true)));
  Step({}, 1.0);
  EXPECT_TRUE(comforts->Current().fullScreen);
  EXPECT_NE(testsupport::ReadHostFile("settings").find("full-screen = on"), std::string::npos);
  // Alt+Enter, with the Alt as the window saw it.
  EXPECT_FALSE(window->TakeWindowKey(Event::KeyPress(Key::Return, true)));
  EXPECT_FALSE(window->TakeWindowKey(Event::KeyPress(Key::LeftAlt, true)));
  EXPECT_TRUE(window->TakeWindowKey(Event::KeyPress(Key::Return, true)));
  EXPECT_FALSE(window->TakeWindowKey(Event::KeyPress(Key::Return, false)));
  EXPECT_FALSE(window->Fullscreen());
  EXPECT_TRUE(window->TakeWindowKey(Event::KeyPress(Key::Return, true, true)));  // a repeat changes nothing
  EXPECT_FALSE(window->Fullscreen());
  window->TakeWindowKey(Event::KeyPress(Key::LeftAlt, false));
  Step({}, 1.1);
  EXPECT_FALSE(comforts->Current().fullScreen);
  window->TakeWindowKey(Event::KeyPress(Key::F11, true));
  Step({}, 1.2);

  // A new size is kept once it has held still for a moment (a drag resizes many times).
  window->SetWindowedSize(700, 500);
  Step({}, 2.0);
  window->SetWindowedSize(800, 622);
  Step({}, 2.2);
  EXPECT_EQ(comforts->Current().windowWidth, 0);
  EXPECT_NEAR(comforts->SecondsUntilDue(2.3), 0.4, 1e-9);  // the loop wakes to keep it
  Step({}, 2.7);
  EXPECT_EQ(comforts->Current().windowWidth, 800);
  EXPECT_EQ(comforts->Current().windowHeight, 622);
  EXPECT_EQ(comforts->SecondsUntilDue(2.7), std::numeric_limits<double>::infinity());

  // The next start: a new window of the game's size gets both back.
  comforts.reset();
  platform::SetCurrentWindow(nullptr);
  window = platform::Window::Create(config, true);
  platform::SetCurrentWindow(window.get());
  Make();
  int w = 0, h = 0;
  window->WindowedSize(w, h);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 622);
  EXPECT_TRUE(window->Fullscreen());
}

TEST(ComfortSettingsFile, WindowSizeComesBackAndTooSmallGrowsToTheSmallest) {
  comfort::Settings s;
  s.windowWidth = 1024;
  s.windowHeight = 790;
  comfort::Settings back;
  std::string error;
  ASSERT_TRUE(comfort::ParseSettings(comfort::SerializeSettings(s), back, error)) << error;
  EXPECT_EQ(back, s);
  s.windowWidth = 20;
  s.windowHeight = 0;
  s.Clamp();
  EXPECT_EQ(s.windowWidth, 160);
  EXPECT_EQ(s.windowHeight, 120);
  s = comfort::Settings{};
  s.Clamp();  // none chosen stays none
  EXPECT_EQ(s.windowWidth, 0);
}
