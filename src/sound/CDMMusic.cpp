#include "sound/CDMMusic.h"

#include <algorithm>

#include "framework/GameDataPaths.h"
#include "platform/diagnostics/Debug.h"
#include "platform/diagnostics/Report.h"
#include "platform/diagnostics/Trace.h"
#include "platform/text/TextCodec.h"

using namespace platform;

CDMMusic::CDMMusic() = default;

CDMMusic::~CDMMusic() {
  // Our paths go (stopping what still sounds on them); the borrowed objects stay with the framework.
  byAlias.clear();
  byFile.clear();
  primaryPath.reset();
  secondaryPath.reset();
  performance = nullptr;
  loader = nullptr;
  defaultAudioPath = nullptr;
  composer = nullptr;
  notificationEvent = nullptr;
}

HRESULT CDMMusic::Init(AudioPerformance* performance_, AudioLoader* loader_, AudioPath* defaultAudioPath_,
                       AudioComposer* composer_, AudioEvent* notificationEvent_) {
  directory = gamedata::kSoundDir;
  performance = performance_;
  loader = loader_;
  defaultAudioPath = defaultAudioPath_;
  composer = composer_;
  notificationEvent = notificationEvent_;
  masterVolume = primaryVolume = secondaryVolume = 0;

  HRESULT hr = performance ? performance->CreateStandardAudioPath(primaryPath) : E_POINTER;
  if (FAILED(hr)) DXTRACE("CDMMusic", hr, SJ("プライマリオーディオ・パスの作成に失敗。"), true);
  SetPrimaryVolume(0);
  hr = performance ? performance->CreateStandardAudioPath(secondaryPath) : E_POINTER;
  if (FAILED(hr)) DXTRACE("CDMMusic", hr, SJ("セカンダリオーディオ・パスの作成に失敗。"), true);
  SetSecondaryVolume(0);
  return S_OK;
}

HRESULT CDMMusic::LoadSegment(const std::string& fileName, const std::string& alias, int32_t secondary,
                              int32_t midi, int32_t loop, int32_t) {
  if (byFile.count(fileName)) return E_FAIL;
  auto record = std::make_shared<SegmentRecord>();
  record->alias = alias;
  record->fileName = fileName;
  record->secondary = secondary;
  record->midi = midi;
  record->loop = loop;

  HRESULT hr = loader ? loader->LoadSegment(directory + fileName, record->segment) : E_POINTER;
  if (FAILED(hr)) {
    DXTRACE("CDMMusic", hr, SJ("セグメントのロードに失敗。"), true, fileName);
    return E_FAIL;
  }
  AudioSegment& segment = *record->segment;
  if (midi && FAILED(hr = segment.SetStandardMidiFile())) {
    DXTRACE("CDMMusic", hr, SJ("MIDIセグメントのパラメータ設定に失敗。"), true, fileName);
    return E_FAIL;
  }
  if (FAILED(hr = segment.GetLength(record->length))) {
    DXTRACE("CDMMusic", hr, SJ("セグメントの長さの取得に失敗。"), true, fileName);
  }
  if (FAILED(hr = segment.SetLoopPoints(0, 0))) {
    DXTRACE("CDMMusic", hr, SJ("セグメントのループ範囲の設定に失敗。"), true, fileName);
    return E_FAIL;
  }
  if (loop && FAILED(hr = segment.SetRepeats(AudioSegment::kRepeatForever))) {
    DXTRACE("CDMMusic", hr, SJ("セグメントのループ回数の設定に失敗。"), true, fileName);
    return E_FAIL;
  }
  hr = performance ? segment.Download(*performance) : E_POINTER;
  if (FAILED(hr)) {
    DXTRACE("CDMMusic", hr, SJ("セグメントのバンドのダウンロードに失敗。"), true, fileName);
    return E_FAIL;
  }
  byAlias.emplace(alias, record);  // an alias in use keeps its earlier record
  byFile.emplace(fileName, record);
  return S_OK;
}

HRESULT CDMMusic::Play(const std::string& alias) {
  HRESULT result = S_OK;
  auto it = byAlias.find(alias);
  if (it == byAlias.end()) {
    result = E_FAIL;
  } else {
    SegmentRecord& record = *it->second;
    AudioPath* path = record.secondary ? secondaryPath.get() : primaryPath.get();
    uint32_t flags = record.secondary ? AudioPerformance::kSecondary : 0;
    AudioSegmentStatePtr state;
    HRESULT hr = performance ? performance->PlaySegment(*record.segment, flags, path, state) : E_POINTER;
    if (FAILED(hr)) {
      DXTRACE("CDMMusic", hr, SJ("再生に失敗。"), true, record.fileName);
    } else if (state) {
      record.segmentState = std::move(state);
    } else {
      DXTRACE("CDMMusic", E_FAIL, SJ("IDirectMusicSegmentState8の取得に失敗。"), true,
              record.fileName);
    }
  }
  trace::Event("{\"type\":\"se\",\"alias\":" + JsonCp932(alias) + ",\"result\":" + std::to_string(result) + "}");
  return result;
}

namespace {
// Clamps and stores a volume, hands it to its target (null: not created) and
// reports a refusal with the setter's own message.
template <typename Target, typename Apply>
HRESULT StoreVolume(int32_t& stored, int32_t volume, int32_t lowest, int32_t highest, Target* target,
                    Apply apply, const std::string& failure) {
  stored = std::clamp(volume, lowest, highest);
  HRESULT hr = target ? apply(*target, stored) : E_POINTER;
  if (FAILED(hr)) {
    OutputDebugString(failure);
    return E_FAIL;
  }
  return S_OK;
}
}  // namespace

HRESULT CDMMusic::SetMasterVolume(int32_t volume) {
  return StoreVolume(masterVolume, volume, -10000, 1000, performance,
                     [](auto& p, int32_t v) { return p.SetMasterVolume(v); }, SJ("マスタボリュームの設定に失敗"));
}

HRESULT CDMMusic::SetPrimaryVolume(int32_t volume) {
  return StoreVolume(primaryVolume, volume, -9600, 0, primaryPath.get(),
                     [](auto& p, int32_t v) { return p.SetVolume(v, 0); }, SJ("プライマリボリュームの設定に失敗"));
}

HRESULT CDMMusic::SetSecondaryVolume(int32_t volume) {
  return StoreVolume(secondaryVolume, volume, -9600, 0, secondaryPath.get(),
                     [](auto& p, int32_t v) { return p.SetVolume(v, 0); }, SJ("セカンダリボリュームの設定に失敗"));
}

const CDMMusic::SegmentRecord* CDMMusic::FindByAlias(const std::string& alias) const {
  auto it = byAlias.find(alias);
  return it == byAlias.end() ? nullptr : it->second.get();
}

const CDMMusic::SegmentRecord* CDMMusic::FindByFile(const std::string& fileName) const {
  auto it = byFile.find(fileName);
  return it == byFile.end() ? nullptr : it->second.get();
}
