#include "platform/input/InputBindings.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/diagnostics/Debug.h"
#include "platform/files/Files.h"
#include "platform/text/TextCodec.h"

namespace platform {
namespace {

constexpr std::string_view kHeader = "vantorel-bindings 1";
constexpr size_t kMaxFileBytes = file_caps::kBindings;
constexpr size_t kMaxBindings = 1024;

// DirectInput keyboard scan codes (DIK_*) to SDL scancodes, for keyboard
// semantics (0x810004xx: the low byte is the DIK code).
struct DikEntry {
  uint8_t dik;
  SDL_Scancode sc;
};
constexpr DikEntry kDik[] = {
    {0x01, SDL_SCANCODE_ESCAPE},  {0x02, SDL_SCANCODE_1},          {0x03, SDL_SCANCODE_2},
    {0x04, SDL_SCANCODE_3},       {0x05, SDL_SCANCODE_4},          {0x06, SDL_SCANCODE_5},
    {0x07, SDL_SCANCODE_6},       {0x08, SDL_SCANCODE_7},          {0x09, SDL_SCANCODE_8},
    {0x0A, SDL_SCANCODE_9},       {0x0B, SDL_SCANCODE_0},          {0x0C, SDL_SCANCODE_MINUS},
    {0x0D, SDL_SCANCODE_EQUALS},  {0x0E, SDL_SCANCODE_BACKSPACE},  {0x0F, SDL_SCANCODE_TAB},
    {0x10, SDL_SCANCODE_Q},       {0x11, SDL_SCANCODE_W},          {0x12, SDL_SCANCODE_E},
    {0x13, SDL_SCANCODE_R},       {0x14, SDL_SCANCODE_T},          {0x15, SDL_SCANCODE_Y},
    {0x16, SDL_SCANCODE_U},       {0x17, SDL_SCANCODE_I},          {0x18, SDL_SCANCODE_O},
    {0x19, SDL_SCANCODE_P},       {0x1A, SDL_SCANCODE_LEFTBRACKET}, {0x1B, SDL_SCANCODE_RIGHTBRACKET},
    {0x1C, SDL_SCANCODE_RETURN},  {0x1D, SDL_SCANCODE_LCTRL},      {0x1E, SDL_SCANCODE_A},
    {0x1F, SDL_SCANCODE_S},       {0x20, SDL_SCANCODE_D},          {0x21, SDL_SCANCODE_F},
    {0x22, SDL_SCANCODE_G},       {0x23, SDL_SCANCODE_H},          {0x24, SDL_SCANCODE_J},
    {0x25, SDL_SCANCODE_K},       {0x26, SDL_SCANCODE_L},          {0x27, SDL_SCANCODE_SEMICOLON},
    {0x28, SDL_SCANCODE_APOSTROPHE}, {0x29, SDL_SCANCODE_GRAVE},   {0x2A, SDL_SCANCODE_LSHIFT},
    {0x2B, SDL_SCANCODE_BACKSLASH}, {0x2C, SDL_SCANCODE_Z},        {0x2D, SDL_SCANCODE_X},
    {0x2E, SDL_SCANCODE_C},       {0x2F, SDL_SCANCODE_V},          {0x30, SDL_SCANCODE_B},
    {0x31, SDL_SCANCODE_N},       {0x32, SDL_SCANCODE_M},          {0x33, SDL_SCANCODE_COMMA},
    {0x34, SDL_SCANCODE_PERIOD},  {0x35, SDL_SCANCODE_SLASH},      {0x36, SDL_SCANCODE_RSHIFT},
    {0x37, SDL_SCANCODE_KP_MULTIPLY}, {0x38, SDL_SCANCODE_LALT},   {0x39, SDL_SCANCODE_SPACE},
    {0x3A, SDL_SCANCODE_CAPSLOCK}, {0x3B, SDL_SCANCODE_F1},        {0x3C, SDL_SCANCODE_F2},
    {0x3D, SDL_SCANCODE_F3},      {0x3E, SDL_SCANCODE_F4},         {0x3F, SDL_SCANCODE_F5},
    {0x40, SDL_SCANCODE_F6},      {0x41, SDL_SCANCODE_F7},         {0x42, SDL_SCANCODE_F8},
    {0x43, SDL_SCANCODE_F9},      {0x44, SDL_SCANCODE_F10},        {0x45, SDL_SCANCODE_NUMLOCKCLEAR},
    {0x46, SDL_SCANCODE_SCROLLLOCK}, {0x47, SDL_SCANCODE_KP_7},    {0x48, SDL_SCANCODE_KP_8},
    {0x49, SDL_SCANCODE_KP_9},    {0x4A, SDL_SCANCODE_KP_MINUS},   {0x4B, SDL_SCANCODE_KP_4},
    {0x4C, SDL_SCANCODE_KP_5},    {0x4D, SDL_SCANCODE_KP_6},       {0x4E, SDL_SCANCODE_KP_PLUS},
    {0x4F, SDL_SCANCODE_KP_1},    {0x50, SDL_SCANCODE_KP_2},       {0x51, SDL_SCANCODE_KP_3},
    {0x52, SDL_SCANCODE_KP_0},    {0x53, SDL_SCANCODE_KP_PERIOD},  {0x57, SDL_SCANCODE_F11},
    {0x58, SDL_SCANCODE_F12},     {0x9C, SDL_SCANCODE_KP_ENTER},   {0x9D, SDL_SCANCODE_RCTRL},
    {0xB5, SDL_SCANCODE_KP_DIVIDE}, {0xB8, SDL_SCANCODE_RALT},     {0xC7, SDL_SCANCODE_HOME},
    {0xC8, SDL_SCANCODE_UP},      {0xC9, SDL_SCANCODE_PAGEUP},     {0xCB, SDL_SCANCODE_LEFT},
    {0xCD, SDL_SCANCODE_RIGHT},   {0xCF, SDL_SCANCODE_END},        {0xD0, SDL_SCANCODE_DOWN},
    {0xD1, SDL_SCANCODE_PAGEDOWN}, {0xD2, SDL_SCANCODE_INSERT},    {0xD3, SDL_SCANCODE_DELETE},
};

std::string KeyControl(SDL_Scancode sc) { return std::string("key:") + SDL_GetScancodeName(sc); }

bool IsAxisName(std::string_view n) {
  return n == "leftx" || n == "lefty" || n == "rightx" || n == "righty" || n == "dpadx" || n == "dpady";
}
bool IsTriggerName(std::string_view n) { return n == "lefttrigger" || n == "righttrigger"; }

// "pad:dpleft" belongs to "pad:dpadx"; a direction "pad:leftx-" to "pad:leftx".
std::string AxisOf(std::string_view control) {
  if (control == "pad:dpleft" || control == "pad:dpright") return "pad:dpadx";
  if (control == "pad:dpup" || control == "pad:dpdown") return "pad:dpady";
  if (control.size() > 5 && (control.back() == '-' || control.back() == '+'))
    return std::string(control.substr(0, control.size() - 1));
  return std::string();
}

bool KnownAction(const ActionMapSpec& spec, uint32_t action) {
  return std::any_of(spec.actions.begin(), spec.actions.end(),
                     [&](const ActionSpec& a) { return a.appData == action; });
}

void Add(Bindings& b, uint32_t action, std::string control) { b.push_back({action, std::move(control)}); }

bool ParseUnsigned(std::string_view word, uint32_t& value) {
  if (word.empty() || word.size() > 9) return false;
  value = 0;
  for (char c : word) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint32_t>(c - '0');
  }
  return true;
}

// False when there is no file to read; a refused one is reported.
bool ReadHostFile(const std::string& path, std::string& text) {
  const FileRead read = ReadRegularFile(path, text, kMaxFileBytes);
  if (read == FileRead::kNotRegular || read == FileRead::kTooLarge)
    ReportRefusedFile(Utf8ToCp932Lossy(path), read, kMaxFileBytes);
  return read == FileRead::kRead;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}
}  // namespace

