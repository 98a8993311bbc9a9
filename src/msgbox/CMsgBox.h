#pragma once
// CMsgBox: the message window and the script interpreter in one object. The
// window side (set-up, layout, typewriter, drawing, cursor) lives in
// MsgBoxWindow.cpp, the interpreter machinery in MsgBoxInterpreter.cpp, the
// keyword table and the picture commands in MsgBoxCommands.cpp, menus in
// MsgBoxMenus.cpp, save data in MsgBoxSaveData.cpp, fades in MsgBoxFades.cpp,
// the bounds on what one player action may set off in MsgBoxActions.cpp and
// the headless trace in MsgBoxTrace.cpp. All strings are CP932 bytes.
#include <array>
#include <cstdint>
#include <ctime>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "msgbox/Devices.h"
#include "msgbox/Fades.h"
#include "msgbox/Interpreter.h"
#include "msgbox/Menus.h"
#include "msgbox/MessageWindow.h"
#include "msgbox/MsgBoxLayout.h"
#include "msgbox/SaveData.h"
#include "platform/diagnostics/Result.h"
#include "script/Keywords.h"

class CTextFile;
class CInput;
class CDSMusic;
class CDMMusic;
class CPolygon;
class CAnimPolygon;
class TextFont;
struct ButtonMenuItem;
struct FontMenuItem;

// Step results besides S_OK and E_FAIL.
constexpr HRESULT GameEndResult = -1;
constexpr HRESULT BattleResult = 10000;
constexpr HRESULT MapResult = 20000;

using msgbox::SaveSlot;

class CMsgBox {
 public:
  CMsgBox();
  ~CMsgBox();
  CMsgBox(const CMsgBox&) = delete;
  CMsgBox& operator=(const CMsgBox&) = delete;

  // --- window (MsgBoxWindow.cpp) ---
  HRESULT Init(CTextFile* textFile, CInput* input, int32_t* inputState, CDSMusic* bgmPlayer,
               CDMMusic* soundPlayer, const std::string& faceName, int pointSize, int flags);
  HRESULT SetLayout(MsgBoxLayout l);
  HRESULT FrameMove();
  HRESULT Render();
  void DeleteObjects();

  // --- interpreter (MsgBoxInterpreter.cpp) ---
  HRESULT StartScript(std::string name);
  HRESULT OpenScript(std::string name);
  HRESULT Step();
  HRESULT StepIfIdle();
  HRESULT NextWord();
  bool ReplaceVariable(std::string& word) const;
  bool AssignVariable(const std::string& value, const std::string& name);

  // True while the script stands at a LoadMenu whose load screen is open:
  // the step that reached it failed on purpose, so that the frame loop opens
  // the script again, which then waits at the screen (MsgBoxActions.cpp).
  bool LoadScreenOpened() const;
  // Scripts one player action may start before the chain is cut: the last
  // one then only opens and waits for the player at its first word.
  static constexpr int kMaxChainedStarts = 32;

  // The script the frame loop starts whenever a step fails; one per process.
  static std::string currentScriptName;

  // --- menus (MsgBoxMenus.cpp) ---
  void ButtonMenuPrev();
  void ButtonMenuNext();
  void FontMenuPrev();
  void FontMenuNext();
  int32_t ButtonMenuDecide();
  int32_t FontMenuDecide();
  // Read one block from the current word ("{") and lay its items out.
  HRESULT ReadButtonMenu();
  HRESULT ReadLeftButtonMenu();
  HRESULT ReadFontMenu();

  // --- save data and the save/load screen (MsgBoxSaveData.cpp) ---
  void Save(std::string resumeScript, std::string saveName);
  void Load(std::string saveName);
  // The local time a save records; tests fix it. Null: the system clock.
  static void (*saveClock)(std::tm& now);

  // --- fades (MsgBoxFades.cpp) ---
  void StepImageFade();
  int32_t StepMusicFade();

  // --- what the roles hold, read-only ---
  const msgbox::Interpreter& Script() const { return script_; }
  const msgbox::MessageWindow& Window() const { return window_; }
  const msgbox::ButtonMenu& Buttons() const { return buttons_; }
  const msgbox::FontMenu& TextMenu() const { return fontMenu_; }
  const msgbox::SaveData& Saves() const { return saves_; }
  const msgbox::Fades& Fading() const { return fades_; }
  const msgbox::Devices& Attached() const { return devices_; }

  // --- seams for tests, benchmarks and fuzzers (MsgBoxTestSeams.cpp) ---
  // Each sets what a script, a save or set-up would otherwise set.
  void UseTextFile(CTextFile* file) { script_.textFile = file; }
  void UseMusicPlayer(CDSMusic* player) { devices_.bgmPlayer = player; }
  void SetVariable(const std::string& name, const std::string& value) { script_.variables[name] = value; }
  void SetIntVariable(const std::string& name, int32_t value) { script_.intVars[name] = value; }
  void ClearVariables() { script_.variables.clear(); }
  void ClearIntVariables() { script_.intVars.clear(); }
  void SetTextureAlias(const std::string& alias, const std::string& file) { script_.textureAliases[alias] = file; }
  // Runs these words from the first, as if a script holding them had just
  // opened, but without the file and without blanking the pictures.
  void ReplaceWords(std::vector<std::string> words);
  // What holds the script (Step does nothing while one is on) or lets the
  // window type and show its cursor.
  enum class Hold : uint8_t { ButtonMenu, FontMenu, ImageFade, MusicFade, Running, Typing };
  void ForceHold(Hold what, bool on);
  void InsertButtonItem(std::unique_ptr<ButtonMenuItem> item);
  void SetFontItemSelectable(int32_t id, bool selectable);
  // The save (saving) or load screen as SaveMenu and LoadMenu open it,
  // with the other mode cleared.
  void OpenSaveLoadScreen(bool saving, std::string argument);

