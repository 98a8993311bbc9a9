// package GAMEDIR --name NAME --version V [--icon PNG] [--format deb|tar] ...:
// an author's game as a Debian package that depends on the engine's, and as
// a tarball that carries the engine, its libraries, fonts and soundfont.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <set>
#include <system_error>

#include "GamePackage.h"
#include "GlyphCheck.h"
#include "ScriptTool.h"
#include "makeart/Catalog.h"
#include "makeart/PictureFiles.h"
#include "platform/audio/SoundFonts.h"
#include "platform/files/ImageDecoder.h"

namespace scripttool {
namespace {
namespace fs = std::filesystem;

// Runs a program (no shell); out gets its standard output when given.
bool Run(const std::vector<std::string>& argv, std::string* out, std::string& error) {
  int pipeFds[2] = {-1, -1};
  if (out && pipe(pipeFds) != 0) {
    error = "cannot make a pipe";
    return false;
  }
  const pid_t pid = fork();
  if (pid == 0) {
    if (out) {
      dup2(pipeFds[1], 1);
      close(pipeFds[0]);
      close(pipeFds[1]);
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  if (out) {
    close(pipeFds[1]);
    char buffer[4096];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) out->append(buffer, size_t(n));
    close(pipeFds[0]);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    error = argv[0] + (WIFEXITED(status) && WEXITSTATUS(status) == 127 ? std::string(" could not be run")
                                                                        : std::string(" failed"));
    return false;
  }
  return true;
}

bool Write(const fs::path& path, const std::string& bytes, bool executable, std::string& error) {
  if (!WriteHostFile(path.string(), bytes, error)) return false;
  std::error_code ec;
  fs::permissions(path, executable ? fs::perms(0755) : fs::perms(0644), ec);
  return true;
}

bool Copy(const fs::path& from, const fs::path& to, std::string& error) {
  std::error_code ec;
  fs::create_directories(to.parent_path(), ec);
  fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);  // follows links
  if (ec) {
    error = from.string() + ": cannot copy: " + ec.message();
    return false;
  }
  fs::permissions(to, (fs::status(from, ec).permissions() & fs::perms::owner_exec) != fs::perms::none ? fs::perms(0755) : fs::perms(0644), ec);
  return true;
}

// GameData without the saves (the folder stays: the game writes there).
bool CopyGameData(const fs::path& game, const fs::path& to, std::string& error) {
  std::error_code ec;
  const fs::path data = game / "GameData";
  for (auto it = fs::recursive_directory_iterator(data, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    const fs::path rel = it->path().lexically_relative(data);
    const std::string first = rel.begin() != rel.end() ? rel.begin()->string() : "";
    const bool saves = first == "Text" && std::next(rel.begin()) != rel.end() && *std::next(rel.begin()) == "セーブデータ";
    if (it->is_directory(ec)) {
      fs::create_directories(to / rel, ec);
      continue;
    }
    if (saves) continue;
    if (!Copy(it->path(), to / rel, error)) return false;
  }
  if (ec) {
    error = data.string() + ": " + ec.message();
    return false;
  }
  fs::create_directories(to / "Text" / "セーブデータ", ec);
  return true;
}

// Directories 0755 (dpkg-deb and tar keep what they find).
void OpenUp(const fs::path& root) {
  std::error_code ec;
  fs::permissions(root, fs::perms(0755), ec);
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
    if (it->is_directory(ec)) fs::permissions(it->path(), fs::perms(0755), ec);
}

unsigned long SizeKiB(const fs::path& root) {
  std::error_code ec;
  unsigned long long bytes = 0;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
    if (it->is_regular_file(ec)) bytes += it->file_size(ec);
  return static_cast<unsigned long>((bytes + 1023) / 1024);
}

struct Icon {
  std::string png;
  int size = 0;
};

bool LoadIcon(const std::string& path, Icon& icon, std::string& error) {
  if (path.empty()) {
    // The engine's icon, drawn at 256 pixels.
    icon.size = 256;
    if (!makeart::EncodePictureFile(makeart::DrawIcon(256), "icon.png", makeart::DdsKind::Argb8888, icon.png)) {
      error = "the icon could not be drawn";
      return false;
    }
    return true;
  }
  if (!ReadHostFile(path, icon.png, error)) return false;
  platform::Image image;
  std::string why;
  if (!platform::DecodeImage(icon.png, ".png", image, &why) || icon.png.compare(0, 4, "\x89PNG") != 0) {
    error = path + ": not a PNG picture" + (why.empty() ? "" : " (" + why + ")");
    return false;
  }
  if (image.width != image.height || image.width < 16 || image.width > 1024) {
    error = path + ": the icon is " + std::to_string(image.width) + " x " + std::to_string(image.height) +
            " pixels; it must be square, 16 to 1024 pixels";
    return false;
  }
  icon.size = image.width;
  return true;
}

// The desktop files, under root/share (the .deb's usr/share, the tarball's share).
bool WriteDesktopFiles(const fs::path& share, const PackageSpec& spec, const Icon& icon, const std::string& exec,
                       std::string& error) {
  const std::string size = std::to_string(icon.size);
  return Write(share / "applications" / (spec.id + ".desktop"), DesktopEntry(spec, exec), false, error) &&
         Write(share / "metainfo" / (spec.id + ".metainfo.xml"), Metainfo(spec), false, error) &&
         Write(share / "icons" / "hicolor" / (size + "x" + size) / "apps" / (spec.id + ".png"), icon.png, false, error);
}

bool MakeDeb(const fs::path& game, const fs::path& stage, const fs::path& outDir, const PackageSpec& spec,
             const Icon& icon, std::string& debPath, std::string& error) {
  const fs::path root = stage / "deb";
  const std::string gameDir = "/usr/share/games/" + spec.name;
  if (!CopyGameData(game, root / ("usr/share/games/" + spec.name) / "GameData", error) ||
      !Write(root / "usr/games" / spec.name, DebLauncher(gameDir), true, error) ||
      !WriteDesktopFiles(root / "usr/share", spec, icon, spec.name, error))
    return false;
  const unsigned long size = SizeKiB(root);
  if (!Write(root / "DEBIAN" / "control", DebControl(spec, size), false, error)) return false;
  OpenUp(root);
  debPath = (outDir / (spec.name + "_" + spec.version + "_all.deb")).string();
  std::string said;  // dpkg-deb's "building package ..." line
  return Run({"dpkg-deb", "--root-owner-group", "-Zxz", "--build", root.string(), debPath}, &said, error);
}

// The shared libraries the engine needs, from ldd on it and on the
// libraries it opens itself, less those every Linux system has or that must
// match the system (C library, graphics drivers, the display and sound
// servers' own).
bool EngineLibraries(const std::string& engine, std::set<std::string>& libraries, std::string& error) {
  std::vector<std::string> objects = {engine};
  std::string cache;
  Run({"/sbin/ldconfig", "-p"}, &cache, error);
  for (const char* opened : {"libSDL2_image-2.0.so.0", "libSDL2_mixer-2.0.so.0", "libfluidsynth.so.3"}) {
    const size_t at = cache.find(std::string(opened) + " (");
    const size_t arrow = at == std::string::npos ? at : cache.find("=> ", at);
    if (arrow == std::string::npos) continue;
    objects.push_back(cache.substr(arrow + 3, cache.find('\n', arrow) - arrow - 3));
    libraries.insert(objects.back());
  }
  static const char* const kSystem[] = {"linux-vdso", "ld-linux", "libc.so", "libm.so", "libdl.so", "librt.so",
                                        "libpthread.so", "libresolv.so", "libGL", "libEGL", "libGLX", "libGLdispatch",
                                        "libdrm.so", "libgbm.so", "libX", "libxcb", "libwayland", "libasound.so",
                                        "libpulse", "libdbus", "libsystemd", "libudev", "libxkbcommon"};
  for (const std::string& object : objects) {
    std::string out;
    if (!Run({"ldd", object}, &out, error)) return false;
    size_t at = 0;
    while (at < out.size()) {
      size_t end = out.find('\n', at);
      if (end == std::string::npos) end = out.size();
      const std::string line = out.substr(at, end - at);
      at = end + 1;
      const size_t arrow = line.find("=> /");
      if (arrow == std::string::npos) continue;
      const std::string path = line.substr(arrow + 3, line.find(" (", arrow) - arrow - 3);
      const std::string file = fs::path(path).filename().string();
      bool system = false;
      for (const char* s : kSystem) system = system || file.rfind(s, 0) == 0;
      if (!system) libraries.insert(path);
    }
  }
  return true;
}

bool MakeTar(const fs::path& game, const fs::path& stage, const fs::path& outDir, const PackageSpec& spec,
             const Icon& icon, std::string& tarPath, std::string& error) {
  const std::string top = spec.name + "-" + spec.version;
  const fs::path root = stage / "tar" / top;
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  const fs::path engine = self.parent_path() / "vantorel";
  if (ec || !fs::is_regular_file(engine, ec)) {
    error = "the engine (vantorel) is not beside vantorel-script (" + self.parent_path().string() + ")";
    return false;
  }
  std::set<std::string> libraries;
  if (!EngineLibraries(engine.string(), libraries, error) || !Copy(engine, root / "lib" / "vantorel", error)) return false;
  // A build with debug information is several times the size; strip
  // (binutils) is used where it is installed.
  std::string ignored;
  Run({"strip", "--strip-debug", (root / "lib" / "vantorel").string()}, nullptr, ignored);
  for (const std::string& lib : libraries)
    if (!Copy(lib, root / "lib" / fs::path(lib).filename(), error)) return false;
  // The fonts the window asks for as they resolve here, and the soundfont
  // (the small TimGM6mb where it is installed).
  std::set<std::string> fonts;
  for (const WindowFace& face : ResolveWindowFaces())
    if (!face.resolved.file.empty()) fonts.insert(face.resolved.file);
  for (const std::string& font : fonts)
    if (!Copy(font, root / "share" / "fonts" / fs::path(font).filename(), error)) return false;
  std::string soundfont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
  if (!fs::is_regular_file(soundfont, ec)) soundfont = platform::ChooseSoundFont();
  if (!soundfont.empty() && !Copy(soundfont, root / "share" / "soundfont" / "default.sf2", error)) return false;
  if (!CopyGameData(game, root / "share" / "game" / "GameData", error) ||
      !Write(root / spec.name, TarLauncher(spec.name), true, error) ||
      !Write(root / "share" / "fonts" / "fonts.conf", TarFontsConf(), false, error) ||
      !WriteDesktopFiles(root / "share", spec, icon, spec.name, error))
    return false;
  OpenUp(stage / "tar");
  tarPath = (outDir / (top + "-x86_64.tar.gz")).string();
  return Run({"tar", "--owner=0", "--group=0", "--numeric-owner", "-C", (stage / "tar").string(), "-czf", tarPath, top},
             nullptr, error);
}

std::string Today() {
  // SOURCE_DATE_EPOCH, where set, makes the release date reproducible.
  std::time_t now = std::time(nullptr);
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) now = static_cast<std::time_t>(std::strtoll(epoch, nullptr, 10));
  char buffer[16];
  std::tm tm{};
  gmtime_r(&now, &tm);
  std::strftime(buffer, sizeof buffer, "%Y-%m-%d", &tm);
  return buffer;
}
}  // namespace

int RunPackage(const std::vector<std::string>& args) {
  const char* usage =
      " (usage: vantorel-script package GAMEDIR --name NAME --version V [--title TEXT] [--summary TEXT] "
      "[--maintainer TEXT] [--id ID] [--icon PNG] [--format deb|tar] [-o OUTDIR])";
  PackageSpec spec;
  std::string game, iconPath, format, outDir = ".";
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string* value = a == "--name" ? &spec.name : a == "--version" ? &spec.version : a == "--title" ? &spec.title
                       : a == "--summary" ? &spec.summary : a == "--maintainer" ? &spec.maintainer : a == "--id" ? &spec.id
                       : a == "--icon" ? &iconPath : a == "--format" ? &format : a == "-o" ? &outDir : nullptr;
    if (value) {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        PrintError("package: " + a + " needs a value" + usage);
        return kUsage;
      }
      *value = args[++i];
    } else if (!a.empty() && a[0] == '-') {
      PrintError("package: unknown option \"" + a + "\"" + usage);
      return kUsage;
    } else if (game.empty()) {
      game = a;
    } else {
      PrintError("package: expected 1 game directory" + std::string(usage));
      return kUsage;
    }
  }
  if (game.empty() || spec.name.empty() || spec.version.empty()) {
    PrintError(std::string("package: a game directory, --name and --version are needed") + usage);
    return kUsage;
  }
  if (!format.empty() && format != "deb" && format != "tar") {
    PrintError("package: --format is deb or tar, not \"" + format + "\"" + usage);
    return kUsage;
  }
  if (std::string why = CheckPackageName(spec.name); !why.empty()) {
    PrintError("package: the name \"" + spec.name + "\" " + why + " (it names the Debian package and the command)");
    return kUsage;
  }
  if (std::string why = CheckPackageVersion(spec.version); !why.empty()) {
    PrintError("package: the version \"" + spec.version + "\" " + why);
    return kUsage;
  }
  if (spec.title.empty()) spec.title = spec.name;
  if (spec.summary.empty()) spec.summary = "A visual novel";
  if (spec.maintainer.empty()) spec.maintainer = "The author of " + spec.name + " <author@localhost>";
  if (spec.id.empty()) spec.id = DefaultPackageId(spec.name);
  spec.date = Today();

  std::error_code ec;
  const fs::path gamePath = game;
  if (!fs::is_regular_file(gamePath / "GameData" / "Text" / "オープニング" / "オープニング1E.Dat", ec) &&
      !fs::is_regular_file(gamePath / "GameData" / "Text" / "オープニング" / "オープニング1.Dat", ec)) {
    PrintError(game + ": not a game that can start (no GameData/Text/オープニング/オープニング1E.Dat)");
    return kFailed;
  }
  std::string error;
  Icon icon;
  if (!LoadIcon(iconPath, icon, error)) {
    PrintError(error);
    return kFailed;
  }
  fs::create_directories(outDir, ec);
  const fs::path stage = fs::path(outDir) / ("." + spec.name + "-package-" + std::to_string(getpid()));
  fs::remove_all(stage, ec);
  bool ok = true;
  std::string made;
  if (format.empty() || format == "deb") {
    ok = MakeDeb(gamePath, stage, outDir, spec, icon, made, error);
    if (ok) std::printf("%s\n", made.c_str());
  }
  if (ok && (format.empty() || format == "tar")) {
    ok = MakeTar(gamePath, stage, outDir, spec, icon, made, error);
    if (ok) std::printf("%s\n", made.c_str());
  }
  fs::remove_all(stage, ec);
  if (!ok) {
    PrintError("package: " + error);
    return kFailed;
  }
  return kOk;
}

}  // namespace scripttool
