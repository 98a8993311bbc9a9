#pragma once
// CMsgBox: the message window and the script interpreter in one object, as
// the game shell and the keyword handlers see it. Each role keeps its state
// private in a class of its own and is handed only what it needs:
//   Interpreter.h    the open script, its words and position, variables, aliases
//   MessageWindow.h  the window's sprites, the message and its typewriter
//   ButtonMenu.h     the button menu;  FontMenu.h  the font menu
//   SaveData.h       saves and the save/load screen (shown in the font menu)
//   Fades.h          the picture and music fades
//   ActionBounds.h   what one player action may set off
//   Devices.h        the sound players, input unit and action states it is given
//   DeviceCalls.h    the calls the roles make into those devices
// CMsgBox's own code: set-up, the logic step and drawing in CMsgBox.cpp; the
// step loop and the machinery's commands in MsgBoxStep.cpp; the keyword
// dispatch and picture commands in MsgBoxCommands.cpp; the other keyword
// handlers beside the role they drive (MsgBoxMenuCommands.cpp,
// MsgBoxSaveCommands.cpp, MsgBoxFades.cpp, MsgBoxSoundCommands.cpp,
// MsgBoxKeyConfigCommand.cpp); action scopes in MsgBoxActions.cpp; the
// headless trace in MsgBoxTrace.cpp and MsgBoxMenuTrace.cpp; reading the
// open script again after an edit in MsgBoxReload.cpp; the seams for the
// pointer and fast-forwarding in MsgBoxSeams.cpp; the test seams in
// MsgBoxTestSeams.cpp. All strings are CP932 bytes.
#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "msgbox/ActionBounds.h"
#include "msgbox/ButtonMenu.h"
#include "msgbox/Devices.h"
#include "msgbox/Fades.h"
#include "msgbox/FontMenu.h"
#include "msgbox/Interpreter.h"
#include "msgbox/MessageWindow.h"
#include "msgbox/MsgBoxLayout.h"
#include "msgbox/SaveData.h"
#include "msgbox/Translation.h"
#include "msgbox/Snapshot.h"
#include "platform/diagnostics/Result.h"
#include "script/Keywords.h"

class CTextFile;
class CInput;
class CDSMusic;
class CDMMusic;
class CPolygon;
struct ButtonMenuItem;
struct FontMenuItem;

// Step results besides S_OK and E_FAIL.
constexpr HRESULT GameEndResult = -1;
constexpr HRESULT BattleResult = 10000;
constexpr HRESULT MapResult = 20000;

class CMsgBox {
 public:
  CMsgBox();
  ~CMsgBox();
  CMsgBox(const CMsgBox&) = delete;
  CMsgBox& operator=(const CMsgBox&) = delete;

  // --- set-up, the logic step and drawing (CMsgBox.cpp) ---
  HRESULT Init(CTextFile* textFile, CInput* input, int32_t* inputState, CDSMusic* bgmPlayer,
               CDMMusic* soundPlayer, const std::string& faceName, int pointSize, int flags);
  HRESULT SetLayout(MsgBoxLayout l);
  HRESULT FrameMove();
  // Seconds from `now` until FrameMove next changes anything (framework/
  // DueTime.h): at once while typing or fading, the cursor's next frame
  // while a finished message waits, never while only input can move it.
  double SecondsUntilDue(double now) const;
  HRESULT Render();
  void DeleteObjects();

  // --- the interpreter (MsgBoxStep.cpp) ---
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
  static constexpr int kMaxChainedStarts = msgbox::ActionBounds::kMaxChainedStarts;

  // The script the frame loop starts whenever a step fails; one per process.
  static inline std::string& currentScriptName = msgbox::Interpreter::currentScriptName;

  // --- reading the open script again after an edit (MsgBoxReload.cpp) ---
  enum class Reload : uint8_t {
    Done,        // new words, stepped again from `landing` to its message
    Held,        // a menu or a fade holds the script: try again later
    Unreadable,  // missing or without words: the old words stay
  };
  // Keeps variables, pictures and music; only the words and the position
  // change, and the message is shown anew.
  Reload ReloadScript(size_t& landing);
  // The open script's name below the text directory, as the engine names it.
  std::string OpenScriptName() const;

  // --- menus (MsgBoxMenuCommands.cpp) ---
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

