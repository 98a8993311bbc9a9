// Every WAV encoding the wave editors of the games' home platform wrote,
// from files encoded here (the ADPCM and G.711 encoders below are the
// tests' own), loaded through the effect loader and compared sample by
// sample with what each encoding means.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/audio/AudioMix.h"
#include "platform/audio/AudioSegment.h"
#include "platform/diagnostics/Debug.h"
#include "support/Bytes.h"
#include "support/ScratchDir.h"

using namespace platform;
using testsupport::AppendLe16;
using testsupport::AppendLe32;

namespace {

// A chunk with its pad byte when its length is odd.
std::string Chunk(const char* id, const std::string& body) {
  std::string c(id, 4);
  AppendLe32(c, uint32_t(body.size()));
  c += body;
  if (body.size() & 1) c += '\0';
  return c;
}

struct Fmt {
  uint16_t tag;
  uint16_t channels;
  uint32_t rate;
  uint16_t bits;
  uint16_t blockAlign;
  std::string extension;  // after the 16 common bytes, cbSize included
};

std::string FmtBody(const Fmt& f) {
  std::string b;
  AppendLe16(b, f.tag), AppendLe16(b, f.channels), AppendLe32(b, f.rate);
  AppendLe32(b, f.rate * f.blockAlign);  // bytes per second: a hint no reader relies on
  AppendLe16(b, f.blockAlign), AppendLe16(b, f.bits);
  return b + f.extension;
}

// `before` and `after` are whole chunks placed around the data chunk.
std::string Wav(const Fmt& f, const std::string& data, const std::string& before = "",
                const std::string& after = "") {
  std::string body = "WAVE" + Chunk("fmt ", FmtBody(f)) + before + Chunk("data", data) + after;
  std::string file = "RIFF";
  AppendLe32(file, uint32_t(body.size()));
  return file + body;
}

Fmt Pcm(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
  return Fmt{tag, channels, rate, bits, uint16_t(channels * bits / 8), ""};
}

// A test signal in [-1, 1): two tones, different on each channel.
double Signal(size_t i, int channel, uint32_t rate) {
  const double t = double(i) / rate;
  return 0.6 * std::sin(2 * M_PI * (330.0 + 110.0 * channel) * t) + 0.3 * std::sin(2 * M_PI * 1250.0 * t);
}
int16_t Signal16(size_t i, int channel, uint32_t rate = kAudioRate) {
  return int16_t(std::lround(Signal(i, channel, rate) * 32767.0));
}

class WavFormats : public ::testing::Test {
 protected:
  void SetUp() override { SetDebugEcho(false); }
  void TearDown() override { SetDebugEcho(true); }

  // The effect as the loader gives it: interleaved stereo at kAudioRate.
  std::vector<int16_t> Load(const std::string& file, const std::string& what) {
    dir.Write("e.wav", file);
    AudioSegmentPtr seg;
    HRESULT hr = loader.LoadSegment("e.wav", seg);
    EXPECT_EQ(hr, S_OK) << what;
    if (hr != S_OK) return {};
    return std::vector<int16_t>(seg->Samples(), seg->Samples() + 2 * seg->Frames());
  }
  bool Refused(const std::string& file) {
    dir.Write("e.wav", file);
    AudioSegmentPtr seg;
    return FAILED(loader.LoadSegment("e.wav", seg)) && !seg;
  }

  // Every frame against `want` (mono sources on both sides). The output
  // conversion passes through floats, scaling by 1/32768 there and 32767
  // back, which may cost one step; the tolerance comes on top.
  void ExpectSamples(const std::vector<int16_t>& got, const std::vector<int16_t>& want, int channels,
                     int tolerance, const std::string& what) {
    tolerance += 1;
    const size_t frames = want.size() / size_t(channels);
    ASSERT_EQ(got.size(), 2 * frames) << what;
    for (size_t i = 0; i < frames; ++i)
      for (int side = 0; side < 2; ++side) {
        const int w = want[i * size_t(channels) + size_t(channels == 2 ? side : 0)];
        ASSERT_LE(std::abs(got[2 * i + size_t(side)] - w), tolerance)
            << what << " frame " << i << " side " << side << " got " << got[2 * i + size_t(side)] << " want " << w;
      }
  }

  ScratchDir dir;
  AudioLoader loader;
};

constexpr size_t kFrames = 1500;

}  // namespace

