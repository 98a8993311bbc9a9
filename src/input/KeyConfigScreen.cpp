#include "input/KeyConfigScreen.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <vector>

#include "input/KeyConfigModel.h"
#include "platform/diagnostics/Trace.h"
#include "platform/draw/Device.h"
#include "platform/headless/Clock.h"
#include "platform/headless/HeadlessPass.h"
#include "platform/text/Font.h"
#include "platform/text/TextCodec.h"
#include "platform/window/Window.h"

using platform::Device;
using platform::Window;

namespace input {
namespace {

constexpr uint32_t kBackground = 0xFF101830;
constexpr uint32_t kPanel = 0xFF1C2848;
constexpr uint32_t kCursor = 0xFF3858A8;
constexpr uint32_t kCapture = 0xFFA84830;
constexpr uint32_t kIdleWaitMs = 1000;  // a wait with nothing due still looks round once a second
constexpr uint32_t kText = 0xFFFFFFFF;
constexpr uint32_t kDim = 0xFFA0A8C0;
constexpr uint32_t kWarn = 0xFFFFC040;
constexpr int kRowTop = 76, kRowHeight = 28;
// The name column fits "キャンセルボタン（キー）"; the pad column two axes side by side.
constexpr int kColumnX[3] = {24, 234, 404};
constexpr int kColumnRight[3] = {230, 400, 616};
constexpr int kButtonWidth = 180;
constexpr int kButtonX[3] = {24, 230, 436};

// Text drawn from one font, each distinct string rasterised once.
class TextPainter {
 public:
  TextPainter(Device& device, std::unique_ptr<platform::Font> font) : device_(device), font_(std::move(font)) {}

  // Draws CP932 text with its top-left at (x, y), cut at maxWidth; returns its width.
  int Draw(const std::string& text, int x, int y, int maxWidth, uint32_t color) {
    const Entry& e = Get(text);
    if (!e.texture) return 0;
    int w = std::min(e.width, maxWidth);
    if (w <= 0) return 0;
    float u = float(w) / float(e.width);
    float l = float(x), t = float(y), r = l + float(w), b = t + float(e.height);
    platform::Vertex v[4] = {{l, t, 0, 1, color, 0, 0}, {r, t, 0, 1, color, u, 0},
                             {r, b, 0, 1, color, u, 1}, {l, b, 0, 1, color, 0, 1}};
    device_.DrawQuad(v, e.texture);
    return w;
  }
  int Width(const std::string& text) { return Get(text).width; }