  // --- save data and the save/load screen (MsgBoxSaveCommands.cpp) ---
  void Save(std::string resumeScript, std::string saveName);
  void Load(std::string saveName);
  // The local time a save records; tests fix it. Null: the system clock.
  static inline void (*&saveClock)(std::tm& now) = msgbox::SaveData::saveClock;

  // --- fades (MsgBoxFades.cpp) ---
  void StepImageFade();
  int32_t StepMusicFade();

  // --- snapshots of the game at a wait point (MsgBoxSnapshot.cpp) ---
  // A message typed to its end or a menu (or the save/load screen) open,
  // and no fade running: what a snapshot may be taken at.
  bool AtWaitPoint() const;
  // `previous` (an earlier snapshot of this box) lends what did not change.
  void TakeSnapshot(msgbox::Snapshot& s, const msgbox::Snapshot* previous = nullptr) const;
  // How the music comes back. Continue (rolling back and forward): a piece
  // that still plays goes on undisturbed, since jumping back within it at
  // every message would stutter; another piece starts at the place it stood
  // at. AtPlace (a load): the piece stands at its place whatever played.
  enum class MusicReturn : uint8_t { Continue, AtPlace };
  // Gives the state back as taken: no script runs, no sound effect plays,
  // no file is written.
  void RestoreSnapshot(const msgbox::Snapshot& s, MusicReturn music = MusicReturn::Continue);

  // --- what the roles hold, read-only ---
  const msgbox::Interpreter& Script() const { return script_; }
  const msgbox::MessageWindow& Window() const { return window_; }
  const msgbox::ButtonMenu& Buttons() const { return buttons_; }
  const msgbox::FontMenu& TextMenu() const { return fontMenu_; }
  const msgbox::SaveData& Saves() const { return saves_; }
  const msgbox::Fades& Fading() const { return fades_; }
  const msgbox::Devices& Attached() const { return devices_; }

  // --- seams for what drives the game besides the script's own input
  // (the pointer, fast-forwarding, a record of messages; MsgBoxSeams.cpp) ---
  struct ShownMessage {
    std::string speaker;  // the label the message begins with ("名前："), or empty
    std::string text;     // the rows as typed, row breaks kept, without the label
    std::string script;   // the open script, as OpenScriptName names it
    size_t word = 0;      // the position of the text word in it
    // What a translation knows the message by: the text word as the script
    // gives it, and the script and position of the word that gave the
    // label (labelWord npos: no label, or one from before this script).
    std::string original;
    std::string labelScript;
    size_t labelWord = static_cast<size_t>(-1);
  };
  // Told of every message a text word shows, as it is set.
  void SetMessageObserver(std::function<void(const ShownMessage&)> observer) {
    messageObserver_ = std::move(observer);
  }
  // Told when a save has been loaded.
  void SetLoadObserver(std::function<void()> observer) { loadObserver_ = std::move(observer); }
  bool MenuOpen() const { return buttons_.ButtonMenuActive() || fontMenu_.MenuActive(); }
  // Counts every opening of a menu or the save/load screen: a decide held
  // since before one opened is told from a press made while it is up.
  uint64_t MenuOpenings() const { return buttons_.Openings() + fontMenu_.Openings(); }
  // The id of the open menu's item (a button, or a selectable text item) at
  // a game-area point; false when none is there or no menu is open.
  bool MenuItemAt(float x, float y, int32_t& id) const;
  // Moves the open menu's cursor to that item, with the cursor sound.
  void MoveMenuCursorTo(int32_t id);
  // The whole message at once, as if typed to its end.
  void ShowWholeMessage() { window_.TypeAll(); }
  // Running fades jump to their end values and end on the next step.
  void FinishFadesNow() { fades_.FinishNow(devices_.bgmPlayer); }
  // Logic steps per character typed (1: one a step, as scripts expect);
  // 0 shows every message whole at once.
  void SetTypingPace(int32_t stepsPerCharacter) { typingPace_ = stepsPerCharacter < 0 ? 1 : stepsPerCharacter; }
  // Only the background and standing pictures are drawn while hidden.
  void SetChromeHidden(bool hidden) { chromeHidden_ = hidden; }
  bool ChromeHidden() const { return chromeHidden_; }