TEST_F(WavFormats, PcmOfEveryDepthMonoAndStereoIncludingFloatAndExtensible) {
  for (int channels : {1, 2}) {
    std::vector<int16_t> want;
    std::string u8, s16, s24, s32, f32, f64;
    for (size_t i = 0; i < kFrames; ++i)
      for (int c = 0; c < channels; ++c) {
        const double v = Signal(i, c, kAudioRate);
        const int16_t s = Signal16(i, c);
        // Each depth holds the 16-bit value exactly, plus low bits that a
        // conversion to 16 bits must drop, not round into the next step.
        u8 += char(uint8_t(128 + (s >> 8)));
        AppendLe16(s16, uint16_t(s));
        const int32_t s24v = int32_t(s) * 256 + 0x7F;
        s24 += char(s24v & 0xFF), s24 += char((s24v >> 8) & 0xFF), s24 += char((s24v >> 16) & 0xFF);
        AppendLe32(s32, uint32_t(int32_t(s) * 65536 + 0x7FFF));
        float fv = float(v);
        uint32_t bits;
        std::memcpy(&bits, &fv, 4);
        AppendLe32(f32, bits);
        uint64_t wide;
        std::memcpy(&wide, &v, 8);
        AppendLe32(f64, uint32_t(wide)), AppendLe32(f64, uint32_t(wide >> 32));
        want.push_back(s);
      }
    const std::string ch = channels == 1 ? " mono" : " stereo";
    // 8-bit samples keep their top byte only.
    std::vector<int16_t> want8 = want;
    for (int16_t& s : want8) s = int16_t((s >> 8) * 256);
    ExpectSamples(Load(Wav(Pcm(1, channels, kAudioRate, 8), u8), "8-bit"), want8, channels, 0, "8-bit" + ch);
    ExpectSamples(Load(Wav(Pcm(1, channels, kAudioRate, 16), s16), "16-bit"), want, channels, 0, "16-bit" + ch);
    ExpectSamples(Load(Wav(Pcm(1, channels, kAudioRate, 24), s24), "24-bit"), want, channels, 0, "24-bit" + ch);
    ExpectSamples(Load(Wav(Pcm(1, channels, kAudioRate, 32), s32), "32-bit"), want, channels, 0, "32-bit" + ch);
    ExpectSamples(Load(Wav(Pcm(3, channels, kAudioRate, 32), f32), "float"), want, channels, 1, "float" + ch);
    ExpectSamples(Load(Wav(Pcm(3, channels, kAudioRate, 64), f64), "double"), want, channels, 1, "double" + ch);

    // WAVE_FORMAT_EXTENSIBLE: valid bits, channel mask and the sub-format's
    // GUID; a chunk after the samples must survive the 64-bit narrowing.
    struct Sub {
      const char* name;
      uint16_t tag, bits;
      const std::string* data;
    };
    for (const Sub& sub : {Sub{"24-bit", 1, 24, &s24}, Sub{"float", 3, 32, &f32}, Sub{"double", 3, 64, &f64}}) {
      Fmt f = Pcm(0xFFFE, channels, kAudioRate, sub.bits);
      AppendLe16(f.extension, 22);
      AppendLe16(f.extension, sub.bits);
      AppendLe32(f.extension, channels == 1 ? 0x4 : 0x3);
      AppendLe16(f.extension, sub.tag);
      f.extension += std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
      const std::string what = std::string("extensible ") + sub.name + ch;
      ExpectSamples(Load(Wav(f, *sub.data, "", Chunk("LIST", "INFOx")), what), want, channels, sub.tag == 3 ? 1 : 0,
                    what);
    }
  }
}

TEST_F(WavFormats, AnySampleRateComesOutAtTheOutputRate) {
  for (uint32_t rate : {8000u, 11025u, 22050u, 32000u, 48000u, 96000u}) {
    const size_t frames = rate / 4;  // a quarter of a second
    std::string s16;
    double sumSquares = 0;
    for (size_t i = 0; i < frames; ++i) {
      // One tone that every rate here carries below its Nyquist limit.
      const int16_t s = int16_t(std::lround(0.5 * 32767.0 * std::sin(2 * M_PI * 440.0 * double(i) / rate)));
      AppendLe16(s16, uint16_t(s));
      sumSquares += double(s) * s;
    }
    const std::vector<int16_t> got = Load(Wav(Pcm(1, 1, rate, 16), s16), std::to_string(rate));
    ASSERT_NEAR(double(got.size() / 2), kAudioRate / 4.0, 16) << rate;
    double gotSquares = 0;
    for (size_t i = 0; i < got.size(); i += 2) gotSquares += double(got[i]) * got[i];
    const double rmsIn = std::sqrt(sumSquares / double(frames)), rmsOut = std::sqrt(gotSquares / double(got.size() / 2));
    EXPECT_NEAR(rmsOut / rmsIn, 1.0, 0.05) << rate;
  }
}

