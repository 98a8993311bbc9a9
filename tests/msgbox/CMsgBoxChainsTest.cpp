// Scripts that lead into one another without a wait point: goto cycles, a
// Load of a missing save or of a save that records the loading script,
// and the same through fades. Each thing the player does shows a failure
// at most once and leaves the script waiting for the player.
#include "support/MsgBoxTestSupport.h"
#include "platform/diagnostics/Report.h"
#include "platform/headless/Clock.h"

using namespace msgboxtest;

namespace {
const char kLoadFailed[] = "データのロードに失敗。";
const char kChainCut[] = "スクリプトがプレイヤーを待たずに次々と始まるため、ここで止めました。";

class CMsgBoxChains : public MsgBoxTest {
 protected:
  void SetUp() override {
    platform::UseVirtualClock(1000);
    MsgBoxTest::SetUp();
    std::filesystem::create_directories("GameData/Text/セーブデータ");
  }
  void TearDown() override {
    MsgBoxTest::TearDown();
    platform::UseRealClock();
  }
  // Runs what, returning how many failure boxes it showed and, in
  // `messages`, what they said.
  template <class F>
  uint64_t Boxes(F what, std::string* messages = nullptr) {
    const uint64_t before = platform::ShownReportCount();
    testing::internal::CaptureStderr();
    what();
    std::string err = testing::internal::GetCapturedStderr();
    if (messages) *messages = err;
    return platform::ShownReportCount() - before;
  }
  // The script waits at its first word for the player.
  void ExpectWaitingAtStartOf(const std::string& utf8Name) {
    EXPECT_EQ(U(box->Script().ScriptPath()), "GameData\\Text\\" + utf8Name);
    EXPECT_TRUE(box->Script().Running());
    EXPECT_EQ(box->Script().Position(), 0u);
  }
  void Frame() {
    platform::AdvanceVirtualClock(16);
    box->FrameMove();
  }
};
}  // namespace

TEST_F(CMsgBoxChains, LoadOfAMissingSaveReachedByGotoReportsOncePerStep) {
  // The "continue" button pressed before any save exists.
  WriteScript("continue.Dat", {"Load", "セーブデータ\\セーブデータ1", "続き"});
  std::string err;
  EXPECT_EQ(Boxes([&] { EXPECT_EQ(Run({"goto", "continue"}), S_OK); }, &err), 1u);
  EXPECT_NE(err.find(kLoadFailed), std::string::npos);
  ExpectWaitingAtStartOf("continue.Dat");
  // Every further step is one more try, reported once.
  for (int press = 0; press < 3; ++press) {
    EXPECT_EQ(Boxes([&] { box->StepIfIdle(); }), 1u);
    ExpectWaitingAtStartOf("continue.Dat");
  }
}

TEST_F(CMsgBoxChains, ASaveThatRecordsTheScriptLoadingItIsCutOnceAndWaits) {
  WriteScript("loader.Dat", {"Load", "s"});
  box->Save("loader", "s");
  std::string err;
  EXPECT_EQ(Boxes([&] { EXPECT_EQ(box->StartScript("loader.Dat"), S_OK); }, &err), 1u);
  EXPECT_NE(err.find(kChainCut), std::string::npos);
  ExpectWaitingAtStartOf("loader.Dat");
  EXPECT_EQ(U(CMsgBox::currentScriptName), "loader.Dat");
}

TEST_F(CMsgBoxChains, ScriptsThatJumpToEachOtherAreCutAfterTheBound) {
  WriteScript("a.Dat", {"BG", "a", "goto", "b"});
  WriteScript("b.Dat", {"goto", "a"});
  box->SetTextureAlias("a", "bg.tga");
  EXPECT_EQ(Boxes([&] { EXPECT_EQ(box->StartScript("a.Dat"), S_OK); }), 1u);
  // The start past the bound (a, b, a, ...) only opened its script.
  ExpectWaitingAtStartOf((CMsgBox::kMaxChainedStarts + 1) % 2 ? "a.Dat" : "b.Dat");
  EXPECT_EQ(Boxes([&] { EXPECT_EQ(box->Step(), S_OK); }), 1u);
  EXPECT_TRUE(box->Script().Running());
}

TEST_F(CMsgBoxChains, AChainRoundAFailureStopsWhereItComesRound) {
  // Each round reports the missing picture; the second round is not run.
  WriteScript("a.Dat", {"BG", "無い", "goto", "b"});
  WriteScript("b.Dat", {"goto", "a"});
  box->SetTextureAlias(W("無い"), "none.tga");
  std::string err;
  EXPECT_EQ(Boxes([&] { box->StartScript("a.Dat"); }, &err), 1u);
  EXPECT_EQ(err.find(kChainCut), std::string::npos);
  ExpectWaitingAtStartOf("a.Dat");
}

TEST_F(CMsgBoxChains, LongChainsThatWaitAtTheirOwnWordsAreUntouched) {
  // Forty scripts in a row, each with a text word: one per step, no report.
  const int n = CMsgBox::kMaxChainedStarts + 8;
  for (int i = 0; i < n; ++i) WriteScript("s" + std::to_string(i) + ".Dat", {"文", "goto", "s" + std::to_string(i + 1)});
  WriteScript("s" + std::to_string(n) + ".Dat", {"終わり"});
  EXPECT_EQ(Boxes([&] {
              box->StartScript("s0.Dat");
              for (int i = 0; i < n; ++i) box->Step();
            }),
            0u);
  EXPECT_EQ(Message(), "終わり\n\n");
}

TEST_F(CMsgBoxChains, FadesThatTakeTheirTimeKeepAnAutomaticChainGoing) {
  // A sequence that plays by itself, one fade per script, longer than the
  // bound: every fade is a pause the player sees, so nothing is cut.
  const int n = CMsgBox::kMaxChainedStarts + 4;
  box->SetTextureAlias("t", "taro.tga");
  for (int i = 0; i < n; ++i) {
    WriteScript("f" + std::to_string(i) + ".Dat", {"Right", "t", "FadeIn", "Right", "goto", "f" + std::to_string(i + 1)});
  }
  WriteScript("f" + std::to_string(n) + ".Dat", {"最後"});
  EXPECT_EQ(Boxes([&] {
              box->StartScript("f0.Dat");
              for (int frame = 0; frame < 200 * n && Message().empty(); ++frame) Frame();
            }),
            0u);
  EXPECT_EQ(Message(), "最後\n\n");
}

TEST_F(CMsgBoxChains, AFadeWithNothingToFadeDoesNotRestartTheCount) {
  // The fade ends on the next frame and the load fails again: shown once,
  // then the script waits instead of reporting on every frame.
  WriteScript("loop.Dat", {"FadeIn", "何も", "Load", "ない"});
  CMsgBox::currentScriptName = "loop.Dat";
  uint64_t boxes = Boxes([&] {
    box->StartScript("loop.Dat");
    for (int frame = 0; frame < 120; ++frame) Frame();
  });
  EXPECT_EQ(boxes, 1u);
  ExpectWaitingAtStartOf("loop.Dat");
  EXPECT_FALSE(box->Fading().ImageFadeActive());
}
