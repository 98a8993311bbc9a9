#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "framework/MediaPath.h"
#include "support/ScratchDir.h"
#include "platform/diagnostics/Debug.h"
#include "platform/diagnostics/Report.h"
#include "platform/diagnostics/Trace.h"
#include "platform/files/Files.h"
#include "platform/text/TextCodec.h"
#include "platform/window/HeadlessWindow.h"
#include "platform/window/Window.h"

namespace {
std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}
}  // namespace

TEST(FailureReport, WritesTheDebugLineAndShowsTheBox) {
  ScratchDir dir;
  platform::SetDebugEcho(false);
  ASSERT_TRUE(platform::trace::Open(dir.Path() + "/t.jsonl"));
  auto window = platform::Window::Create(platform::WindowConfig{}, true);
  platform::SetCurrentWindow(window.get());
  HRESULT hr = platform::DXTraceA("CPolygon", 42, E_FAIL, SJ("CPolygon内で、D3DUtil_CreateTextureの失敗。"), true);
  EXPECT_EQ(hr, E_FAIL);
  platform::DXTraceA("CMsgBox", 7, static_cast<HRESULT>(0x80001234), "x", false);
  platform::trace::EndFrame(0, 0);
  platform::trace::Close();
  platform::SetCurrentWindow(nullptr);
  platform::SetDebugEcho(true);
  std::string t = ReadAll(dir.Path() + "/t.jsonl");
  EXPECT_NE(t.find("\"text\":\"CPolygon(42): CPolygon内で、D3DUtil_CreateTextureの失敗。 (hr=E_FAIL (0x80004005))\""),
            std::string::npos)
      << t;
  EXPECT_NE(t.find("{\"type\":\"report\",\"unit\":\"CPolygon\",\"line\":42,\"code\":\"E_FAIL (0x80004005)\""),
            std::string::npos);
  EXPECT_NE(t.find("\"title\":\"Unexpected error encountered\",\"text\":\"File: CPolygon\\nLine: 42\\nError Code: "
                   "E_FAIL (0x80004005)\\nCalling: CPolygon内で"),
            std::string::npos);
  EXPECT_NE(t.find("CMsgBox(7): x (hr=Unknown (0x80001234))"), std::string::npos);
  // Only one dialog: the second report asked for no box.
  EXPECT_EQ(t.find("dialog", t.find("dialog") + 1), std::string::npos);
}

TEST(FailureReport, HeadlessYesNoAnswersFollowTheSetting) {
  auto window = platform::Window::Create(platform::WindowConfig{}, true);
  platform::SetHeadlessAnswer(false);
  EXPECT_EQ(window->MessageBox("q", "t", platform::MB_YESNO), platform::IDNO);
  platform::SetHeadlessAnswer(true);
  EXPECT_EQ(window->MessageBox("q", "t", platform::MB_YESNO), platform::IDYES);
  EXPECT_EQ(window->MessageBox("e", "t", platform::MB_OK | platform::MB_ICONERROR), platform::IDOK);
}

TEST(MediaPath, FindsFilesAndNeverOverflowsTheDestination) {
  ScratchDir dir;
  dir.Write("GameData/Texture/a.tga", "x");
  dir.Write("b.tga", "x");
  char dest[kMaxPath];
  EXPECT_EQ(GetMediaPath()[0], '\0');
  ASSERT_EQ(FindMediaFile(dest, "GameData\\Texture\\a.tga"), S_OK);
  EXPECT_TRUE(platform::FileExists(dest));
  // A bare name present in the current directory is found through its file part.
  ASSERT_EQ(FindMediaFile(dest, "Missing\\b.tga"), S_OK);
  EXPECT_STREQ(dest, "b.tga");
  EXPECT_EQ(FindMediaFile(dest, "nope.tga"), E_FAIL);
  EXPECT_STREQ(dest, "nope.tga");
  EXPECT_EQ(FindMediaFile(nullptr, "x"), E_INVALIDARG);
  std::string longName(2000, 'a');
  dest[kMaxPath - 1] = 'Z';
  EXPECT_EQ(FindMediaFile(dest, longName.c_str()), E_FAIL);
  EXPECT_EQ(dest[kMaxPath - 1], 'Z');
}

TEST(MediaPath, TraceIsTerminatedWithin512Bytes) {
  ScratchDir dir;
  platform::SetDebugEcho(false);
  ASSERT_TRUE(platform::trace::Open(dir.Path() + "/t.jsonl"));
  Trace("%s", std::string(2000, 'q').c_str());
  platform::trace::EndFrame(0, 0);
  platform::trace::Close();
  platform::SetDebugEcho(true);
  std::string t = ReadAll(dir.Path() + "/t.jsonl");
  EXPECT_NE(t.find(std::string(511, 'q') + "\""), std::string::npos);
  EXPECT_EQ(t.find(std::string(512, 'q')), std::string::npos);
}