bool IsAxisSemantic(uint32_t semantic) { return (semantic & 0x600u) == 0x200u; }

ControlInfo ParseControl(std::string_view control) {
  ControlInfo info;
  if (control.size() > 64) return info;
  if (control.substr(0, 4) == "key:") {
    std::string name(control.substr(4));
    if (name.empty()) return info;
    std::replace(name.begin(), name.end(), '_', ' ');
    SDL_Scancode sc = SDL_GetScancodeFromName(name.c_str());
    if (sc == SDL_SCANCODE_UNKNOWN) return info;
    info.kind = ControlKind::Key;
    info.name = KeyControl(sc);
    return info;
  }
  if (control.substr(0, 4) != "pad:") return info;
  std::string name(control.substr(4));
  if (name.empty()) return info;
  char sign = name.back();
  if (sign == '-' || sign == '+') {
    std::string axis = name.substr(0, name.size() - 1);
    bool valid = (IsAxisName(axis) && axis.substr(0, 4) != "dpad") || (IsTriggerName(axis) && sign == '+');
    if (!valid) return info;
    info.kind = ControlKind::PadDirection;
  } else if (IsAxisName(name)) {
    info.kind = ControlKind::PadAxis;
  } else {
    SDL_GameControllerButton b = SDL_GameControllerGetButtonFromString(name.c_str());
    if (b == SDL_CONTROLLER_BUTTON_INVALID) return info;
    name = SDL_GameControllerGetStringForButton(b);
    info.kind = ControlKind::PadButton;
  }
  info.name = "pad:" + name;
  return info;
}

