// When the message box says its next step is due: a step it says is not due
// changes nothing, and the wait cursor's frame comes exactly when it says.
#include <cmath>
#include <tuple>

#include "support/MsgBoxTestSupport.h"
#include "framework/DueTime.h"
#include "platform/headless/Clock.h"

using namespace msgboxtest;

namespace {

class CMsgBoxDue : public MsgBoxTest {
 protected:
  void SetUp() override {
    platform::UseVirtualClock(5000);
    MsgBoxTest::SetUp();
  }
  void TearDown() override {
    MsgBoxTest::TearDown();
    platform::UseRealClock();
  }
  double Due() const { return box->SecondsUntilDue(due::NowSeconds(platform::timeGetTime())); }

  // What a step may change that a later step or a frame would show.
  auto State() const {
    const CAnimPolygon& c = *box->Window().CursorSprite();
    return std::make_tuple(box->Window().TypedLength(), box->Window().Typing(), c.tu0, c.tu1, c.current,
                           uint32_t(c.clock.last), box->Window().BgSprite()->GetAlpha(), box->Fading().Active());
  }

  // Steps every `everyMs` for `totalMs`, checking at each that a step said
  // not to be due leaves everything as it was. Returns the steps that
  // changed something while only the cursor was left to move, and counts
  // how many of them came when they were said to.
  void Play(uint32_t everyMs, uint32_t totalMs, int* cursorFrames = nullptr) {
    for (uint32_t t = 0; t < totalMs; t += everyMs) {
      platform::AdvanceVirtualClock(everyMs);
      const double due = Due();
      const bool onlyCursor = !box->Window().Typing() &&
                              box->Window().TypedLength() >= box->Window().MessageText().size() &&
                              !box->Fading().Active() && box->Script().Running();
      const auto before = State();
      box->FrameMove();
      const bool changed = State() != before;
      if (due > 0) {
        ASSERT_FALSE(changed) << "a step said to be due in " << due << " s changed the box at " << t;
      }
      if (onlyCursor) {
        ASSERT_EQ(changed, due == 0) << "at " << t;  // nor is a cursor frame said due and not moved
        if (changed && cursorFrames) ++*cursorFrames;
      }
    }
  }
};

}  // namespace

TEST_F(CMsgBoxDue, TypingAndFadingAreDueOnEveryStepAStillBoxNever) {
  EXPECT_EQ(Due(), due::kNever);  // no script: only input can start one
  ASSERT_EQ(Run({"Texture", "b", "bg.tga", "BG", "b", "FadeIn", "Images", "あいう"}), S_OK);
  EXPECT_TRUE(box->Fading().Active());
  EXPECT_EQ(Due(), 0.0);
  Play(16, 3000);
  EXPECT_FALSE(box->Fading().Active());
  EXPECT_EQ(box->Window().TypedLength(), box->Window().MessageText().size());
  // A finished message: the cursor's next frame, within its 0.3 s.
  EXPECT_GT(Due(), 0.0);
  EXPECT_LE(Due(), 0.302);
  box->ForceHold(CMsgBox::Hold::Running, false);
  EXPECT_EQ(Due(), due::kNever);
}

TEST_F(CMsgBoxDue, TheCursorMovesExactlyWhenSaidOnAnyStepping) {
  // Typed out and waiting; stepped on the logic grid and every millisecond
  // (a step at any time), the cursor moves when and only when it is due.
  for (uint32_t every : {16u, 1u, 7u}) {
    ASSERT_EQ(Run({"あ"}), S_OK);
    int frames = 0;
    Play(every, 3000, &frames);
    EXPECT_GE(frames, 9) << "every " << every << " ms";  // 0.3 s apart (strictly more), about ten in 3 s
    EXPECT_LE(frames, 10) << "every " << every << " ms";
  }
}

TEST_F(CMsgBoxDue, AcrossTheClocksWrapTheCursorIsStillDueOnTime) {
  platform::UseVirtualClock(0xFFFFFFFFu - 700);
  ASSERT_EQ(Run({"あ"}), S_OK);
  int frames = 0;
  Play(16, 2000, &frames);
  EXPECT_GE(frames, 6);
}