 private:
  struct Entry {
    platform::TexturePtr texture;
    int width = 0, height = 0;
  };
  const Entry& Get(const std::string& text) {
    auto it = cache_.find(text);
    if (it != cache_.end()) return it->second;
    Entry e;
    platform::TextImage img;
    if (!text.empty() && font_->Render(platform::Cp932ToUtf8(text), img) && img.width > 0) {
      e.texture = device_.CreateTexture(img.width, img.height, img.argb.data());
      if (e.texture) {
        e.width = img.width;
        e.height = img.height;
      }
    }
    return cache_.emplace(text, std::move(e)).first->second;
  }
  Device& device_;
  std::unique_ptr<platform::Font> font_;
  std::map<std::string, Entry> cache_;
};

void FillRect(Device& device, int x, int y, int w, int h, uint32_t color) {
  float l = float(x), t = float(y), r = float(x + w), b = float(y + h);
  platform::Vertex v[4] = {{l, t, 0, 1, color, 0, 0}, {r, t, 0, 1, color, 1, 0},
                           {r, b, 0, 1, color, 1, 1}, {l, b, 0, 1, color, 0, 1}};
  device.DrawQuad(v, nullptr);
}

int ButtonRowTop(int actions) { return kRowTop + actions * kRowHeight + 12; }

// The cell under a game-area point, as KeyConfigModel counts rows and
// columns (column -1: an action's name); false between and outside cells.
bool CellAt(int x, int y, int actions, int& row, int& column) {
  if (y >= kRowTop && y < kRowTop + actions * kRowHeight && (y - kRowTop) % kRowHeight < kRowHeight - 4) {
    for (int c = 0; c < 3; ++c) {
      if (x < kColumnX[c] || x >= kColumnRight[c]) continue;
      row = (y - kRowTop) / kRowHeight;
      column = c - 1;
      return true;
    }
    return false;
  }
  const int by = ButtonRowTop(actions);
  if (y < by || y >= by + kRowHeight) return false;
  for (int b = 0; b < 3; ++b) {
    if (x < kButtonX[b] || x >= kButtonX[b] + kButtonWidth) continue;
    row = actions;
    column = b;
    return true;
  }
  return false;
}

std::string Join(const std::vector<std::string>& controls) {
  std::string out;
  for (const std::string& c : controls) {
    if (!out.empty()) out += "  ";
    out += ControlLabel(c);
  }
  return out;
}

void Draw(Device& device, TextPainter& text, const KeyConfigModel& model, const std::string& title, uint32_t now) {
  device.Clear(kBackground);
  text.Draw(title + SJ("　キー設定"), 24, 16, 592, kText);
  text.Draw(SJ("操作"), kColumnX[0] + 6, 50, 160, kDim);
  text.Draw(SJ("キーボード"), kColumnX[1] + 6, 50, 170, kDim);
  text.Draw(SJ("ゲームパッド"), kColumnX[2] + 6, 50, 230, kDim);

  const auto& actions = model.actions();
  const int n = static_cast<int>(actions.size());
  for (int i = 0; i < n; ++i) {
    int y = kRowTop + i * kRowHeight;
    for (int c = 0; c < 3; ++c) {
      uint32_t fill = kPanel;
      if (c > 0 && model.row() == i && model.column() == c - 1) fill = model.capturing() ? kCapture : kCursor;
      FillRect(device, kColumnX[c], y, kColumnRight[c] - kColumnX[c], kRowHeight - 4, fill);
    }
    const KeyConfigAction& a = actions[static_cast<size_t>(i)];
    int inner = kColumnRight[0] - kColumnX[0] - 12;
    text.Draw(a.name, kColumnX[0] + 6, y + 3, inner, kText);
    std::string keys = a.axis ? std::string("-") : Join(model.Controls(a.id, false));
    text.Draw(keys, kColumnX[1] + 6, y + 3, kColumnRight[1] - kColumnX[1] - 12, a.axis ? kDim : kText);
    text.Draw(Join(model.Controls(a.id, true)), kColumnX[2] + 6, y + 3, kColumnRight[2] - kColumnX[2] - 12, kText);
  }

  static const char* const kButtons[3] = {"初期設定に戻す", "OK", "キャンセル"};
  int by = ButtonRowTop(n);
  for (int b = 0; b < 3; ++b) {
    bool on = model.row() == n && model.column() == b;
    FillRect(device, kButtonX[b], by, kButtonWidth, kRowHeight, on ? kCursor : kPanel);
    const std::string& label = platform::Utf8ToCp932Lossy(kButtons[b]);
    int w = text.Width(label);
    text.Draw(label, kButtonX[b] + (kButtonWidth - w) / 2, by + 4, kButtonWidth, kText);
  }

  int hy = by + kRowHeight + 16;
  if (model.capturing()) {
    bool axis = actions[static_cast<size_t>(model.row())].axis;
    unsigned left = (model.captureLeftMs(now) + 999) / 1000;
    std::string ask = axis ? SJ("スティックか十字キーを動かしてください") : SJ("割り当てるキーかボタンを押してください");
    text.Draw(ask + SJ("（残り") + std::to_string(left) + SJ("秒）"), 24, hy, 592, kWarn);
  } else if (model.unboundWarning()) {
    text.Draw(SJ("割り当てのない操作があります。割り当ててからOKを選んでください"), 24, hy, 592, kWarn);
  } else {
    text.Draw(SJ("↑↓←→: 選択　Enter / A: 割り当て・決定　Delete / Y: 消去　Esc / B: キャンセル"), 24, hy, 592,
              kDim);
  }
  device.Present();
}

bool EndsModal(uint32_t msg) {
  return msg == platform::WM_CLOSE || msg == platform::WM_QUIT || msg == platform::WM_COMMAND;
}
}  // namespace

std::string ControlLabel(const std::string& control) {
  static const std::map<std::string, const char*> kLabels = {
      {"key:Left", "←"}, {"key:Right", "→"}, {"key:Up", "↑"}, {"key:Down", "↓"},
      {"pad:a", "A"}, {"pad:b", "B"}, {"pad:x", "X"}, {"pad:y", "Y"},
      {"pad:back", "BACK"}, {"pad:guide", "GUIDE"}, {"pad:start", "START"},
      {"pad:leftstick", "L3"}, {"pad:rightstick", "R3"}, {"pad:leftshoulder", "LB"}, {"pad:rightshoulder", "RB"},
      {"pad:dpup", "十字↑"}, {"pad:dpdown", "十字↓"}, {"pad:dpleft", "十字←"}, {"pad:dpright", "十字→"},
      {"pad:dpadx", "十字左右"}, {"pad:dpady", "十字上下"},
      {"pad:leftx", "左スティック左右"}, {"pad:lefty", "左スティック上下"},
      {"pad:rightx", "右スティック左右"}, {"pad:righty", "右スティック上下"},
      {"pad:leftx-", "左スティック←"}, {"pad:leftx+", "左スティック→"},
      {"pad:lefty-", "左スティック↑"}, {"pad:lefty+", "左スティック↓"},
      {"pad:rightx-", "右スティック←"}, {"pad:rightx+", "右スティック→"},
      {"pad:righty-", "右スティック↑"}, {"pad:righty+", "右スティック↓"},
      {"pad:lefttrigger+", "LT"}, {"pad:righttrigger+", "RT"},
  };
  auto it = kLabels.find(control);
  if (it != kLabels.end()) return platform::Utf8ToCp932Lossy(it->second);
  size_t colon = control.find(':');
  std::string name = colon == std::string::npos ? control : control.substr(colon + 1);
  if (control.compare(0, 4, "pad:") == 0)
    for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return name;  // key names are ASCII
}

std::vector<std::string> RowLabels(const DIACTIONFORMAT& format) {
  std::vector<std::string> labels;
  for (uint32_t i = 0; i < format.dwNumActions && format.rgoAction; ++i) labels.push_back(format.rgoAction[i].lptszActionName);
  for (uint32_t i = 0; i < labels.size(); ++i) {
    const std::string& name = format.rgoAction[i].lptszActionName;
    if (std::count_if(format.rgoAction, format.rgoAction + labels.size(),
                      [&](const DIACTION& a) { return a.lptszActionName == name; }) < 2)
      continue;
    // A keyboard semantic names the keyboard's own action; the others are
    // the game's, offered to pads and keys alike.
    const bool keyboard = (format.rgoAction[i].dwSemantic & 0xFF000000u) == 0x81000000u;
    labels[i] = name + (keyboard ? SJ("（キー）") : SJ("（共通）"));
  }
  return labels;
}

HRESULT ConfigureDevices(platform::InputSystem& system, const DICONFIGUREDEVICESPARAMS& params, uint32_t) {
  Window* window = params.hwnd;
  if (!window || params.dwcFormats != 1 || !params.lprgFormats) return E_INVALIDARG;
  const DIACTIONFORMAT& format = *params.lprgFormats;
  auto font = platform::OpenFont(SJ("ＭＳ Ｐゴシック"), 16, false, false);
  if (!font) return E_FAIL;

  platform::ActionMapSpec spec = ToActionMapSpec(format);
  std::vector<KeyConfigAction> actions;
  const std::vector<std::string> labels = RowLabels(format);
  for (uint32_t i = 0; i < format.dwNumActions && format.rgoAction; ++i) {
    const DIACTION& a = format.rgoAction[i];
    actions.push_back({a.uAppData, labels[i], platform::IsAxisSemantic(a.dwSemantic)});
  }
  if (actions.empty()) return E_INVALIDARG;
  KeyConfigModel model(spec, actions, system.GetBindings(spec));
  Device& device = window->GetDevice();
  TextPainter text(device, std::move(font));

  int provider = platform::trace::AddStateProvider([&model](std::string& members) {
    members += "\"keyconfig\":{\"row\":" + std::to_string(model.row()) + ",\"column\":" +
               std::to_string(model.column()) + ",\"capturing\":" + (model.capturing() ? "true" : "false") + "}";
  });
  platform::trace::Event("{\"type\":\"keyconfig\",\"event\":\"open\"}");
  system.SetRawCapture(true);
  // The pointer: only what happens while the screen is up, so a button held
  // since before it opened decides nothing here.
  std::vector<platform::Event> pointer;
  const int hook = Window::AddEventHook([&pointer](const platform::Event& e) {
    using Type = platform::Event::Type;
    if (e.type == Type::MouseMotion || e.type == Type::MouseDown) pointer.push_back(e);
  });

  // Window messages wait until the screen is gone; a close request or the
  // menu's quit ends the screen as Cancel, so the game then handles it.
  // Application messages (the music's end) are handled at once, so that the
  // music goes on looping behind the screen.
  std::vector<platform::Message> held;
  bool ended = false;
  while (model.outcome() == KeyConfigModel::Outcome::Open && !ended) {
    if (window->Headless() && !platform::HeadlessPass()) break;
    while (window->PeekMessage()) {
      platform::Message m;
      window->GetMessage(m);
      if (m.msg >= platform::WM_APP && window->Dispatch(m)) continue;
      if (m.msg == platform::WM_PAINT && !held.empty() && held.back().msg == platform::WM_PAINT) continue;
      held.push_back(m);
      if (EndsModal(m.msg)) ended = true;
    }
    uint32_t now = timeGetTime();
    for (const platform::RawPress& p : system.TakeRawPresses()) model.Press(p, now);
    for (const platform::Event& e : pointer) {
      int row = 0, column = 0;
      const bool onCell = CellAt(e.x, e.y, static_cast<int>(actions.size()), row, column);
      if (e.type == platform::Event::Type::MouseMotion) {
        if (onCell) model.PointAt(row, column);
      } else if (e.mouse == platform::MouseButton::Left) {
        if (onCell) model.Click(row, column, now);
      } else if (e.mouse == platform::MouseButton::Right && model.capturing()) {
        model.Click(-1, 0, now);  // gives the capture up
      }
    }
    pointer.clear();
    model.Tick(now);
    if (model.outcome() != KeyConfigModel::Outcome::Open || ended) break;
    Draw(device, text, model, format.tszActionMap, now);
    // Presses and posted messages wake the wait; the countdown is timed.
    if (!window->Headless()) window->WaitMessage(std::min(model.MsUntilDue(now), kIdleWaitMs));
  }

  Window::RemoveEventHook(hook);
  system.SetRawCapture(false);
  for (const platform::Message& m : held) window->PostMessage(m.msg, m.wParam, m.lParam);
  bool ok = model.outcome() == KeyConfigModel::Outcome::Ok;
  platform::trace::Event(std::string("{\"type\":\"keyconfig\",\"event\":\"close\",\"result\":\"") +
                         (ok ? "ok" : "cancel") + "\"}");
  platform::trace::RemoveStateProvider(provider);
  if (!ok) return S_OK;
  system.SetBindings(spec, model.bindings());
  return platform::SaveBindings(spec, model.bindings()) ? S_OK : E_FAIL;
}

}  // namespace input
