#include "input/InputTypes.h"

platform::ActionMapSpec ToActionMapSpec(const DIACTIONFORMAT& format) {
  platform::ActionMapSpec spec;
  spec.guid = GuidText(format.guidActionMap);
  for (uint32_t i = 0; format.rgoAction && i < format.dwNumActions; ++i)
    spec.actions.push_back({format.rgoAction[i].uAppData, format.rgoAction[i].dwSemantic});
  spec.genre = format.dwGenre;
  spec.bufferSize = format.dwBufferSize;
  spec.axisMin = format.lAxisMin;
  spec.axisMax = format.lAxisMax;
  return spec;
}
