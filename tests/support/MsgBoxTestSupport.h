#pragma once
// A game directory in a temporary folder with a real CMsgBox set up on an
// off-screen device, as the application sets it up, and helpers to write
// scripts and pictures into it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/DdsWriter.h"
#include "app/GameLayout.h"
#include "framework/TextFont.h"
#include "gfx/CAnimPolygon.h"
#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Debug.h"
#include "platform/draw/Device.h"
#include "platform/diagnostics/Trace.h"
#include "platform/draw/OffscreenDevice.h"
#include "platform/files/Files.h"
#include "platform/text/TextCodec.h"
#include "script/CTextFile.h"
#include "support/Bytes.h"
#include "support/ScratchDir.h"

namespace msgboxtest {

// CP932 bytes of a UTF-8 literal.
inline std::string W(const std::string& utf8) { return platform::Utf8ToCp932Lossy(utf8); }
inline std::string U(const std::string& cp932) { return platform::Cp932ToUtf8(cp932); }

// With no alpha given, the game's own layout (::GameLayout) is used.
inline MsgBoxLayout GameLayout(int alpha) {
  MsgBoxLayout l = ::GameLayout();
  l.alpha = alpha;
  return l;
}

// An uncompressed 32-bit TGA, top-left origin, of one colour (0xAARRGGBB).
inline std::string Tga(int w, int h, uint32_t argb) {
  std::string f(18, '\0');
  f[2] = 2;
  f[12] = char(w & 0xFF), f[13] = char(w >> 8), f[14] = char(h & 0xFF), f[15] = char(h >> 8);
  f[16] = 32;
  f[17] = 0x28;
  for (int i = 0; i < w * h; ++i) {
    f += char(argb & 0xFF), f += char((argb >> 8) & 0xFF), f += char((argb >> 16) & 0xFF), f += char(argb >> 24);
  }
  return f;
}

// An uncompressed A8R8G8B8 DDS of one colour.
inline std::string Dds(int w, int h, uint32_t argb) {
  return ddswriter::EncodeMasked(uint32_t(w), uint32_t(h), std::vector<uint32_t>(size_t(w) * h, argb),
                                 ddswriter::kA8R8G8B8);
}

class MsgBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetDebugEcho(false);
    dir_ = std::make_unique<ScratchDir>(ScratchDir::kEnter, "msgbox");
    std::filesystem::create_directories("GameData/Text");
    std::filesystem::create_directories("GameData/Texture/MsgBox");
    WriteTexture("MsgBox\\MsgBox.dds", Dds(8, 4, 0xC0203060));
    WriteTexture("MsgBox\\CharaPicFrame.dds", Dds(4, 4, 0xFFC0C0C0));
    WriteTexture("MsgBox\\Cursor.tga", Tga(8, 2, 0xFFFFFFFF));
    for (const char* name : {"bg.tga", "taro.tga", "taro_smile.tga", "hanako.tga", "nothing.tga", "wide.tga"}) {
      WriteTexture(name, Tga(2, 2, 0xFF808080));
    }
    device_ = platform::CreateOffscreenDevice(640, 480);
    CPolygon::InitDeviceObjects("GameData\\Texture\\", device_.get());
    TextFont::SetDevice(device_.get());
    CMsgBox::currentScriptName.clear();
    box = std::make_unique<CMsgBox>();
    box->Init(&textFile, nullptr, actions, nullptr, nullptr, W("ＭＳ Ｐゴシック"), 12, 1);
    box->SetLayout(::GameLayout());
  }

  void TearDown() override {
    box.reset();
    CPolygon::DeleteDeviceObjects();
    TextFont::SetDevice(nullptr);
    device_.reset();
    dir_.reset();
    platform::SetDebugEcho(true);
  }

  void WriteTexture(const std::string& enginePath, const std::string& bytes) {
    ASSERT_TRUE(platform::WriteFileAtomic("GameData\\Texture\\" + enginePath, bytes));
  }

  // Writes a script (name and words in UTF-8) into the text directory.
  void WriteScript(const std::string& name, const std::vector<std::string>& utf8Words, bool enciphered = false) {
    std::vector<std::string> words;
    for (const std::string& w : utf8Words) words.push_back(W(w));
    CTextFile writer(enciphered);
    ASSERT_EQ(writer.Write("GameData\\Text\\" + W(name), words), S_OK);
  }

  // Writes "test.Dat" and starts it, returning what StartScript returned.
  HRESULT Run(const std::vector<std::string>& utf8Words) {
    WriteScript("test.Dat", utf8Words);
    return box->StartScript("test.Dat");
  }

  // The trace line of one pass in which `body` ran (a file in the scratch directory).
  template <typename Body>
  std::string TracedPass(Body body) {
    EXPECT_TRUE(platform::trace::Open("pass.jsonl"));
    body();
    platform::trace::EndFrame(1, 16);
    platform::trace::Close();
    return testsupport::ReadHostFile("pass.jsonl");
  }

  std::string Message() const { return U(box->Window().MessageText()); }
  std::string Word() const { return box->Script().Position() < box->Script().Words().size() ? U(box->Script().Words()[box->Script().Position()]) : "<end>"; }

  CTextFile textFile{false};
  int32_t actions[255] = {};
  std::unique_ptr<CMsgBox> box;

 private:
  std::unique_ptr<ScratchDir> dir_;
  std::unique_ptr<platform::Device> device_;
};

}  // namespace msgboxtest