 private:
  // What a keyword's handler tells the pass: go on with the next keyword
  // (it moved past its words), treat the word as no command, or end the step.
  struct Outcome {
    enum Kind : uint8_t { Next, NotMatched, Return } kind;
    HRESULT result;
  };
  static Outcome Next() { return {Outcome::Next, S_OK}; }
  static Outcome NotMatched() { return {Outcome::NotMatched, S_OK}; }
  static Outcome Return(HRESULT hr) { return {Outcome::Return, hr}; }

  using Handler = Outcome (CMsgBox::*)();
  // The handler of each row of script::Keywords() (MsgBoxCommands.cpp).
  static const std::array<Handler, script::kCommandCount>& Handlers();

  HRESULT RunStep();
  // Runs the keyword rows once over the current word and what follows it.
  Outcome RunPass(bool& matched);
  HRESULT TextWord();
  // The argument after the current word; the caller has checked it exists.
  const std::string& NextArgument() { return script_.words[++script_.position]; }
  // Moves past a command's last word: Next, or the end of the script.
  Outcome Finish();
  Outcome EndOfWords();
  void SetMessage(const std::string& text);

  // Interpreter commands (MsgBoxInterpreter.cpp).
  Outcome CmdBattle();
  Outcome CmdMap();
  Outcome CmdNextScriptFile();
  Outcome CmdGameEnd();
  Outcome CmdAssign();
  Outcome CmdGoto();
  Outcome CmdString();

  // Command set (MsgBoxCommands.cpp).
  Outcome CmdKeyConfig();
  Outcome CmdFadeIn();
  Outcome CmdFadeOut();
  Outcome CmdMidiLoad();
  Outcome CmdSeLoad();
  Outcome CmdMidiPlay();
  Outcome CmdSePlay();
  Outcome CmdTexLoad();
  Outcome CmdTexUnload();
  Outcome CmdSaveMenu();
  Outcome CmdLoadMenu();
  Outcome CmdSave();
  Outcome CmdLoad();
  Outcome CmdTexture();
  Outcome CmdBG();
  Outcome CmdRight();
  Outcome CmdCenter();
  Outcome CmdWideCenter();
  Outcome CmdLeft();
  Outcome CmdClear();
  Outcome SetPicture(CPolygon* sprite);
  Outcome SkipArguments(int count);

  // Fades (MsgBoxFades.cpp).
  Outcome StartFade(bool in);

  // Menu blocks (MsgBoxMenus.cpp).
  Outcome CmdFontMenu();
  Outcome CmdButtonMenu();
  Outcome OpenMenu(bool buttonMenu);
  template <class Item>
  HRESULT ReadMenuBlock(std::map<int32_t, std::unique_ptr<Item>>& items, int32_t& columns, int32_t& rows,
                        const char* missingItemsMessage);
  void LayOutButtons(float left, float top, float cellW, float cellH);
  void LayOutFontItems();
  void AppendMenuTrace(std::string& out) const;

  // Save data (MsgBoxSaveData.cpp).
  void OpenSaveLoadScreen(std::string argument);
  void InitSaveSlots();
  void ReadSaveSlot(SaveSlot& slot);

  // Trace (MsgBoxTrace.cpp).
  void RegisterTrace();
  void UnregisterTrace();
  void TraceState(std::string& members) const;
  static void TraceStep(HRESULT result);
  static void TraceOpen(const std::string& name, HRESULT result);
  int traceId_ = 0;

  msgbox::Interpreter script_;
  msgbox::MessageWindow window_;
  msgbox::ButtonMenu buttons_;
  msgbox::FontMenu fontMenu_;
  msgbox::SaveData saves_;
  msgbox::Fades fades_;
  msgbox::Devices devices_;
  msgbox::ActionBounds action_;

  // Player actions (MsgBoxActions.cpp). An action is one call of the frame
  // loop into the interpreter (a decision, a step, a script start) with all
  // it leads to: jumps, loads, and the steps of fades that end meanwhile.
  enum class ActionKind : uint8_t { New, AfterLastingFade, Continued };
  class ActionScope {
   public:
    ActionScope(CMsgBox& box, ActionKind kind);
    ~ActionScope();
    ActionScope(const ActionScope&) = delete;
    ActionScope& operator=(const ActionScope&) = delete;

   private:
    CMsgBox& box_;
  };
  HRESULT StepIn(ActionKind kind);
  // The step a fade makes when it ends. A fade that took its time was a
  // pause the player saw; one with nothing to fade ended at once.
  void StepAfterFade(bool lasted);
  // Counts a script start; false when the chain is to be cut here.
  bool MayStartScript(const std::string& name);
};
