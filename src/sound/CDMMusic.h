#pragma once
// Sound effects, played by alias. Each effect file under "GameData\Music\SE\"
// is loaded once and registered under an alias; every play starts it again
// over whatever else sounds. The performance, loader and the other audio
// objects are borrowed from the framework.
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/audio/AudioPerformance.h"
#include "platform/audio/AudioSegment.h"
#include "platform/diagnostics/Result.h"

class CDMMusic {
 public:
  struct SegmentRecord {
    std::string alias;
    std::string fileName;  // as passed, without the directory
    platform::AudioSegmentPtr segment;
    platform::AudioSegmentStatePtr segmentState;  // of the last play
    int32_t secondary = 0;
    int64_t length = 0;  // in output frames
    int32_t loop = 0;
    int32_t midi = 0;
  };

  CDMMusic();
  ~CDMMusic();
  CDMMusic(const CDMMusic&) = delete;
  CDMMusic& operator=(const CDMMusic&) = delete;

  HRESULT Init(platform::AudioPerformance* performance, platform::AudioLoader* loader,
               platform::AudioPath* defaultAudioPath, platform::AudioComposer* composer,
               platform::AudioEvent* notificationEvent);
  // E_FAIL for a file loaded before (silently) or one that cannot be loaded
  // (reported). An alias in use keeps its first sound.
  HRESULT LoadSegment(const std::string& fileName, const std::string& alias, int32_t secondary, int32_t midi,
                      int32_t loop, int32_t unused);
  // E_FAIL, silently, for an alias never loaded.
  HRESULT Play(const std::string& alias);
  HRESULT SetMasterVolume(int32_t volume);     // -10000..1000
  HRESULT SetPrimaryVolume(int32_t volume);    // -9600..0
  HRESULT SetSecondaryVolume(int32_t volume);  // -9600..0

  int32_t GetMasterVolume() const { return masterVolume; }
  int32_t GetPrimaryVolume() const { return primaryVolume; }
  int32_t GetSecondaryVolume() const { return secondaryVolume; }
  const SegmentRecord* FindByAlias(const std::string& alias) const;
  const SegmentRecord* FindByFile(const std::string& fileName) const;

 private:
  std::string directory;
  platform::AudioPerformance* performance = nullptr;
  platform::AudioLoader* loader = nullptr;
  // Borrowed and kept, though effects do not use them.
  [[maybe_unused]] platform::AudioPath* defaultAudioPath = nullptr;
  [[maybe_unused]] platform::AudioComposer* composer = nullptr;
  [[maybe_unused]] platform::AudioEvent* notificationEvent = nullptr;
  int32_t masterVolume = 0;
  std::unique_ptr<platform::AudioPath> primaryPath;
  int32_t primaryVolume = 0;
  std::unique_ptr<platform::AudioPath> secondaryPath;
  int32_t secondaryVolume = 0;
  // Both maps share the records; keys compare bytewise.
  std::map<std::string, std::shared_ptr<SegmentRecord>> byAlias;
  std::map<std::string, std::shared_ptr<SegmentRecord>> byFile;
};
