// The audio objects of the framework (standing in for DirectMusic). The sound
// unit fills these in; until then the game runs silently.
#include "app/CD3DApp.h"

HRESULT CD3DApp::InitDirectMusic() { return S_OK; }

HRESULT CD3DApp::ReleaseDirectMusic() {
  dmComposer = nullptr;
  dmLoader = nullptr;
  dmNotificationEvent = nullptr;
  dmAudioPath = nullptr;
  dmPerformance = nullptr;
  return S_OK;
}
