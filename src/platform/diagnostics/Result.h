#pragma once
// Result codes in the manner of HRESULT: 0 success, negative failure.
#include <cstdint>

using HRESULT = int32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_ACCESSDENIED = static_cast<HRESULT>(0x80070005u);
constexpr HRESULT D3DERR_INVALIDCALL = static_cast<HRESULT>(0x8876086Cu);
constexpr HRESULT D3DERR_NOTAVAILABLE = static_cast<HRESULT>(0x8876086Au);
constexpr HRESULT D3DXERR_INVALIDDATA = static_cast<HRESULT>(0x88760B59u);
constexpr HRESULT DMUS_E_LOADER_FAILEDOPEN = static_cast<HRESULT>(0x88781170u);
constexpr HRESULT DMUS_E_NOT_FOUND = static_cast<HRESULT>(0x88781193u);
constexpr HRESULT DIERR_INPUTLOST = static_cast<HRESULT>(0x8007001Eu);
constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000Cu);

inline bool FAILED(HRESULT hr) { return hr < 0; }
inline bool SUCCEEDED(HRESULT hr) { return hr >= 0; }

// The symbolic name of a code, as the DirectX and Windows headers spell it,
// or "Unknown".
const char* ResultName(HRESULT hr);