// A program watching the engine from inside sees every event as it happens,
// without a trace file; nothing of it is kept for a file opened later.
TEST(FailureReport, ReachesAnEventListenerWithoutATraceFile) {
  ScratchDir dir;
  platform::SetDebugEcho(false);
  std::vector<std::string> seen;
  struct Unset {
    ~Unset() { platform::trace::SetEventListener(nullptr); }
  } unset;  // a failed assertion must not leave the listener pointing here
  EXPECT_FALSE(platform::trace::Enabled());
  platform::trace::SetEventListener([&seen](const std::string& json) { seen.push_back(json); });
  EXPECT_TRUE(platform::trace::Enabled());  // the units produce their events for it
  platform::DXTraceA("CMsgBox", 9, E_FAIL, SJ("見つかりませんでした。"), false);
  platform::trace::EndFrame(0, 0);  // no file: nothing written, nothing kept
  // The debug line, then the report.
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_NE(seen[0].find("\"type\":\"debug\""), std::string::npos) << seen[0];
  EXPECT_NE(seen[1].find("\"type\":\"report\""), std::string::npos) << seen[1];
  EXPECT_NE(seen[1].find("\"message\":\"見つかりませんでした。\""), std::string::npos) << seen[1];

  ASSERT_TRUE(platform::trace::Open(dir.Path() + "/t.jsonl"));
  platform::trace::Event("{\"type\":\"after\"}");
  platform::trace::EndFrame(1, 16);
  platform::trace::Close();
  EXPECT_EQ(seen.size(), 3u);  // with a file too
  platform::trace::SetEventListener(nullptr);
  EXPECT_FALSE(platform::trace::Enabled());
  platform::trace::Event("{\"type\":\"unheard\"}");
  EXPECT_EQ(seen.size(), 3u);
  platform::SetDebugEcho(true);
  const std::string t = ReadAll(dir.Path() + "/t.jsonl");
  EXPECT_EQ(t.find("report"), std::string::npos) << t;
  EXPECT_NE(t.find("\"events\":[{\"type\":\"after\"}]"), std::string::npos) << t;
}

// A report that names its subject: the debug line stays the design's, and
// the name follows it on stderr, is the report event's "subject" and one more
// line below the box's four. Reports without one are as they were.
TEST(FailureReport, NamesItsSubjectOnStderrInTheTraceAndInTheBox) {
  ScratchDir dir;
  ASSERT_TRUE(platform::trace::Open(dir.Path() + "/t.jsonl"));
  auto window = platform::Window::Create(platform::WindowConfig{}, true);
  platform::SetCurrentWindow(window.get());
  testing::internal::CaptureStderr();
  platform::DXTraceA("CMsgBox", 26, E_FAIL, SJ("指定された名前のスクリプトファイルが見つかりませんでした。"), true,
                     SJ("本編\\うた.Dat"));
  platform::DXTraceA("CDSMusic", 5, E_FAIL, SJ("MIDIファイルが見つかりませんでした。"), false, SJ("曲.mid"));
  platform::DXTraceA("CMsgBox", 8, E_FAIL, "plain", true);
  const std::string err = testing::internal::GetCapturedStderr();
  platform::trace::EndFrame(0, 0);
  platform::trace::Close();
  platform::SetCurrentWindow(nullptr);
  const std::string t = ReadAll(dir.Path() + "/t.jsonl");

  EXPECT_NE(err.find("CMsgBox(26): 指定された名前のスクリプトファイルが見つかりませんでした。 (hr=E_FAIL (0x80004005))\n"
                     "対象: 本編\\うた.Dat\n"),
            std::string::npos)
      << err;
  EXPECT_NE(err.find("(hr=E_FAIL (0x80004005))\n対象: 曲.mid\n"), std::string::npos) << err;
  // The debug event keeps the design's line; the subject is the report's field.
  EXPECT_NE(t.find("{\"type\":\"debug\",\"text\":\"CMsgBox(26): 指定された名前のスクリプトファイルが見つかりませんでした。 "
                   "(hr=E_FAIL (0x80004005))\"}"),
            std::string::npos)
      << t;
  EXPECT_NE(t.find("\"message\":\"指定された名前のスクリプトファイルが見つかりませんでした。\",\"subject\":\"本編\\\\うた.Dat\"}"),
            std::string::npos)
      << t;
  EXPECT_NE(t.find("\"message\":\"plain\"}"), std::string::npos) << t;
  EXPECT_NE(t.find("\"text\":\"File: CMsgBox\\nLine: 26\\nError Code: E_FAIL (0x80004005)\\nCalling: "
                   "指定された名前のスクリプトファイルが見つかりませんでした。\\n対象: 本編\\\\うた.Dat\",\"answer\":\"ok\""),
            std::string::npos)
      << t;
  EXPECT_NE(t.find("\\nCalling: plain\",\"answer\":\"ok\""), std::string::npos) << t;
  // The music report asked for no box: two dialogs in all.
  size_t dialogs = 0;
  for (size_t at = t.find("\"type\":\"dialog\""); at != std::string::npos; at = t.find("\"type\":\"dialog\"", at + 1))
    ++dialogs;
  EXPECT_EQ(dialogs, 2u) << t;
}

TEST(FailureReport, SubjectLineCutsALongNameOnACharacterBoundary) {
  EXPECT_EQ(platform::SubjectLine(SJ("$変数")), SJ("対象: $変数"));
  EXPECT_EQ(platform::SubjectLine(""), SJ("対象: （空の名前）"));
  // 259 single bytes, then a two-byte character that would end past 260.
  const std::string name = std::string(259, 'a') + SJ("あ") + "tail";
  const std::string line = platform::SubjectLine(name);
  EXPECT_EQ(line, SJ("対象: ") + std::string(259, 'a') + SJ("…"));
  const std::string fits = std::string(258, 'a') + SJ("あ");
  EXPECT_EQ(platform::SubjectLine(fits), SJ("対象: ") + fits);
}
