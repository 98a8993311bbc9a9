// Pictures decoded ahead on a worker: a load gets exactly what it would have
// decoded itself, each decoded picture serves one load, and whatever the
// worker did not reach or could not decode is left to the load.
#include <gtest/gtest.h>

#include <thread>

#include "gfx/DecodeAhead.h"
#include "platform/files/ImageDecoder.h"
#include "platform/files/ImageEncoder.h"
#include "support/ScratchDir.h"

using namespace platform;

namespace {
class DecodeAheadTest : public ::testing::Test {
 protected:
  void TearDown() override { decode_ahead::Finish(); }
  // A PNG of w x h with a pattern, written below the scratch directory.
  std::string Picture(const std::string& name, int w, int h) {
    Image img;
    img.width = w;
    img.height = h;
    for (int i = 0; i < w * h; ++i) img.argb.push_back(0xFF000000u | uint32_t(i * 2654435761u) >> 8);
    std::string bytes;
    EXPECT_TRUE(EncodeImage(img, ImageType::Png, bytes));
    dir.Write(name, bytes);
    return dir.Path() + "/" + name;
  }
  static Image DecodedHere(const std::string& path) {
    Image img;
    EXPECT_TRUE(DecodeImage(testsupport::ReadHostFile(path), path, img));
    return img;
  }
  testsupport::ScratchDir dir{testsupport::ScratchDir::kStay, "decode-ahead"};
};
}  // namespace

TEST_F(DecodeAheadTest, ALoadGetsWhatItWouldHaveDecodedOnceThenReadsTheFileAgain) {
  const std::string a = Picture("a.png", 64, 48), b = Picture("b.png", 5, 7);
  const size_t served = decode_ahead::Served();
  decode_ahead::Plan({a, b, a});  // named twice: decoded once
  decode_ahead::Run();
  Image got;
  ASSERT_TRUE(decode_ahead::Take(b, got));
  const Image want = DecodedHere(b);
  EXPECT_EQ(got.width, want.width);
  EXPECT_EQ(got.height, want.height);
  EXPECT_EQ(got.argb, want.argb);
  ASSERT_TRUE(decode_ahead::Take(a, got));
  EXPECT_EQ(got.argb, DecodedHere(a).argb);
  EXPECT_EQ(decode_ahead::Served(), served + 2);
  // A second load of the same picture (a TexLoad reading it afresh) reads the file.
  EXPECT_FALSE(decode_ahead::Take(a, got));
  EXPECT_FALSE(decode_ahead::Take(dir.Path() + "/never-planned.png", got));
}

TEST_F(DecodeAheadTest, APictureClaimedBeforeTheWorkerBeganItIsLeftToTheLoad) {
  const std::string a = Picture("a.png", 8, 8), b = Picture("b.png", 8, 8);
  decode_ahead::Plan({a, b});
  Image got;
  EXPECT_FALSE(decode_ahead::Take(b, got));  // not begun: the load decodes it, the worker skips it
  decode_ahead::Run();
  EXPECT_FALSE(decode_ahead::Take(b, got));
  EXPECT_TRUE(decode_ahead::Take(a, got));
}

TEST_F(DecodeAheadTest, AFileThatDoesNotDecodeIsLeftToTheLoadToReport) {
  dir.Write("broken.png", std::string("\x89PNG\r\n\x1a\n", 8) + "not a picture");
  const std::string broken = dir.Path() + "/broken.png", missing = dir.Path() + "/missing.png";
  decode_ahead::Plan({broken, missing});
  decode_ahead::Run();
  Image got;
  EXPECT_FALSE(decode_ahead::Take(broken, got));
  EXPECT_FALSE(decode_ahead::Take(missing, got));
  EXPECT_TRUE(got.argb.empty());
}

TEST_F(DecodeAheadTest, FinishDropsWhatNobodyTookAndTheRestOfThePlan) {
  const std::string a = Picture("a.png", 8, 8), b = Picture("b.png", 8, 8);
  decode_ahead::Plan({a});
  decode_ahead::Run();
  decode_ahead::Finish();
  Image got;
  EXPECT_FALSE(decode_ahead::Take(a, got));
  decode_ahead::Plan({b});
  decode_ahead::Finish();
  decode_ahead::Run();  // nothing left to do
  EXPECT_FALSE(decode_ahead::Take(b, got));
}

TEST_F(DecodeAheadTest, ALoadArrivingWhileTheWorkerDecodesWaitsForItsPixels) {
  // Large enough that the load usually arrives mid-decode; either way it
  // must get the worker's pixels or none, never a half-made picture.
  const std::string big = Picture("big.png", 1600, 1200);
  const Image want = DecodedHere(big);
  for (int round = 0; round < 3; ++round) {
    decode_ahead::Plan({big});
    std::thread worker([] { decode_ahead::Run(); });
    std::this_thread::yield();
    Image got;
    const bool taken = decode_ahead::Take(big, got);
    worker.join();
    if (taken) EXPECT_EQ(got.argb, want.argb);
    else EXPECT_TRUE(got.argb.empty());
    decode_ahead::Finish();
  }
}