bool ControlSuits(ControlKind kind, bool axisAction) {
  if (kind == ControlKind::Invalid) return false;
  return axisAction ? kind == ControlKind::PadAxis : kind != ControlKind::PadAxis;
}

bool ControlsOverlap(std::string_view a, std::string_view b) {
  if (a == b) return true;
  std::string axisA = AxisOf(a), axisB = AxisOf(b);
  return (!axisA.empty() && axisA == b) || (!axisB.empty() && axisB == a);
}

bool IsAxisAction(const ActionMapSpec& spec, uint32_t action) {
  for (const ActionSpec& a : spec.actions)
    if (a.appData == action) return IsAxisSemantic(a.semantic);
  return false;
}

bool AddBinding(Bindings& bindings, const ActionMapSpec& spec, uint32_t action, std::string_view control) {
  if (!KnownAction(spec, action)) return false;
  ControlInfo info = ParseControl(control);
  if (!ControlSuits(info.kind, IsAxisAction(spec, action))) return false;
  bindings.erase(std::remove_if(bindings.begin(), bindings.end(),
                                [&](const Binding& b) { return ControlsOverlap(b.control, info.name); }),
                 bindings.end());
  bindings.push_back({action, info.name});
  return true;
}

Bindings DefaultBindings(const ActionMapSpec& spec) {
  Bindings out;
  for (const ActionSpec& a : spec.actions) {
    uint32_t s = a.semantic;
    if ((s & 0xFF000000u) == 0x81000000u) {  // a keyboard key
      for (const DikEntry& e : kDik)
        if (e.dik == (s & 0xFFu)) Add(out, a.appData, KeyControl(e.sc));
      continue;
    }
    if ((s & 0xFF000000u) == 0 || (s & 0xFF000000u) >= 0x80000000u) continue;  // not a genre semantic
    if (IsAxisSemantic(s)) {
      uint32_t which = s & 0x000FF000u;  // the axis the genre puts it on
      if (which == 0x8000u) {
        Add(out, a.appData, "pad:leftx");
        Add(out, a.appData, "pad:dpadx");
      } else if (which == 0x10000u) {
        Add(out, a.appData, "pad:lefty");
        Add(out, a.appData, "pad:dpady");
      }
    } else if ((s & 0x600u) == 0x400u) {
      switch (s & 0xFFu) {
        case 1:  // fire
          Add(out, a.appData, "pad:a");
          Add(out, a.appData, "key:Return");
          Add(out, a.appData, "key:Z");
          break;
        case 3:  // target
          Add(out, a.appData, "pad:x");
          Add(out, a.appData, "key:Escape");
          Add(out, a.appData, "key:X");
          break;
        default:
          break;
      }
    }
  }
  return out;
}

