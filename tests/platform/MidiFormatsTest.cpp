// MIDI pieces as the sequencers of the games' home platform wrote them,
// byte by byte here, played headless through the real synthesiser: types 0
// and 1, the RIFF-wrapped form, running status, tempo changes, SysEx resets
// and master volume, tracks that end at different times.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <future>
#include <string>
#include <vector>

#include "platform/audio/AudioMix.h"
#include "platform/audio/MusicGraph.h"
#include "platform/diagnostics/Debug.h"
#include "support/Bytes.h"
#include "support/ScratchDir.h"

using namespace platform;

namespace {

std::string Be(uint32_t v, int bytes) {
  std::string s;
  for (int i = bytes - 1; i >= 0; --i) s += char((v >> (8 * i)) & 0xFF);
  return s;
}

std::string B(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s += char(b);
  return s;
}

std::string Track(const std::string& events) { return "MTrk" + Be(uint32_t(events.size()), 4) + events; }

std::string Smf(int type, const std::vector<std::string>& tracks, int division = 96) {
  std::string f = "MThd" + Be(6, 4) + Be(uint32_t(type), 2) + Be(uint32_t(tracks.size()), 2) + Be(uint32_t(division), 2);
  for (const std::string& t : tracks) f += t;
  return f;
}

const std::string kEnd = B({0x00, 0xFF, 0x2F, 0x00});

// Type 1: a conductor track with a tempo change at tick 192 (two quarters
// at 0.5 s, then 0.25 s a quarter), a melody that ends at tick 192 and a
// held note that ends at tick 480, both in running status: 1 s + 0.75 s.
std::string TypeOne() {
  const std::string conductor = B({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,          // 500000 us a quarter
                                   0x81, 0x40, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90}) +  // at 192: 250000
                                kEnd;
  const std::string melody = B({0x00, 0xC0, 0x00,             // piano
                                0x00, 0x90, 0x3C, 0x60,       // C4 on
                                0x60, 0x3C, 0x00,             // running status: off by velocity 0
                                0x00, 0x3E, 0x60, 0x60, 0x3E, 0x00}) +
                             kEnd;
  const std::string held = B({0x00, 0xC1, 0x13,                        // organ, which holds its level
                              0x00, 0x91, 0x40, 0x60, 0x83, 0x60, 0x81, 0x40, 0x00}) +  // at 480: explicit off
                           kEnd;
  return Smf(1, {Track(conductor), Track(melody), Track(held)});
}

// Type 0: resets and a master volume in SysEx, then one organ chord of a
// second at 0.5 s a quarter.
std::string TypeZero(const std::string& sysex) {
  std::string events = sysex + B({0x00, 0xC0, 0x13, 0x00, 0x90, 0x3C, 0x60, 0x00, 0x43, 0x60, 0x00, 0x48, 0x60,
                                  0x81, 0x40, 0x3C, 0x00, 0x00, 0x43, 0x00, 0x00, 0x48, 0x00});
  return Smf(0, {Track(events + kEnd)});
}

const std::string kGmOn = B({0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7});
const std::string kGsReset = B({0x00, 0xF0, 0x0A, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7});
const std::string kXgReset = B({0x00, 0xF0, 0x08, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7});
// Universal real-time master volume, 14 bits: 0x2000 of 0x3FFF is half.
const std::string kHalfVolume = B({0x00, 0xF0, 0x07, 0x7F, 0x7F, 0x04, 0x01, 0x00, 0x40, 0xF7});

std::string Rmid(const std::string& smf) {
  std::string body = "RMID";
  // An INFO list first, of odd length, as sequencers wrote it.
  const std::string info = "INFOINAM" + std::string("\x05\0\0\0song\0", 9);
  body += "LIST";
  testsupport::AppendLe32(body, uint32_t(info.size()));
  body += info + '\0';
  body += "data";
  testsupport::AppendLe32(body, uint32_t(smf.size()));
  body += smf;
  std::string riff = "RIFF";
  testsupport::AppendLe32(riff, uint32_t(body.size()));
  return riff + body;
}

double Rms(const std::vector<int16_t>& s, size_t from, size_t to) {
  double sum = 0;
  for (size_t i = from; i < to; ++i) sum += double(s[i]) * s[i];
  return to > from ? std::sqrt(sum / double(to - from)) : 0.0;
}

class MidiFormats : public ::testing::Test {
 protected:
  void SetUp() override { SetDebugEcho(false); }
  void TearDown() override { SetDebugEcho(true); }

