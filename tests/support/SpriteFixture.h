#pragma once
// A scratch game directory for the sprite tests: the working directory moves
// into a fresh temporary tree with GameData/Texture/, and the texture
// registry is set up on the given device and torn down again afterwards.
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "gfx/CPolygon.h"
#include "platform/diagnostics/Debug.h"
#include "support/ScratchDir.h"

class ScratchGameDir : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::make_unique<ScratchDir>(ScratchDir::kEnter, "sprites");
    root_ = dir_->Path();
    std::filesystem::create_directories(root_ / "GameData" / "Texture");
    platform::SetDebugEcho(false);  // the failures provoked here are expected
  }
  void TearDown() override {
    CPolygon::DeleteDeviceObjects();
    platform::SetDebugEcho(true);
    dir_.reset();
  }
  // Writes a texture file; `utf8Name` is relative to GameData/Texture with '/'.
  void WriteTexture(const std::string& utf8Name, const std::string& bytes) {
    std::filesystem::path p = root_ / "GameData" / "Texture" / std::filesystem::u8path(utf8Name);
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
  }
  void RemoveTexture(const std::string& utf8Name) {
    std::filesystem::remove(root_ / "GameData" / "Texture" / std::filesystem::u8path(utf8Name));
  }

  std::unique_ptr<ScratchDir> dir_;
  std::filesystem::path root_;
};