// A tone near the top of a low-rate file's band comes out as that tone
// alone: the images a plain converter leaves above the band (at the file's
// rate minus the tone and beyond) stay 50 dB under it. SDL's own converter
// left them 14 to 20 dB under.
TEST_F(WavFormats, LowRatesComeOutWithoutImagesAboveTheirBand) {
  for (uint32_t rate : {4000u, 8000u, 11025u}) {
    const double tone = 0.4 * rate;
    std::string s16;
    for (size_t i = 0; i < rate; ++i)
      AppendLe16(s16, uint16_t(int16_t(std::lround(0.5 * 32767.0 * std::sin(2 * M_PI * tone * double(i) / rate)))));
    const std::vector<int16_t> got = Load(Wav(Pcm(1, 1, rate, 16), s16), std::to_string(rate));
    // Fit the tone over the middle (away from the filter's edges); what is left is the rest.
    const size_t from = kAudioRate / 10, to = got.size() / 2 - kAudioRate / 10;
    double a = 0, b = 0;
    for (size_t i = from; i < to; ++i) {
      const double w = 2 * M_PI * tone * double(i) / kAudioRate;
      a += got[2 * i] * std::sin(w);
      b += got[2 * i] * std::cos(w);
    }
    a *= 2.0 / double(to - from);
    b *= 2.0 / double(to - from);
    double total = 0, rest = 0;
    for (size_t i = from; i < to; ++i) {
      const double w = 2 * M_PI * tone * double(i) / kAudioRate, y = got[2 * i];
      total += y * y;
      rest += (y - a * std::sin(w) - b * std::cos(w)) * (y - a * std::sin(w) - b * std::cos(w));
    }
    EXPECT_LT(10 * std::log10(rest / total), -50.0) << rate;
  }
}

namespace {

// G.711, from the recommendation's tables: what each code means.
int16_t MuLawValue(uint8_t u) {
  u = uint8_t(~u);
  int t = ((u & 0x0F) << 3) + 0x84;
  t <<= (u & 0x70) >> 4;
  return int16_t((u & 0x80) ? (0x84 - t) : (t - 0x84));
}
int16_t ALawValue(uint8_t a) {
  a ^= 0x55;
  int t = (a & 0x0F) << 4;
  const int segment = (a & 0x70) >> 4;
  if (segment == 0) {
    t += 8;
  } else {
    t += 0x108;
    if (segment > 1) t <<= segment - 1;
  }
  return int16_t((a & 0x80) ? t : -t);
}

}  // namespace

TEST_F(WavFormats, MuLawAndALawEveryCode) {
  std::string codes;
  for (int rep = 0; rep < 2; ++rep)
    for (int c = 0; c < 256; ++c) codes += char(c);
  for (bool mu : {true, false}) {
    std::vector<int16_t> want;
    for (unsigned char c : codes) want.push_back(mu ? MuLawValue(c) : ALawValue(c));
    Fmt f = Pcm(mu ? 7 : 6, 2, kAudioRate, 8);
    f.extension = std::string(2, '\0');  // cbSize 0, as the editors wrote it
    const char* what = mu ? "mu-law" : "A-law";
    ExpectSamples(Load(Wav(f, codes), what), want, 2, 0, what);
  }
}