  // Plays the piece on a fresh graph until it reports its end (at most
  // `limit` seconds); returns the stereo samples up to then.
  std::vector<int16_t> PlayToEnd(const std::string& file, int& code, double limit = 4.0) {
    dir.Write("GameData/Music/MIDI/piece.mid", file);
    MusicGraph graph;
    graph.SetVolume(0);
    code = 0;
    std::vector<int16_t> out;
    if (!graph.Play("GameData\\Music\\MIDI\\piece.mid")) return out;
    std::vector<int16_t> block(64 * 2);
    while (!graph.GetEvent(code) && out.size() < size_t(limit * kAudioRate) * 2) {
      graph.Render(block.data(), 64);
      out.insert(out.end(), block.begin(), block.end());
    }
    return out;
  }
  double Seconds(const std::vector<int16_t>& s) const { return double(s.size() / 2) / kAudioRate; }

  ScratchDir dir;
};

}  // namespace

TEST_F(MidiFormats, TypeOneEndsAtTheLastEventOfAllTracksThroughItsTempoChange) {
  for (bool wrapped : {false, true}) {
    const char* what = wrapped ? "RMID" : "SMF";
    int code = 0;
    const std::vector<int16_t> s = PlayToEnd(wrapped ? Rmid(TypeOne()) : TypeOne(), code);
    ASSERT_EQ(code, MusicGraph::kComplete) << what;
    EXPECT_NEAR(Seconds(s), 1.75, 0.005) << what;
    // The held note sounds to the end, after the melody's track has ended.
    const size_t rate = kAudioRate;
    EXPECT_GT(Rms(s, 2 * (rate * 3 / 2), 2 * (rate * 17 / 10)), 300) << what;
    EXPECT_GT(Rms(s, 0, 2 * rate / 2), 300) << what;
  }
}

TEST_F(MidiFormats, TypeZeroWithResetsAndMasterVolume) {
  int code = 0;
  const std::vector<int16_t> plain = PlayToEnd(TypeZero(""), code);
  ASSERT_EQ(code, MusicGraph::kComplete);
  EXPECT_NEAR(Seconds(plain), 1.0, 0.005);
  const double level = Rms(plain, 0, plain.size());
  ASSERT_GT(level, 300);
  for (const auto& [name, sysex] : {std::pair{"GM on", kGmOn}, {"GS reset", kGsReset}, {"XG reset", kXgReset}}) {
    const std::vector<int16_t> reset = PlayToEnd(TypeZero(sysex), code);
    ASSERT_EQ(code, MusicGraph::kComplete) << name;
    EXPECT_NEAR(Seconds(reset), 1.0, 0.005) << name;
    EXPECT_NEAR(Rms(reset, 0, reset.size()) / level, 1.0, 0.1) << name;
  }
  const std::vector<int16_t> half = PlayToEnd(TypeZero(kGsReset + kHalfVolume), code);
  ASSERT_EQ(code, MusicGraph::kComplete);
  EXPECT_NEAR(Rms(half, 0, half.size()) / level, 0.5, 0.05) << "master volume";
}

