#include <gtest/gtest.h>

#include <fstream>

#include "support/InputTestSupport.h"
#include "platform/diagnostics/Debug.h"
#include "platform/diagnostics/Trace.h"
#include "platform/files/Files.h"
#include "platform/input/InputBindings.h"

using namespace platform;

namespace {
bool Has(const Bindings& b, uint32_t action, const std::string& control) {
  for (const Binding& x : b)
    if (x.action == action && x.control == control) return true;
  return false;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
}  // namespace

TEST(InputBindings, DefaultsFollowTheSemantics) {
  Bindings d = DefaultBindings(GameSpec());
  // Keyboard semantics: the arrows, the space bar and B.
  EXPECT_TRUE(Has(d, ACT_LEFT, "key:Left"));
  EXPECT_TRUE(Has(d, ACT_RIGHT, "key:Right"));
  EXPECT_TRUE(Has(d, ACT_UP, "key:Up"));
  EXPECT_TRUE(Has(d, ACT_DOWN, "key:Down"));
  EXPECT_TRUE(Has(d, ACT_DECIDE_KEY, "key:Space"));
  EXPECT_TRUE(Has(d, ACT_CANCEL_KEY, "key:B"));
  // The genre's fire and target buttons on a keyboard and a pad.
  EXPECT_TRUE(Has(d, ACT_DECIDE, "key:Return"));
  EXPECT_TRUE(Has(d, ACT_DECIDE, "key:Z"));
  EXPECT_TRUE(Has(d, ACT_DECIDE, "pad:a"));
  EXPECT_TRUE(Has(d, ACT_CANCEL, "key:Escape"));
  EXPECT_TRUE(Has(d, ACT_CANCEL, "key:X"));
  EXPECT_TRUE(Has(d, ACT_CANCEL, "pad:x"));
  // Both axes from the left stick and the d-pad.
  EXPECT_TRUE(Has(d, ACT_LEFT_RIGHT, "pad:leftx"));
  EXPECT_TRUE(Has(d, ACT_LEFT_RIGHT, "pad:dpadx"));
  EXPECT_TRUE(Has(d, ACT_UP_DOWN, "pad:lefty"));
  EXPECT_TRUE(Has(d, ACT_UP_DOWN, "pad:dpady"));
  EXPECT_EQ(d.size(), 16u);
}

TEST(InputBindings, ControlNamesAreCanonicalAndChecked) {
  EXPECT_EQ(ParseControl("key:z").name, "key:Z");
  EXPECT_EQ(ParseControl("key:return").name, "key:Return");
  EXPECT_EQ(ParseControl("key:Left_Shift").name, "key:Left Shift");
  EXPECT_EQ(ParseControl("pad:a").kind, ControlKind::PadButton);
  EXPECT_EQ(ParseControl("pad:leftx").kind, ControlKind::PadAxis);
  EXPECT_EQ(ParseControl("pad:dpadx").kind, ControlKind::PadAxis);
  EXPECT_EQ(ParseControl("pad:righty+").kind, ControlKind::PadDirection);
  EXPECT_EQ(ParseControl("pad:lefttrigger+").kind, ControlKind::PadDirection);
  for (const char* bad : {"", "key:", "key:NoSuchKey", "pad:", "pad:zz", "pad:lefttrigger-", "pad:dpadx-",
                          "pad:lefttrigger", "mouse:1", "Return"})
    EXPECT_EQ(ParseControl(bad).kind, ControlKind::Invalid) << bad;
  // Axis actions take whole axes only; button actions anything else.
  EXPECT_TRUE(ControlSuits(ControlKind::PadAxis, true));
  EXPECT_FALSE(ControlSuits(ControlKind::Key, true));
  EXPECT_FALSE(ControlSuits(ControlKind::PadDirection, true));
  EXPECT_FALSE(ControlSuits(ControlKind::PadAxis, false));
  EXPECT_TRUE(ControlSuits(ControlKind::PadDirection, false));
}

TEST(InputBindings, AddingTakesTheControlFromOtherActions) {
  ActionMapSpec spec = GameSpec();
  Bindings b = DefaultBindings(spec);
  ASSERT_TRUE(AddBinding(b, spec, ACT_DECIDE_KEY, "key:return"));
  EXPECT_TRUE(Has(b, ACT_DECIDE_KEY, "key:Return"));
  EXPECT_FALSE(Has(b, ACT_DECIDE, "key:Return"));
  // A stick direction takes its whole axis away from the axis action.
  ASSERT_TRUE(AddBinding(b, spec, ACT_LEFT, "pad:leftx-"));
  EXPECT_FALSE(Has(b, ACT_LEFT_RIGHT, "pad:leftx"));
  EXPECT_TRUE(Has(b, ACT_LEFT_RIGHT, "pad:dpadx"));
  // ... and the whole axis takes both directions back.
  ASSERT_TRUE(AddBinding(b, spec, ACT_LEFT_RIGHT, "pad:leftx"));
  EXPECT_FALSE(Has(b, ACT_LEFT, "pad:leftx-"));
  // Unsuitable controls and unknown actions change nothing.
  Bindings before = b;
  EXPECT_FALSE(AddBinding(b, spec, ACT_LEFT_RIGHT, "key:A"));
  EXPECT_FALSE(AddBinding(b, spec, 99, "key:A"));
  EXPECT_FALSE(AddBinding(b, spec, ACT_DECIDE, "pad:nothing"));
  EXPECT_EQ(b, before);
}

TEST(InputBindings, FileRoundTripsAndRejectsDamage) {
  ActionMapSpec spec = GameSpec();
  Bindings b = DefaultBindings(spec);
  AddBinding(b, spec, ACT_DECIDE, "key:K");
  std::string text = SerializeBindings(spec, b);
  Bindings back;
  std::string error;
  ASSERT_TRUE(ParseBindings(text, spec, back, error)) << error;
  EXPECT_EQ(back, b);
  // CRLF line ends and comments are fine; an empty binding list is the player's choice.
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_TRUE(ParseBindings(crlf, spec, back, error)) << error;
  EXPECT_TRUE(ParseBindings("vantorel-bindings 1\nmap " + spec.guid + "\n", spec, back, error));
  EXPECT_TRUE(back.empty());

  const std::string head = "vantorel-bindings 1\nmap " + spec.guid + "\n";
  const char* damaged[] = {
      "",                                                   // empty
      "vantorel-bindings 1\n",                              // cut before the map line
      "vantorel-bindings 2\n",                              // another format
      "vantorel-bindings 1\nmap 00000000-0000-0000-0000-000000000000\n7 key:K\n",  // another map
  };
  for (const char* d : damaged) EXPECT_FALSE(ParseBindings(d, spec, back, error)) << d;
  const char* badLines[] = {"99 key:K", "7", "7 key:Nope", "1 key:Left", "3 pad:leftx", "x7 key:K",
                            "7 key:K\n8 key:K", "1 pad:leftx\n3 pad:leftx-", "4294967303 key:K", "\xff\xfe"};
  for (const char* l : badLines) EXPECT_FALSE(ParseBindings(head + l + "\n", spec, back, error)) << l;
  EXPECT_FALSE(ParseBindings(head + std::string(70000, '#'), spec, back, error));
}

TEST(InputBindings, SavedBindingsLoadAgain) {
  ConfigHome home;
  ActionMapSpec spec = GameSpec();
  Bindings b = DefaultBindings(spec);
  AddBinding(b, spec, ACT_DECIDE, "key:K");
  ASSERT_TRUE(SaveBindings(spec, b));
  std::string path = home.Path() + "/vantorel/2972611C-8A87-4B5D-95AA-BFF9FD576136.bindings";
  EXPECT_EQ(BindingsFilePath(spec), path);
  EXPECT_NE(ReadFile(path).find("7 key:K\n"), std::string::npos);
  Bindings loaded;
  EXPECT_TRUE(LoadBindings(spec, loaded));
  EXPECT_EQ(loaded, b);
}

TEST(InputBindings, MissingOrDamagedFileMeansDefaultsAndOneDebugLine) {
  ConfigHome home;
  ScratchTrace trace;
  ActionMapSpec spec = GameSpec();
  SetDebugEcho(false);
  Bindings loaded;
  EXPECT_FALSE(LoadBindings(spec, loaded));  // missing
  EXPECT_EQ(loaded, DefaultBindings(spec));
  MakeHostDirs(home.Path() + "/vantorel");
  std::ofstream(BindingsFilePath(spec), std::ios::binary) << "vantorel-bindings 1\nmap " << spec.guid << "\n7 key:\x81";
  EXPECT_FALSE(LoadBindings(spec, loaded));  // damaged
  EXPECT_EQ(loaded, DefaultBindings(spec));
  SetDebugEcho(true);
  std::vector<std::string> lines = trace.DebugLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("no saved bindings"), std::string::npos);
  EXPECT_NE(lines[1].find("line 3"), std::string::npos);
}

TEST(InputBindings, ConfigDirectoryFollowsXdgRules) {
  ConfigHome home;
  EXPECT_EQ(ConfigDirectory(), home.Path() + "/vantorel");
  ::setenv("XDG_CONFIG_HOME", "relative/dir", 1);  // not absolute: ignored
  const char* h = std::getenv("HOME");
  bool hadHome = h != nullptr;
  std::string oldHome = h ? h : "";
  ::setenv("HOME", "/home/player", 1);
  EXPECT_EQ(ConfigDirectory(), "/home/player/.config/vantorel");
  ::unsetenv("HOME");
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(ConfigDirectory(), "");
  EXPECT_FALSE(SaveBindings(GameSpec(), {}));
  if (hadHome) ::setenv("HOME", oldHome.c_str(), 1);
}
