// The framework's audio objects, standing in for the DirectMusic loader,
// performance, default audio path, composer and notification event. Without
// a sound device, and always in headless mode, the output is a null one and
// the game runs silently.
#include <new>

#include "app/CD3DApp.h"
#include "platform/audio/AudioPerformance.h"
#include "platform/audio/AudioSegment.h"
#include "platform/diagnostics/Report.h"
#include "platform/files/Files.h"
#include "platform/text/TextCodec.h"

using namespace platform;

HRESULT CD3DApp::InitDirectMusic() {
  dmLoader = new (std::nothrow) AudioLoader;
  if (!dmLoader) return DXTRACE("CD3DApp", E_OUTOFMEMORY, SJ("DirectMusicLoader8オブジェクトの作成に失敗。"), true);

  // Effect paths are found from the working directory, the game directory.
  std::string directory = CurrentDirectory();
  if (directory.empty()) {
    DXTRACE("CD3DApp", E_FAIL, SJ("カレント・ディレクトリの取得に失敗。"), false);
    return E_FAIL;
  }
  HRESULT hr = dmLoader->SetSearchDirectory(directory);
  if (FAILED(hr)) return DXTRACE("CD3DApp", hr, SJ("検索パスの設定に失敗。"), true);

  dmPerformance = new (std::nothrow) AudioPerformance;
  if (!dmPerformance) {
    return DXTRACE("CD3DApp", E_OUTOFMEMORY, SJ("DirectMusicPerformance8オブジェクトの作成に失敗。"), true);
  }
  if (FAILED(hr = dmPerformance->InitAudio(Headless()))) {
    return DXTRACE("CD3DApp", hr, SJ("DirectMusicPerformance8の初期化に失敗。"), true);
  }
  if (FAILED(hr = dmPerformance->GetDefaultAudioPath(dmAudioPath))) {
    return DXTRACE("CD3DApp", hr, SJ("デフォルト・オーディオパスの取得に失敗。"), true);
  }

  // Nothing waits on the notification event; it is registered all the same.
  dmNotificationEvent = new (std::nothrow) AudioEvent;
  dmPerformance->SetNotificationHandle(dmNotificationEvent);

  dmComposer = new (std::nothrow) AudioComposer;
  if (!dmComposer) return DXTRACE("CD3DApp", E_OUTOFMEMORY, SJ("IDirectMusicComposer8の作成に失敗。"), true);
  return S_OK;
}

HRESULT CD3DApp::ReleaseDirectMusic() {
  delete dmComposer;
  dmComposer = nullptr;
  delete dmLoader;
  dmLoader = nullptr;
  if (dmPerformance) dmPerformance->SetNotificationHandle(nullptr);
  delete dmNotificationEvent;
  dmNotificationEvent = nullptr;
  dmAudioPath = nullptr;  // the performance's own; goes with CloseDown
  if (dmPerformance) {
    HRESULT hr = dmPerformance->CloseDown();
    if (FAILED(hr)) DXTRACE("CD3DApp", hr, SJ("IDirectMusicPerformance8::CloseDownに失敗。"), true);
    delete dmPerformance;
    dmPerformance = nullptr;
  }
  return S_OK;
}
