// The settings: their file form, a damaged file reported once and replaced,
// the screen's rows, and each setting changing what it names.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "comfort/Controller.h"
#include "comfort/Settings.h"
#include "comfort/SettingsFile.h"
#include "comfort/SettingsText.h"
#include "comfort/SettingsScreen.h"
#include "input/GameActions.h"
#include "platform/audio/AudioMix.h"
#include "platform/diagnostics/Debug.h"
#include "platform/diagnostics/Trace.h"
#include "platform/files/Files.h"
#include "platform/window/Clipboard.h"
#include "support/MsgBoxTestSupport.h"

using comfort::Controller;
using comfort::Settings;
using comfort::SettingsFile;
using comfort::SettingsScreen;
using platform::Event;
using platform::Key;

// Seconds are read with arithmetic of the reader's own (the browser build's
// C++ library has no floating-point from_chars): to the same double as
// from_chars, whole, fractional, at the length limit and at the range's ends.
TEST(ComfortSettings, SecondsReadToTheValueFromCharsGives) {
  for (const std::string v : {"0", "10", "1.5", ".25", "0.1", "0.3", "2.", "0.016", "9.9999999999", "0.0000000001",
                              "3.1415926535", "7.77777777", "0.07", "00000001.000"}) {
    Settings back;
    std::string error;
    ASSERT_TRUE(comfort::ParseSettings("auto-delay = " + v + "\n", back, error)) << v << ": " << error;
    double expected = -1;
    ASSERT_EQ(std::from_chars(v.data(), v.data() + v.size(), expected, std::chars_format::fixed).ec, std::errc()) << v;
    EXPECT_EQ(back.autoDelay, expected) << v;  // bit for bit, not merely close
  }
  // Past the length limit or with a second point: refused as before.
  for (const std::string v : {"1.00000000000", "1.2.3", "."}) {
    Settings back;
    std::string error;
    EXPECT_FALSE(comfort::ParseSettings("auto-delay = " + v + "\n", back, error)) << v;
  }
}

TEST(ComfortSettings, FileFormComesBackAndRejectsWhatItDoesNotKnow) {
  Settings s;
  s.stepsPerCharacter = 0;
  s.autoDelay = 2.5;
  s.musicVolume = 40;
  s.mute = true;
  s.sharpScaling = true;
  s.copyToClipboard = true;
  Settings back;
  std::string error;
  ASSERT_TRUE(comfort::ParseSettings(comfort::SerializeSettings(s), back, error)) << error;
  EXPECT_EQ(back, s);

  const std::string good = comfort::SerializeSettings(Settings{});
  for (const std::string& bad : {good + "music-volume = 101\n", good + "auto-delay = -1\n", good + "scaling = big\n",
                                good + "steps-per-character = 9\n", good + "music-volume\n",
                                good + "effect-volume = 0x5\n", good + "auto-delay = 1e-320\n",
                                good + "auto-per-character = inf\n", good + "window-width = 100\n"}) {
    back = Settings{};
    EXPECT_FALSE(comfort::ParseSettings(bad, back, error)) << bad;
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(back, Settings{}) << bad;  // the value refused, the others read
  }
  // What a person or a newer version writes is no fault: no header, a key
  // this version does not know, yes for on.
  for (const std::string& fine : {std::string("music-volume = 50\n"), good + "volume = 3\n", good + "mute = yes\n"}) {
    EXPECT_TRUE(comfort::ParseSettings(fine, back, error)) << fine << error;
  }
}

TEST(ComfortSettings, RollbackAndTheRightClickAreWrittenOnlyAwayFromTheirDefaults) {
  // A player who never touched them keeps the file as it was.
  const std::string plain = comfort::SerializeSettings(Settings{});
  EXPECT_EQ(plain.find("rollback"), std::string::npos);
  EXPECT_EQ(plain.find("right-click"), std::string::npos);
  Settings s;
  s.rollback = false;
  s.rightClickHides = true;
  const std::string text = comfort::SerializeSettings(s);
  EXPECT_NE(text.find("rollback = off"), std::string::npos) << text;
  EXPECT_NE(text.find("right-click-hides = on"), std::string::npos) << text;
  Settings back;
  std::string error;
  ASSERT_TRUE(comfort::ParseSettings(text, back, error)) << error;
  EXPECT_EQ(back, s);
  EXPECT_FALSE(comfort::ParseSettings("rollback = sometimes\n", back, error));
}

