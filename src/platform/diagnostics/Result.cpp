#include "platform/diagnostics/Result.h"

const char* ResultName(HRESULT hr) {
  switch (static_cast<uint32_t>(hr)) {
    case 0x00000000u: return "S_OK";
    case 0x00000001u: return "S_FALSE";
    case 0x80004005u: return "E_FAIL";
    case 0x80070057u: return "E_INVALIDARG";
    case 0x8007000Eu: return "E_OUTOFMEMORY";
    case 0x80004001u: return "E_NOTIMPL";
    case 0x80004003u: return "E_POINTER";
    case 0x80070005u: return "E_ACCESSDENIED";
    case 0x8876086Cu: return "D3DERR_INVALIDCALL";
    case 0x8876086Au: return "D3DERR_NOTAVAILABLE";
    case 0x88760B59u: return "D3DXERR_INVALIDDATA";
    case 0x88781170u: return "DMUS_E_LOADER_FAILEDOPEN";
    case 0x88781193u: return "DMUS_E_NOT_FOUND";
    case 0x8007001Eu: return "DIERR_INPUTLOST";
    case 0x8007000Cu: return "DIERR_NOTACQUIRED";
    default: return "Unknown";
  }
}