// The level follows the piece: an XG master volume at the start, a GS reset
// after a second brings it back to full; a GS master volume alone halves
// it too. A SysEx whose length runs past its track does no harm.
TEST_F(MidiFormats, MasterVolumeChangesWhereThePieceSaysAndResetsRestoreIt) {
  const std::string xgHalf = B({0x00, 0xF0, 0x08, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x04, 0x40, 0xF7});
  const std::string gsHalf = B({0x00, 0xF0, 0x0A, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x04, 0x40, 0x7C, 0xF7});
  // Two seconds of one held organ note; the reset comes at tick 192 (1 s)
  // in running status's midst, in a second track.
  const std::string held = B({0x00, 0xC0, 0x13, 0x00, 0x90, 0x3C, 0x60, 0x83, 0x00, 0x3C, 0x00}) + kEnd;
  const std::string control = xgHalf + B({0x81, 0x40, 0xF0, 0x0A, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00,
                                          0x41, 0xF7}) + kEnd;
  int code = 0;
  const std::vector<int16_t> s = PlayToEnd(Smf(1, {Track(held), Track(control)}), code);
  ASSERT_EQ(code, MusicGraph::kComplete);
  ASSERT_NEAR(Seconds(s), 2.0, 0.005);
  const size_t r = kAudioRate;
  const double first = Rms(s, 2 * (r * 3 / 10), 2 * (r * 9 / 10)), second = Rms(s, 2 * (r * 13 / 10), 2 * (r * 19 / 10));
  ASSERT_GT(second, 300);
  EXPECT_NEAR(first / second, 64.0 / 127.0, 0.05);

  const std::vector<int16_t> plain = PlayToEnd(TypeZero(""), code);
  const std::vector<int16_t> gs = PlayToEnd(TypeZero(gsHalf), code);
  EXPECT_NEAR(Rms(gs, 0, gs.size()) / Rms(plain, 0, plain.size()), 64.0 / 127.0, 0.05);

  std::string damaged = TypeZero(B({0x00, 0xF0, 0x7F, 0x7F, 0x7F, 0x04, 0x01}));
  PlayToEnd(damaged, code, 1.5);  // whatever the player makes of it; no crash, no overrun
}

// Chunk lengths that lie: FluidSynth reads them as signed numbers, and
// after a chunk that is no track takes the next four bytes for a length, so
// a -1 (the first find) or any circle of negative lengths (a later find;
// -4 at once in the smallest) had its player walk the same bytes for ever. Such files now end at once (nothing playable) or play as truncated
// ones; the fuzzer's finds are played as they came.
TEST_F(MidiFormats, ChunkLengthsThatLieDoNotHangThePlayer) {
  const std::string circle = "MThd" + Be(6, 4) + Be(0, 2) + Be(1, 2) + Be(96, 2) + "XTRA" + Be(0, 4) + Be(0xFFFFFFFC, 4);
  const std::string circling = B({
      0x4D, 0x54, 0x68, 0x64, 0x00, 0x00, 0x00, 0x06, 0x00, 0x01, 0x00, 0x02, 0x00, 0x60, 0x4D, 0x54,
      0x57, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x33, 0xFE, 0x00, 0x00, 0x50, 0xF7, 0x60,
      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 0xF8, 0xFB, 0x01, 0x31, 0x7F, 0x00, 0x40, 0xF7, 0x64,
      0x00, 0x00, 0x00, 0x06, 0x00, 0x4D, 0x54, 0x72, 0x6B, 0x00, 0x00, 0x00, 0x59, 0xF7, 0x60, 0xFF,
      0xFF, 0x2F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF0, 0x16, 0x00});
  ASSERT_EQ(circling.size(), 92u);
  const std::string found = B({
      0x4D, 0x54, 0x68, 0x64, 0x00, 0x00, 0x00, 0x06, 0x00, 0x01, 0x00, 0x02, 0x00, 0x60,
      0x4D, 0x54, 0x57, 0x00, 0x00, 0x00, 0x00, 0x33, 0xFE, 0x00, 0x00, 0x50, 0xF7, 0x60,
      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 0xF8, 0xFB, 0x01, 0x31, 0x7F, 0x00, 0x40,
      0xF7, 0x64, 0x00, 0x00, 0x00, 0x06, 0x00, 0x4D, 0x54, 0x72, 0x6B, 0x00, 0x00, 0x00,
      0x50, 0xF7, 0x60, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
      0xFF, 0xFF, 0xFF, 0xFF, 0xF0, 0x16, 0x00});
  ASSERT_EQ(found.size(), 91u);
  // A track that says it is longer than it is, after an unknown chunk that does too.
  std::string longTrack = TypeZero("");
  std::string unknown = "XTRA" + B({0xFF, 0xFF, 0xFF, 0xFF}) + "ab";
  longTrack.replace(18, 4, B({0x7F, 0xFF, 0xFF, 0xFF}));
  for (const std::string& file : {found, circle, circling, longTrack + unknown, longTrack}) {
    // A hang would stop the whole run: a watchdog fails the test instead.
    auto played = std::async(std::launch::async, [&] {
      int code = 0;
      PlayToEnd(file, code, 2.0);
      return code;
    });
    if (played.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
      ADD_FAILURE() << "the player did not come back from a file of " << file.size() << " bytes";
      std::_Exit(1);
    }
    played.get();
  }
  int code = 0;
  const std::vector<int16_t> s = PlayToEnd(longTrack, code);
  EXPECT_EQ(code, MusicGraph::kComplete);  // the organ chord still plays to its end
  EXPECT_NEAR(Seconds(s), 1.0, 0.05);
}