TEST(ComfortSettings, ReadsWhatAPersonWritesAndKeepsTheRestWhenAValueIsWrong) {
  // A BOM, CR LF, comments after values, no spaces or tabs around "=", a
  // quoted word, a key in capitals with "_", a newer version's key, and two
  // values that are wrong: each wrong value alone keeps its default.
  const std::string text =
      "\xEF\xBB\xBF# vantorel settings 1\r\n"
      "# my settings\r\n"
      "music-volume=40   # quieter at night\r\n"
      "\teffect-volume\t=\t30\r\n"
      "scaling = \"sharp\"\r\n"
      "Copy_To_Clipboard = on\r\n"
      "future-setting = something\r\n"
      "auto-delay = 1e-320\r\n"
      "steps-per-character = 0x5\r\n"
      "\r\n"
      "auto-per-character = .1\r\n";
  Settings s;
  std::vector<std::string> problems;
  comfort::SettingsText doc;
  doc.Parse(text, s, problems);
  EXPECT_EQ(s.musicVolume, 40);
  EXPECT_EQ(s.effectVolume, 30);
  EXPECT_TRUE(s.sharpScaling);
  EXPECT_TRUE(s.copyToClipboard);
  EXPECT_DOUBLE_EQ(s.autoPerCharacter, 0.1);
  EXPECT_EQ(s.autoDelay, Settings{}.autoDelay);
  EXPECT_EQ(s.stepsPerCharacter, Settings{}.stepsPerCharacter);
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0].rfind("line 8: bad value", 0), 0u) << problems[0];
  EXPECT_EQ(problems[1].rfind("line 9: bad value", 0), 0u) << problems[1];

  // Written back: unchanged lines byte for byte, the changed one's comment
  // and spacing kept, the refused ones given the values in force, the
  // missing keys added; the BOM and the line ends as they were.
  s.musicVolume = 70;
  const std::string out = doc.Write(s);
  EXPECT_EQ(out.rfind("\xEF\xBB\xBF# vantorel settings 1\r\n# my settings\r\nmusic-volume=70   # quieter at night\r\n"
                      "\teffect-volume\t=\t30\r\nscaling = \"sharp\"\r\nCopy_To_Clipboard = on\r\n"
                      "future-setting = something\r\nauto-delay = 1\r\nsteps-per-character = 1\r\n\r\n"
                      "auto-per-character = .1\r\n",
                      0),
            0u)
      << out;
  EXPECT_NE(out.find("skip-unseen = off\r\n"), std::string::npos) << out;
  Settings again;
  std::string error;
  EXPECT_TRUE(comfort::ParseSettings(out, again, error)) << error;
  EXPECT_EQ(again, s);
}

