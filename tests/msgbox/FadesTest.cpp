// The fades on their own: how a fade with nothing to fade ends, which the
// message box tells the action bound (a fade that took no time was no
// pause for the player).
#include <gtest/gtest.h>

#include "msgbox/Fades.h"
#include "msgbox/MessageWindow.h"

using msgbox::Fades;
using msgbox::FadeStep;

TEST(FadesTest, PicturesNotThereFadeNothingAndEndAtOnce) {
  Fades fades;
  const msgbox::MessageWindow window;  // not set up: no sprites
  for (const char* target : {"Right", "All", "Nowhere"}) {
    fades.Start(true, target, window);
    EXPECT_TRUE(fades.ImageFadeActive()) << target;
    EXPECT_TRUE(fades.FadeSprites().empty()) << target;
    EXPECT_EQ(fades.StepImage(), FadeStep::EndedAtOnce) << target;
    EXPECT_FALSE(fades.Active()) << target;
  }
}

TEST(FadesTest, AMusicFadeWithoutAPlayerEndsOnItsThirdStepAtOnce) {
  for (bool in : {true, false}) {
    Fades fades;
    fades.Start(in, "Volume", msgbox::MessageWindow());
    EXPECT_TRUE(fades.VolumeFadeActive());
    EXPECT_FALSE(fades.ImageFadeActive());
    EXPECT_EQ(fades.StepMusic(nullptr), FadeStep::Going);  // sets the starting volume
    EXPECT_EQ(fades.StepMusic(nullptr), FadeStep::Going);  // reaches the end at once
    EXPECT_EQ(fades.StepMusic(nullptr), FadeStep::EndedAtOnce);
    EXPECT_FALSE(fades.Active());
    // The next fade starts from its first phase again.
    fades.Start(in, "Volume", msgbox::MessageWindow());
    EXPECT_EQ(fades.StepMusic(nullptr), FadeStep::Going);
    EXPECT_EQ(fades.StepMusic(nullptr), FadeStep::Going);
    EXPECT_EQ(fades.StepMusic(nullptr), FadeStep::EndedAtOnce);
  }
}