  // --- a translation of the game's texts (MsgBoxTranslation.cpp) ---
  // From now on messages, speaker labels, text-menu items and the
  // save/load screen show in the translation, starting with the message
  // and the menu on screen; null: the original again, as it always was.
  void SetTranslation(std::shared_ptr<const msgbox::Translation> translation);
  const msgbox::Translation* CurrentTranslation() const { return translation_.get(); }
  // The word the message on screen takes its text from (after its speaker
  // word, if it has one): where a translation's entry for it is.
  size_t MessageTextWord() const { return textOrigin_.word; }
  // The speaker label as shown: the translation's (UTF-8) while one is
  // in force.
  const std::string& ShownLabel() const { return shownLabel_; }

  // --- seams for tests, benchmarks and fuzzers (MsgBoxTestSeams.cpp) ---
  // Each sets what a script, a save or set-up would otherwise set.
  void UseTextFile(CTextFile* file) { script_.UseTextFile(file); }
  void UseMusicPlayer(CDSMusic* player) { devices_.bgmPlayer = player; }
  void SetVariable(const std::string& name, const std::string& value) { script_.SetVariable(name, value); }
  void SetIntVariable(const std::string& name, int32_t value) { script_.SetIntVariable(name, value); }
  void ClearVariables() { script_.ClearVariables(); }
  void ClearIntVariables() { script_.ClearIntVariables(); }
  void SetTextureAlias(const std::string& alias, const std::string& file) { script_.SetTextureAlias(alias, file); }
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
  void NotifyMessageShown();
  // Where the message on screen came from, to show it again in another language.
  // The open script's name when the word was met, the word, and (CP932)
  // the label the speaker word gave or the text word.
  using TextOrigin = msgbox::TextPlace;
  TextOrigin speakerOrigin_, textOrigin_;
  std::string menuScript_;  // the script whose text menu is open
  std::shared_ptr<const msgbox::Translation> translation_;
  std::string shownLabel_;
  // The message as the translation shows it: label and text (UTF-8).
  std::string TranslatedMessage();
  void TranslateMenus();
  void RestoreTranslation(const msgbox::Snapshot& s);
  std::function<void(const ShownMessage&)> messageObserver_;
  std::function<void()> loadObserver_;
  bool chromeHidden_ = false;
  int32_t typingPace_ = 1;
  int32_t paceCount_ = 0;
  // The argument after the current word; the caller has checked it exists.
  const std::string& NextArgument() { return script_.NextArgument(); }
  // Moves past a command's last word: Next, or the end of the script.
  Outcome Finish();
  Outcome EndOfWords();

  // The machinery's own commands (MsgBoxStep.cpp).
  Outcome CmdBattle();
  Outcome CmdMap();
  Outcome CmdNextScriptFile();
  Outcome CmdGameEnd();
  Outcome CmdAssign();
  Outcome CmdGoto();
  Outcome CmdString();

  // Sound (MsgBoxSoundCommands.cpp) and the key configuration
  // (MsgBoxKeyConfigCommand.cpp).
  Outcome CmdMidiLoad();
  Outcome CmdSeLoad();
  Outcome CmdMidiPlay();
  Outcome CmdSePlay();
  Outcome CmdKeyConfig();

  // Saves and the save/load screens (MsgBoxSaveCommands.cpp).
  Outcome CmdSaveMenu();
  Outcome CmdLoadMenu();
  Outcome CmdSave();
  Outcome CmdLoad();

  // Pictures and texture aliases (MsgBoxCommands.cpp).
  Outcome CmdTexLoad();
  Outcome CmdTexUnload();
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
  Outcome CmdFadeIn();
  Outcome CmdFadeOut();
  Outcome StartFade(bool in);

  // Menu blocks (MsgBoxMenuCommands.cpp; their trace MsgBoxMenuTrace.cpp).
  Outcome CmdFontMenu();
  Outcome CmdButtonMenu();
  Outcome OpenMenu(bool buttonMenu);
  template <class Menu>
  HRESULT ReadMenuBlock(Menu& menu, const char* missingItemsMessage);
  void AppendMenuTrace(std::string& out) const;

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

  // Player actions (ActionBounds.h, MsgBoxActions.cpp).
  using ActionKind = msgbox::ActionKind;
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