TEST(ComfortSettings, TheFileIsWrittenThroughALinkAndAPlaceThatCannotTakeItIsSaidOnce) {
  testsupport::ScratchDir dir(testsupport::ScratchDir::kEnter, "settings");
  // A dotfiles set-up: the settings a link to a file kept elsewhere, with a
  // comment and a newer version's key in it.
  dir.Write("dotfiles/vantorel-settings", "# mine\nmusic-volume = 20\nnewer-key = 1\n");
  ::mkdir("config", 0755);
  ASSERT_EQ(::symlink("../dotfiles/vantorel-settings", "config/settings"), 0);
  SettingsFile linked(dir.Path() + "/config/settings");
  Settings s = linked.Load();
  EXPECT_EQ(s.musicVolume, 20);
  s.effectVolume = 60;
  ASSERT_TRUE(linked.Save(s));
  struct stat st;
  ASSERT_EQ(::lstat("config/settings", &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  const std::string kept = testsupport::ReadHostFile("dotfiles/vantorel-settings");
  EXPECT_EQ(kept.rfind("# mine\nmusic-volume = 20\nnewer-key = 1\n", 0), 0u) << kept;
  EXPECT_NE(kept.find("effect-volume = 60\n"), std::string::npos) << kept;
  EXPECT_FALSE(std::filesystem::exists("config/settings.bak"));  // nothing was wrong: no copy kept

  // A place no file can be made in: the change holds, and is said once.
  dir.Write("not-a-folder", "");
  platform::SetDebugEcho(false);
  std::vector<std::string> reports;
  platform::trace::SetEventListener([&](const std::string& json) {
    if (json.find("\"type\":\"report\"") != std::string::npos) reports.push_back(json);
  });
  SettingsFile nowhere(dir.Path() + "/not-a-folder/settings");
  nowhere.Load();
  EXPECT_FALSE(nowhere.Save(s));
  EXPECT_FALSE(nowhere.Save(s));
  platform::trace::SetEventListener(nullptr);
  platform::SetDebugEcho(true);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("設定を保存できません"), std::string::npos) << reports[0];
}

TEST(ComfortSettings, AFileTooLargeToReadIsKeptBesideItWhenReplaced) {
  testsupport::ScratchDir dir(testsupport::ScratchDir::kEnter, "settings");
  platform::SetDebugEcho(false);
  {
    std::ofstream("settings") << "music-volume = 10\n";
  }
  std::filesystem::resize_file("settings", uintmax_t(1) << 30);  // sparse
  SettingsFile file(dir.Path() + "/settings");
  EXPECT_EQ(file.Load(), Settings{});
  Settings s;
  s.mute = true;
  ASSERT_TRUE(file.Save(s));
  platform::SetDebugEcho(true);
  EXPECT_EQ(std::filesystem::file_size("settings.bak"), uintmax_t(1) << 30);
  EXPECT_TRUE(file.Load().mute);
}

TEST(ComfortSettings, VolumesMapToDecibelsWithSilenceAtTheBottom) {
  EXPECT_EQ(comfort::VolumeLevel(100, false), 0);
  EXPECT_EQ(comfort::VolumeLevel(50, false), -1204);  // -12 dB
  EXPECT_EQ(comfort::VolumeLevel(10, false), -4000);
  EXPECT_LE(comfort::VolumeLevel(0, false), -10000);
  EXPECT_LE(comfort::VolumeLevel(100, true), -10000);
}

TEST(ComfortSettings, DamagedFileIsReportedOnceAndReplacedByDefaults) {
  testsupport::ScratchDir dir(testsupport::ScratchDir::kEnter, "settings");
  { std::ofstream("settings") << "# vantorel settings 1\nmusic-volume = loud\n"; }
  // Reports reach the trace as debug lines: count those naming the file.
  platform::SetDebugEcho(false);
  ASSERT_TRUE(platform::trace::Open(dir.Path() + "/trace.jsonl"));
  SettingsFile file(dir.Path() + "/settings");
  EXPECT_EQ(file.Load(), Settings{});
  EXPECT_EQ(file.Load(), Settings{});  // the file was replaced: no second report
  platform::trace::EndFrame(0, 0);
  platform::trace::Close();
  platform::SetDebugEcho(true);
  const std::string trace = testsupport::ReadHostFile(dir.Path() + "/trace.jsonl");
  size_t reports = 0;
  for (size_t at = trace.find("\"type\":\"report\",\"unit\":\"Settings\""); at != std::string::npos;
       at = trace.find("\"type\":\"report\",\"unit\":\"Settings\"", at + 1))
    ++reports;
  EXPECT_EQ(reports, 1u) << trace;
  EXPECT_NE(trace.find("line 2: bad value"), std::string::npos);
  Settings back;
  std::string error;
  EXPECT_TRUE(comfort::ParseSettings(testsupport::ReadHostFile(dir.Path() + "/settings"), back, error)) << error;
  // The person's file, as it was, beside it.
  EXPECT_EQ(testsupport::ReadHostFile(dir.Path() + "/settings.bak"), "# vantorel settings 1\nmusic-volume = loud\n");

  SettingsFile missing(dir.Path() + "/none/settings");
  EXPECT_EQ(missing.Load(), Settings{});
  Settings s;
  s.effectVolume = 30;
  ASSERT_TRUE(missing.Save(s));  // makes its directory
  EXPECT_EQ(missing.Load().effectVolume, 30);
}

TEST(ComfortSettings, ScreenRowsChangeOneNotchAndStayInRange) {
  SettingsScreen screen;
  Settings s;
  screen.MoveTo(SettingsScreen::kTextSpeed);
  EXPECT_TRUE(screen.Change(s, 1));
  EXPECT_EQ(s.stepsPerCharacter, 0);  // faster than the game's pace: whole at once
  EXPECT_TRUE(screen.Change(s, 1));
  EXPECT_EQ(s.stepsPerCharacter, 0);
  for (int i = 0; i < 6; ++i) screen.Change(s, -1);
  EXPECT_EQ(s.stepsPerCharacter, 4);
  screen.MoveTo(SettingsScreen::kMusic);
  screen.Change(s, 1);
  EXPECT_EQ(s.musicVolume, 100);
  screen.Change(s, -1);
  EXPECT_EQ(s.musicVolume, 90);
  screen.MoveTo(SettingsScreen::kAutoDelay);
  for (int i = 0; i < 10; ++i) screen.Change(s, -1);
  EXPECT_EQ(s.autoDelay, 0.0);
  screen.MoveTo(SettingsScreen::kMute);
  screen.Change(s, -1);
  EXPECT_TRUE(s.mute);
  screen.MoveTo(SettingsScreen::kClose);
  EXPECT_FALSE(screen.Change(s, 1));
  screen.Move(1);
  EXPECT_EQ(screen.Cursor(), 0);  // round the end
  EXPECT_EQ(SettingsScreen::RowAt(SettingsScreen::kLeft + 5, SettingsScreen::kTop + SettingsScreen::kRowHeight + 3), 1);
  EXPECT_EQ(SettingsScreen::RowAt(0, SettingsScreen::kTop), -1);
  for (int32_t row = 0; row < SettingsScreen::kRows; ++row) EXPECT_FALSE(SettingsScreen::Name(row).empty());
}

namespace {
class ComfortSettingsInGame : public msgboxtest::MsgBoxTest {
 protected:
  void TearDown() override {
    comforts.reset();
    platform::SetPlayerLevels(0, 0);
    MsgBoxTest::TearDown();
  }
  void Make() {
    comforts.reset();
    Controller::Config c;
    c.listen = false;
    c.settingsPath = "settings";
    comforts = std::make_unique<Controller>(*box, actions, c);
  }
  void Step(std::initializer_list<Event> events) {
    for (const Event& e : events) comforts->OnEvent(e);
    comforts->BeginStep(0.0);
  }
  std::unique_ptr<Controller> comforts;
};
}  // namespace

TEST_F(ComfortSettingsInGame, ScreenChangesWhatItNamesAtOnceAndComesBackAfterARestart) {
  Make();
  const float music = platform::MusicBusGain();
  ASSERT_EQ(Run({"あいうえお", "二"}), S_OK);
  Step({Event::KeyPress(Key::F2, true)});
  ASSERT_TRUE(comforts->SettingsOpen());
  EXPECT_FALSE(comforts->WantsStep(0.0));  // the game stands still

  // The text speed: whole at once, by the game's own right action.
  actions[ACT_RIGHT] = 1;
  Step({});
  EXPECT_EQ(comforts->Current().stepsPerCharacter, 0);
  EXPECT_EQ(actions[ACT_RIGHT], 0);
  box->Step();
  box->FrameMove();
  EXPECT_EQ(box->Window().TypedLength(), box->Window().MessageText().size());

  // The music volume, by the pointer: a click on its row is a notch... down
  // by the wheel, twice.
  const int32_t y = SettingsScreen::kTop + SettingsScreen::kMusic * SettingsScreen::kRowHeight + 5;
  Step({Event::MouseMove(SettingsScreen::kLeft + 10, y), Event::Wheel(-1), Event::Wheel(-1)});
  EXPECT_EQ(comforts->SettingsCursor(), SettingsScreen::kMusic);
  EXPECT_EQ(comforts->Current().musicVolume, 80);
  EXPECT_LT(platform::MusicBusGain(), music * 0.7f);

  // Copying each message to the clipboard.
  Step({Event::MouseMove(SettingsScreen::kLeft + 10,
                         SettingsScreen::kTop + SettingsScreen::kClipboard * SettingsScreen::kRowHeight + 5),
        Event::MouseClick(platform::MouseButton::Left, true, SettingsScreen::kLeft + 10,
                          SettingsScreen::kTop + SettingsScreen::kClipboard * SettingsScreen::kRowHeight + 5)});
  EXPECT_TRUE(comforts->Current().copyToClipboard);
  Step({Event::KeyPress(Key::Escape, true)});
  EXPECT_FALSE(comforts->SettingsOpen());
  ASSERT_EQ(Run({"太郎：", "こんにちは"}), S_OK);
  EXPECT_EQ(platform::LastClipboardText(), "太郎：こんにちは");

  // A new run reads them back and puts them in force at once.
  platform::SetPlayerLevels(0, 0);
  Make();
  EXPECT_EQ(comforts->Current().musicVolume, 80);
  EXPECT_EQ(comforts->Current().stepsPerCharacter, 0);
  EXPECT_LT(platform::MusicBusGain(), music * 0.7f);
}

TEST_F(ComfortSettingsInGame, SlowTextTypesOneCharacterEveryFewSteps) {
  Make();
  Settings s;
  s.stepsPerCharacter = 3;
  comforts->Change(s);
  ASSERT_EQ(Run({"abcdef"}), S_OK);
  const uint32_t before = box->Window().TypedLength();
  for (int i = 0; i < 6; ++i) box->FrameMove();
  EXPECT_EQ(box->Window().TypedLength(), before + 2);
}

TEST(ComfortSettings, FileLivesPerGameUnderTheConfigurationHome) {
  const char* was = std::getenv("XDG_CONFIG_HOME");
  const std::string old = was ? was : "";
  platform::SetGameId("demo-0123456789ab");
  setenv("XDG_CONFIG_HOME", "/tmp/cfg-home", 1);
  EXPECT_EQ(comfort::PlayerConfigDirectory(), "/tmp/cfg-home/vantorel/demo-0123456789ab");
  setenv("XDG_CONFIG_HOME", "relative/by/mistake", 1);  // not valid by the XDG rules: the home's .config
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  if (!home.empty()) {
    EXPECT_EQ(comfort::PlayerConfigDirectory(), home + "/.config/vantorel/demo-0123456789ab");
  }
  platform::SetGameId("");
  if (was) setenv("XDG_CONFIG_HOME", old.c_str(), 1);
  else unsetenv("XDG_CONFIG_HOME");
}
