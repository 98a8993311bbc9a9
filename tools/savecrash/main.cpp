// Crash test for saving: a child process saves into slot 1 in a loop,
// alternating between two game states, and is killed with SIGKILL at a
// random moment. After every kill the slot file must be exactly one of the
// two saves and must load back into the variables it holds.
//
//   vantorel-savecrash SECONDS [DIR]    (exit 0: every round passed)
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <map>
#include <string>

#include "framework/GameDataPaths.h"
#include "framework/TextFont.h"
#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Debug.h"
#include "platform/draw/Device.h"
#include "platform/draw/OffscreenDevice.h"
#include "platform/files/Files.h"
#include "platform/text/TextCodec.h"
#include "script/CTextFile.h"

namespace {
const char* kSlot = "セーブデータ\\セーブデータ1";
constexpr int kVariables = 400;  // a save of some 20 KB, so kills land mid-write

void FixedClock(std::tm& now) {
  now = std::tm{};
  now.tm_year = 125, now.tm_mday = 1;
}

// Game state number `which` (0 or 1): every variable's value names it.
void SetState(CMsgBox& box, int which) {
  for (int i = 0; i < kVariables; ++i) {
    box.SetVariable("$v" + std::to_string(i), SJ("状態") + std::to_string(which) + "_" + std::to_string(i));
    box.SetIntVariable("$n" + std::to_string(i), which * 1000000 + i);
  }
}

// Which state the box holds after loading, or -1 when it is neither whole.
int LoadedState(CMsgBox& box) {
  box.ClearVariables();
  box.ClearIntVariables();
  CMsgBox::currentScriptName.clear();
  box.Load(SJ(kSlot));
  // Copies: a missing name reads as empty, as a value that does not match.
  std::map<std::string, std::string> variables = box.Script().Variables();
  std::map<std::string, int32_t> intVars = box.Script().IntVars();
  if (variables.size() != kVariables || intVars.size() != kVariables) return -1;
  const int which = intVars["$n0"] / 1000000;
  if (CMsgBox::currentScriptName != SJ("シーン") + std::to_string(which) + ".Dat") return -1;
  for (int i = 0; i < kVariables; ++i) {
    if (intVars["$n" + std::to_string(i)] != which * 1000000 + i) return -1;
    if (variables["$v" + std::to_string(i)] != SJ("状態") + std::to_string(which) + "_" + std::to_string(i))
      return -1;
  }
  return which;
}

[[noreturn]] void SaveForever(CMsgBox& box) {
  for (int which = 0;; which ^= 1) {
    SetState(box, which);
    box.Save(SJ("シーン") + std::to_string(which), SJ(kSlot));
  }
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: vantorel-savecrash SECONDS [DIR]\n");
    return 2;
  }
  const double seconds = std::atof(argv[1]);
  const std::filesystem::path dir =
      argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path() / "vantorel-savecrash";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);
  std::filesystem::create_directories(platform::ResolvePath(SJ(gamedata::kSaveDir)));
  platform::SetDebugEcho(false);
  // The message box draws on an off-screen device; nothing is shown.
  std::unique_ptr<platform::Device> device = platform::CreateOffscreenDevice(640, 480);
  CPolygon::InitDeviceObjects(gamedata::kTextureDir, device.get());
  TextFont::SetDevice(device.get());
  CMsgBox::saveClock = FixedClock;
  CTextFile file(true);  // the game's saves are enciphered

  // One box, set up before the first fork, so that a child starts saving at
  // once. The first saves are whole ones made before any kill; they also
  // time a save, and kills land anywhere within about three saves' time.
  static int32_t actions[255];
  CMsgBox saver;
  saver.Init(&file, nullptr, actions, nullptr, nullptr, "x", 12, 1);
  const auto t0 = std::chrono::steady_clock::now();
  for (int which : {0, 1, 0, 1}) {
    SetState(saver, which);
    saver.Save(SJ("シーン") + std::to_string(which), SJ(kSlot));
  }
  const auto saveUs = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0) / 4;
  std::mt19937 rng(std::random_device{}());
  std::uniform_int_distribution<int> delayUs(0, std::max<int>(1000, int(saveUs.count()) * 3));
  int rounds = 0, seen[2] = {0, 0};
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end || rounds == 0) {
    pid_t child = fork();
    if (child < 0) return std::perror("fork"), 1;
    if (child == 0) SaveForever(saver);
    usleep(useconds_t(delayUs(rng)));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ++rounds;

    const int which = LoadedState(saver);
    if (which < 0) {
      std::fprintf(stderr, "round %d: the slot holds no whole save\n", rounds);
      return 1;
    }
    ++seen[which];
  }
  int leftovers = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) leftovers += e.is_regular_file();
  std::printf("%d kills (a save takes %lld us), slot held state 0 %d times and state 1 %d times; "
              "%d files left in the save folder\n",
              rounds, static_cast<long long>(saveUs.count()), seen[0], seen[1], leftovers);
  // Both saves must have been seen, or the kills never came mid-save.
  if (rounds >= 20 && (seen[0] == 0 || seen[1] == 0)) {
    std::fprintf(stderr, "the kills never landed between saves\n");
    return 1;
  }
  TextFont::SetDevice(nullptr);
  CPolygon::DeleteDeviceObjects();
  return 0;
}