std::string SerializeBindings(const ActionMapSpec& spec, const Bindings& bindings) {
  std::string out = "# Vantorel key bindings. Lines: ACTION-ID CONTROL\n";
  out += kHeader;
  out += "\nmap ";
  out += spec.guid;
  out += '\n';
  for (const Binding& b : bindings) out += std::to_string(b.action) + ' ' + b.control + '\n';
  return out;
}

bool ParseBindings(std::string_view text, const ActionMapSpec& spec, Bindings& out, std::string& error) {
  out.clear();
  if (text.size() > kMaxFileBytes) {
    error = "file too large";
    return false;
  }
  int stage = 0;  // 0: header expected, 1: map line expected, 2: bindings
  int number = 0;
  Bindings result;
  while (!text.empty()) {
    size_t nl = text.find('\n');
    std::string_view line = Trim(text.substr(0, nl));
    text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    ++number;
    if (line.empty() || line.front() == '#') continue;
    auto fail = [&](const std::string& why) {
      error = "line " + std::to_string(number) + ": " + why;
      return false;
    };
    if (stage == 0) {
      if (line != kHeader) return fail("not a bindings file");
      stage = 1;
      continue;
    }
    if (stage == 1) {
      if (line.substr(0, 4) != "map " || Trim(line.substr(4)) != spec.guid) return fail("another action map");
      stage = 2;
      continue;
    }
    size_t space = line.find_first_of(" \t");
    if (space == std::string_view::npos) return fail("expected an action id and a control");
    uint32_t action = 0;
    if (!ParseUnsigned(line.substr(0, space), action) || !KnownAction(spec, action))
      return fail("unknown action");
    ControlInfo info = ParseControl(Trim(line.substr(space + 1)));
    if (!ControlSuits(info.kind, IsAxisAction(spec, action))) return fail("control does not suit the action");
    for (const Binding& b : result)
      if (ControlsOverlap(b.control, info.name)) return fail("control bound twice");
    if (result.size() >= kMaxBindings) return fail("too many bindings");
    result.push_back({action, info.name});
  }
  if (stage != 2) {
    error = "incomplete file";
    return false;
  }
  out = std::move(result);
  return true;
}

std::string ConfigDirectory() { return VantorelHome("XDG_CONFIG_HOME", ".config"); }

std::string BindingsFilePath(const ActionMapSpec& spec) {
  std::string dir = ConfigDirectory();
  if (dir.empty() || spec.guid.empty()) return std::string();
  return dir + "/" + spec.guid + ".bindings";
}

bool LoadBindings(const ActionMapSpec& spec, Bindings& out) {
  std::string path = BindingsFilePath(spec);
  std::string text, error = "no configuration directory";
  if (!path.empty()) {
    if (!ReadHostFile(path, text)) {
      error = "no saved bindings";
    } else if (ParseBindings(text, spec, out, error)) {
      return true;
    }
  }
  OutputDebugString("Input: " + error + " (" + Utf8ToCp932Lossy(path) + "), using the default bindings");
  out = DefaultBindings(spec);
  return false;
}

bool SaveBindings(const ActionMapSpec& spec, const Bindings& bindings) {
  std::string path = BindingsFilePath(spec);
  if (path.empty() || !MakeHostDirs(ConfigDirectory())) return false;
  return WriteHostFileAtomic(path, SerializeBindings(spec, bindings));
}

}  // namespace platform
