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

#include "platform/Result.h"
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

// One placement: position (x, y in screen pixels, z depth) and size.
struct SpriteRect {
  float x = 0, y = 0, z = 0;
  float w = 0, h = 0, d = 0;
};

// What the application hands to SetLayout, in this order.
struct MsgBoxLayout {
  SpriteRect bg;
  SpriteRect pictureFrame;
  SpriteRect speaker;
  SpriteRect window;
  SpriteRect left;
  SpriteRect center;
  SpriteRect right;
  SpriteRect wideCenter;
  int32_t alpha = 0;
};

// The part of the layout the window keeps (the window placement is also the
// dialogue frame the menus and the save/load screen lay out in).
struct MsgBoxKeptLayout {
  SpriteRect bg;
  SpriteRect pictureFrame;
  SpriteRect speaker;
  SpriteRect window;
  int32_t alpha = 0;
};

struct SaveSlot {
  std::string path;
  int32_t second = 0, minute = 0, hour = 0, day = 0, month = 0, year = 0, weekday = 0;
  int32_t exists = 0;
};

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
  void OpenSaveLoadScreen(std::string argument);
  // The local time a save records; tests fix it. Null: the system clock.
  static void (*saveClock)(std::tm& now);

  // --- fades (MsgBoxFades.cpp) ---
  void StepImageFade();
  int32_t StepMusicFade();

  // --- state, in declaration order ---
  CTextFile* textFile = nullptr;
  CDSMusic* bgmPlayer = nullptr;
  CDMMusic* soundPlayer = nullptr;
  CInput* input = nullptr;
  int32_t* inputState = nullptr;  // the application's actionStates (255 slots)

  std::unique_ptr<CPolygon> pictureFrameSprite;
  std::unique_ptr<CPolygon> speakerSprite;
  std::unique_ptr<CPolygon> windowSprite;
  std::unique_ptr<TextFont> messageTextObject;
  std::unique_ptr<TextFont> menuTextObject;
  std::unique_ptr<CAnimPolygon> cursorSprite;
  std::unique_ptr<CPolygon> bgSprite;
  std::unique_ptr<CPolygon> rightSprite;
  std::unique_ptr<CPolygon> leftSprite;
  std::unique_ptr<CPolygon> centerSprite;
  std::unique_ptr<CPolygon> wideCenterSprite;
  std::unique_ptr<CPolygon> buttonSprite;

  std::map<std::string, std::string> textureAliases;
  std::vector<std::string> words;
  std::map<std::string, std::string> variables;
  std::map<std::string, int32_t> intVars;

  std::string buttonMenuFrame;
  int32_t buttonMenuColumns = 0, buttonMenuRows = 0;
  std::map<int32_t, std::unique_ptr<ButtonMenuItem>> buttonMenuItems;
  std::map<int32_t, std::unique_ptr<ButtonMenuItem>>::iterator buttonMenuCursor;  // end(): none
  std::string fontMenuFrame;
  int32_t fontMenuColumns = 0, fontMenuRows = 0;
  std::map<int32_t, std::unique_ptr<FontMenuItem>> fontMenuItems;
  std::map<int32_t, std::unique_ptr<FontMenuItem>>::iterator fontMenuCursor;  // end(): none

  SaveSlot saveSlots[4];
  std::string textDir;
  std::string scriptPath;
  std::string messageText;
  uint32_t typedLength = 0;
  std::string speakerKey;
  std::string speakerLabel;
  size_t position = 0;

  bool typing = false;
  bool running = false;
  bool buttonMenuActive = false;
  bool menuActive = false;
  bool loadMode = false;
  bool saveMode = false;
  bool rowBreaks = false;
  bool imageFadeActive = false;
  bool imageFadeIn = true;
  std::list<CPolygon*> fadeSprites;
  std::list<TextFont*> fadeTexts;
  bool volumeFadeActive = false;
  bool volumeFadeIn = true;
  MsgBoxKeptLayout layout;

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
  const std::string& NextArgument() { return words[++position]; }
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
  void InitSaveSlots();
  void ReadSaveSlot(SaveSlot& slot);

  // Trace (MsgBoxTrace.cpp).
  void RegisterTrace();
  void UnregisterTrace();
  void TraceState(std::string& members) const;
  static void TraceStep(HRESULT result);
  static void TraceOpen(const std::string& name, HRESULT result);
  int traceId_ = 0;

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
  int actionDepth_ = 0;
  int actionStarts_ = 0;                     // since the action began or a fade paused it
  std::vector<std::string> actionScripts_;   // paths of the scripts the action ran
  uint64_t reportsBeforeAction_ = 0;         // shown reports when it began
  // Since the button menu opened: a missing picture alias was reported,
  // the picture files that could not be loaded.
  bool buttonPictureReported_ = false;
  std::vector<std::string> missingButtonPictures_;
};