namespace {

// IMA ADPCM (the DVI/Intel form): the step and index tables of the standard.
const int kImaSteps[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
const int kImaIndex[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

struct ImaState {
  int predicted = 0, index = 0;
  // Chooses the code for `sample` and moves the state as a decoder will.
  uint8_t Encode(int sample) {
    const int step = kImaSteps[index];
    int diff = sample - predicted;
    uint8_t code = 0;
    if (diff < 0) code = 8, diff = -diff;
    if (diff >= step) code |= 4, diff -= step;
    if (diff >= step / 2) code |= 2, diff -= step / 2;
    if (diff >= step / 4) code |= 1;
    int delta = step >> 3;
    if (code & 4) delta += step;
    if (code & 2) delta += step >> 1;
    if (code & 1) delta += step >> 2;
    predicted = std::clamp(predicted + ((code & 8) ? -delta : delta), -32768, 32767);
    index = std::clamp(index + kImaIndex[code], 0, 88);
    return code;
  }
};

// Whole blocks of IMA ADPCM; `decoded` gets what a decoder must give back.
std::string EncodeIma(const std::vector<int16_t>& in, int channels, int blockAlign, int perBlock,
                      std::vector<int16_t>& decoded) {
  std::string out;
  const size_t frames = in.size() / size_t(channels);
  std::vector<ImaState> state(static_cast<size_t>(channels));
  for (size_t start = 0; start < frames; start += size_t(perBlock)) {
    std::string block;
    for (int c = 0; c < channels; ++c) {
      ImaState& s = state[size_t(c)];
      s.predicted = in[start * size_t(channels) + size_t(c)];
      AppendLe16(block, uint16_t(int16_t(s.predicted)));
      block += char(s.index), block += '\0';
    }
    std::vector<std::vector<int16_t>> perChannel(static_cast<size_t>(channels));
    for (int c = 0; c < channels; ++c) perChannel[size_t(c)].push_back(int16_t(state[size_t(c)].predicted));
    // Then groups of eight samples, four bytes per channel in turn, low nibble first.
    for (size_t i = 1; i < size_t(perBlock); i += 8)
      for (int c = 0; c < channels; ++c)
        for (int k = 0; k < 8; k += 2) {
          uint8_t byte = 0;
          for (int half = 0; half < 2; ++half) {
            const size_t f = start + i + size_t(k + half);
            const uint8_t code = state[size_t(c)].Encode(in[f * size_t(channels) + size_t(c)]);
            byte |= uint8_t(code << (4 * half));
            perChannel[size_t(c)].push_back(int16_t(state[size_t(c)].predicted));
          }
          block += char(byte);
        }
    EXPECT_EQ(block.size(), size_t(blockAlign));
    out += block;
    for (int i = 0; i < perBlock; ++i)
      for (int c = 0; c < channels; ++c) decoded.push_back(perChannel[size_t(c)][size_t(i)]);
  }
  return out;
}

// MS ADPCM: the seven standard predictor pairs and the step adaptation.
const int kMsCoef[7][2] = {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}};
const int kMsAdapt[16] = {230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230};

struct MsState {
  int predictor = 0, delta = 16, sample1 = 0, sample2 = 0;
  uint8_t Encode(int sample) {
    const int predicted = (sample1 * kMsCoef[predictor][0] + sample2 * kMsCoef[predictor][1]) / 256;
    int code = int(std::lround(double(sample - predicted) / delta));
    code = std::clamp(code, -8, 7);
    const int value = std::clamp(predicted + code * delta, -32768, 32767);
    sample2 = sample1;
    sample1 = value;
    delta = std::max(16, kMsAdapt[code & 15] * delta / 256);
    return uint8_t(code & 15);
  }
};

std::string EncodeMsAdpcm(const std::vector<int16_t>& in, int channels, int blockAlign, int perBlock,
                          std::vector<int16_t>& decoded) {
  std::string out;
  const size_t frames = in.size() / size_t(channels);
  for (size_t start = 0; start < frames; start += size_t(perBlock)) {
    std::vector<MsState> s(static_cast<size_t>(channels));
    std::string block;
    for (int c = 0; c < channels; ++c) s[size_t(c)].predictor = c == 0 ? 1 : 3;  // two different pairs
    for (int c = 0; c < channels; ++c) block += char(s[size_t(c)].predictor);
    for (int c = 0; c < channels; ++c) AppendLe16(block, 32);  // the first step
    for (MsState& st : s) st.delta = 32;
    // The header carries the first two samples, the second one first.
    for (int c = 0; c < channels; ++c) {
      s[size_t(c)].sample1 = in[(start + 1) * size_t(channels) + size_t(c)];
      AppendLe16(block, uint16_t(int16_t(s[size_t(c)].sample1)));
    }
    for (int c = 0; c < channels; ++c) {
      s[size_t(c)].sample2 = in[start * size_t(channels) + size_t(c)];
      AppendLe16(block, uint16_t(int16_t(s[size_t(c)].sample2)));
    }
    for (int i = 0; i < 2; ++i)
      for (int c = 0; c < channels; ++c) decoded.push_back(in[(start + size_t(i)) * size_t(channels) + size_t(c)]);
    // Then one nibble per sample, high nibble first, channels interleaved.
    uint8_t byte = 0;
    int nibbles = 0;
    for (size_t i = 2; i < size_t(perBlock); ++i)
      for (int c = 0; c < channels; ++c) {
        const uint8_t code = s[size_t(c)].Encode(in[(start + i) * size_t(channels) + size_t(c)]);
        decoded.push_back(int16_t(s[size_t(c)].sample1));
        byte = uint8_t(nibbles % 2 == 0 ? code << 4 : byte | code);
        if (++nibbles % 2 == 0) block += char(byte);
      }
    EXPECT_EQ(block.size(), size_t(blockAlign));
    out += block;
  }
  return out;
}

}  // namespace

TEST_F(WavFormats, ImaAndMsAdpcmDecodeToWhatTheirEncoderMeant) {
  for (int channels : {1, 2}) {
    const int blockAlign = 256 * channels;
    const std::string ch = channels == 1 ? " mono" : " stereo";
    {
      const int perBlock = (blockAlign - 4 * channels) * 8 / (4 * channels) + 1;  // 505
      std::vector<int16_t> in, decoded;
      for (size_t i = 0; i < size_t(perBlock) * 3; ++i)
        for (int c = 0; c < channels; ++c) in.push_back(Signal16(i, c));
      const std::string data = EncodeIma(in, channels, blockAlign, perBlock, decoded);
      Fmt f{0x11, uint16_t(channels), kAudioRate, 4, uint16_t(blockAlign), ""};
      AppendLe16(f.extension, 2), AppendLe16(f.extension, uint16_t(perBlock));
      std::string fact;
      AppendLe32(fact, uint32_t(in.size() / size_t(channels)));
      ExpectSamples(Load(Wav(f, data, Chunk("fact", fact)), "IMA"), decoded, channels, 0, "IMA ADPCM" + ch);
    }
    {
      const int perBlock = (blockAlign - 7 * channels) * 8 / (4 * channels) + 2;  // 500
      std::vector<int16_t> in, decoded;
      for (size_t i = 0; i < size_t(perBlock) * 3; ++i)
        for (int c = 0; c < channels; ++c) in.push_back(Signal16(i, c));
      const std::string data = EncodeMsAdpcm(in, channels, blockAlign, perBlock, decoded);
      Fmt f{2, uint16_t(channels), kAudioRate, 4, uint16_t(blockAlign), ""};
      AppendLe16(f.extension, 32), AppendLe16(f.extension, uint16_t(perBlock)), AppendLe16(f.extension, 7);
      for (const auto& pair : kMsCoef) AppendLe16(f.extension, uint16_t(int16_t(pair[0]))), AppendLe16(f.extension, uint16_t(int16_t(pair[1])));
      std::string fact;
      AppendLe32(fact, uint32_t(in.size() / size_t(channels)));
      const std::vector<int16_t> got = Load(Wav(f, data, Chunk("fact", fact)), "MS ADPCM");
      ExpectSamples(got, decoded, channels, 0, "MS ADPCM" + ch);
      // And the encoding is near the signal it came from.
      double err = 0, sig = 0;
      for (size_t i = 0; i < in.size(); ++i) err += std::pow(double(decoded[i]) - in[i], 2), sig += double(in[i]) * in[i];
      EXPECT_LT(err / sig, 0.01) << ch;
    }
  }
}

TEST_F(WavFormats, ExtraChunksAndOddPaddingAreSteppedOver) {
  std::string s8;  // an odd number of 8-bit frames: the data chunk is padded
  std::vector<int16_t> want;
  for (size_t i = 0; i < 1001; ++i) {
    const uint8_t v = uint8_t(128 + (Signal16(i, 0) >> 8));
    s8 += char(v);
    want.push_back(int16_t((int(v) - 128) * 256));
  }
  const std::string list = Chunk("LIST", std::string("INFOINAM", 8) + std::string("\x05\0\0\0bell\0", 9));  // odd
  std::string cue;
  AppendLe32(cue, 1);
  AppendLe32(cue, 1), AppendLe32(cue, 0);
  cue += "data";
  AppendLe32(cue, 0), AppendLe32(cue, 0), AppendLe32(cue, 10);
  std::string fact;
  AppendLe32(fact, 1001);
  const std::string odd = Chunk("junk", std::string(3, 'x'));
  const std::string before = list + odd + Chunk("fact", fact) + Chunk("cue ", cue);
  ExpectSamples(Load(Wav(Pcm(1, 1, kAudioRate, 8), s8, before, list + Chunk("smpl", std::string(36, '\0'))), "chunks"),
                want, 1, 0, "extra chunks");
  // A format chunk of 18 bytes (cbSize 0), as many editors wrote for PCM.
  Fmt f = Pcm(1, 1, kAudioRate, 8);
  f.extension = std::string(2, '\0');
  ExpectSamples(Load(Wav(f, s8, odd), "18-byte fmt"), want, 1, 0, "18-byte format chunk");
}

TEST_F(WavFormats, EncodingsNoEditorOfThePlatformWroteAreRefused) {
  const std::string bytes(400, '\x11');
  EXPECT_TRUE(Refused(Wav(Pcm(0x55, 1, kAudioRate, 16), bytes))) << "MPEG layer 3";
  EXPECT_TRUE(Refused(Wav(Pcm(0x31, 1, kAudioRate, 16), bytes))) << "GSM 6.10";
  EXPECT_TRUE(Refused(Wav(Pcm(1, 1, kAudioRate, 12), bytes))) << "12-bit PCM";
  EXPECT_TRUE(Refused(Wav(Pcm(1, 0, kAudioRate, 16), bytes))) << "no channels";
  EXPECT_TRUE(Refused(Wav(Pcm(1, 1, 0, 16), bytes))) << "rate 0";
  // Rates no sound buffer of the platform took: 1 Hz would stretch 48,000 times.
  EXPECT_TRUE(Refused(Wav(Pcm(1, 1, 1, 16), bytes))) << "rate 1";
  EXPECT_TRUE(Refused(Wav(Pcm(1, 1, 99, 16), bytes))) << "rate 99";
  EXPECT_TRUE(Refused(Wav(Pcm(1, 1, 200001, 16), bytes))) << "rate 200001";
  EXPECT_FALSE(Load(Wav(Pcm(1, 1, 100, 16), bytes), "rate 100").empty());
  EXPECT_FALSE(Load(Wav(Pcm(1, 1, 200000, 16), bytes), "rate 200000").empty());
  Fmt ima{0x11, 1, kAudioRate, 4, 256, ""};
  AppendLe16(ima.extension, 2), AppendLe16(ima.extension, 9999);  // more samples than a block holds
  EXPECT_TRUE(Refused(Wav(ima, bytes))) << "IMA block size";
}

// Float files may hold NaN and infinities (a broken editor, a damaged file):
// they play as silence and full scale, at the output's rate and through the
// resampler alike, and their neighbours keep their values.
TEST_F(WavFormats, NanAndInfinityInFloatSamplesPlayAsSilenceAndFullScale) {
  const float specials[] = {std::nanf(""), -std::nanf(""), INFINITY, -INFINITY};
  const int16_t meant[] = {0, 0, 32767, -32768};
  for (uint32_t rate : {uint32_t(kAudioRate), 8000u}) {
    std::string f32;
    for (size_t i = 0; i < 400; ++i) {
      const float v = i >= 200 && i < 204 ? specials[i - 200] : 0.25f;
      uint32_t bits;
      std::memcpy(&bits, &v, 4);
      AppendLe32(f32, bits);
    }
    const std::vector<int16_t> got = Load(Wav(Pcm(3, 1, rate, 32), f32), "float " + std::to_string(rate));
    ASSERT_FALSE(got.empty()) << rate;
    if (rate == kAudioRate) {
      for (size_t k = 0; k < 4; ++k) EXPECT_NEAR(got[2 * (200 + k)], meant[k], 1) << k;
      EXPECT_NEAR(got[2 * 100], 8192, 2);
      EXPECT_NEAR(got[2 * 300], 8192, 2);
    } else {
      // The resampler rings around the steps, but nothing far away moves.
      const size_t far = got.size() / 2 - 200;
      EXPECT_NEAR(got[2 * far], 8192, 40);
    }
  }
}
