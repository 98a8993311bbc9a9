#pragma once
// The program's resources: the main icon and the main menu.
#include <cstdint>

constexpr int IDI_MAIN_ICON = 101;
constexpr int IDR_MAIN_MENU = 102;
constexpr uint32_t IDM_GAME_EXIT = 40001;
// The menu's items for the player's comforts, above the one to quit.
constexpr uint32_t IDM_SETTINGS = 40002;
constexpr uint32_t IDM_SKIP_MODE = 40003;
constexpr uint32_t IDM_AUTO_MODE = 40004;
// The game menu's items, on the menu bar too (F10 reaches them).
constexpr uint32_t IDM_SAVE = 40005;
constexpr uint32_t IDM_LOAD = 40006;
constexpr uint32_t IDM_QUICK_SAVE = 40007;
constexpr uint32_t IDM_QUICK_LOAD = 40008;
constexpr uint32_t IDM_HISTORY = 40009;
constexpr uint32_t IDM_TITLE = 40010;

struct MenuResource {
  const char* popupUtf8;
  const char* itemUtf8;
  uint32_t command;
};

// Null when no menu has that id.
inline const MenuResource* FindMenuResource(int id) {
  static const MenuResource mainMenu{"システム", "ゲームを終了する", IDM_GAME_EXIT};
  return id == IDR_MAIN_MENU ? &mainMenu : nullptr;
}