// Chunks of other kinds, and a longer header, are passed over as the format
// says: the piece plays as if they were not there (FluidSynth alone took
// the next chunk's id for a length and refused such files).
TEST_F(MidiFormats, ChunksOfOtherKindsAndLongerHeadersArePassedOver) {
  const std::string plain = TypeZero("");
  const std::string header = plain.substr(0, 14), track = plain.substr(14);
  std::string longer = header + "xy";
  longer[7] = 8;
  const std::vector<std::pair<const char*, std::string>> files = {
      {"a chunk before the track", header + "XTRA" + Be(3, 4) + "abc" + track},
      {"an empty one after it", header + track + "XTRA" + Be(0, 4)},
      {"a header of eight bytes", longer + track},
  };
  int code = 0;
  const std::vector<int16_t> reference = PlayToEnd(plain, code);
  ASSERT_EQ(code, MusicGraph::kComplete);
  for (const auto& [name, file] : files) {
    const std::vector<int16_t> s = PlayToEnd(file, code);
    EXPECT_EQ(code, MusicGraph::kComplete) << name;
    EXPECT_EQ(s, reference) << name;
  }
}

// Some sequencers kept running status going across a meta or SysEx event,
// which the format says ends it; FluidSynth refused such files whole. The
// status is written out, so the piece plays as its plain form does.
TEST_F(MidiFormats, RunningStatusAcrossMetaAndSysExEventsPlays) {
  const std::string text = B({0x00, 0xFF, 0x01, 0x03, 'a', 'b', 'c'});
  const std::string sysex = B({0x00, 0xF0, 0x04, 0x7D, 0x01, 0x02, 0xF7});  // non-commercial: no reset
  // The organ chord of TypeZero with its second note in running status
  // after a text event and its third after a SysEx: FluidSynth took the
  // status of those for the notes', read them as a meta event and a SysEx
  // of 0x43 and 0x48 bytes and gave up on the file at its end.
  const std::string across = B({0x00, 0xC0, 0x13, 0x00, 0x90, 0x3C, 0x60}) + text + B({0x00, 0x43, 0x60}) + sysex +
                             B({0x00, 0x48, 0x60, 0x81, 0x40, 0x3C, 0x00, 0x00, 0x43, 0x00, 0x00, 0x48, 0x00}) + kEnd;
  int code = 0;
  const std::vector<int16_t> plain = PlayToEnd(TypeZero(""), code);
  ASSERT_EQ(code, MusicGraph::kComplete);
  for (int type : {0, 1}) {
    const std::vector<int16_t> s = PlayToEnd(Smf(type, {Track(across)}), code);
    EXPECT_EQ(code, MusicGraph::kComplete) << "type " << type;
    EXPECT_NEAR(Seconds(s), 1.0, 0.005) << "type " << type;
    EXPECT_NEAR(Rms(s, 0, s.size()) / Rms(plain, 0, plain.size()), 1.0, 0.1) << "type " << type;
  }
  // A running status with nothing before it to repeat is left for the player to refuse.
  PlayToEnd(Smf(1, {Track(B({0x00, 0x3C, 0x60}) + kEnd)}), code);
  EXPECT_NE(code, MusicGraph::kComplete);
}
