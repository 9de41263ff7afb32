// datapaths: the choice between the portable and the installed layout, and where the two
// saves are read and written. The portable layout keeps today's relative paths exactly.
#include "app/datapaths.h"
#include <unistd.h>
#include <filesystem>
#include "platform/safe_file.h"
#include "platform/stream.h"
#include "platform/system.h"

namespace {

// Relative to the working directory, spelled as they always were.
const char* const kSharedPaths[2] = {"data\\hiscore.dat", "Data\\anaglyph3d.dat"};
const char* const kNames[2] = {"hiscore.dat", "anaglyph3d.dat"};

struct {
  int installed = 0;
  std::string user;  // the per-user save folder; empty while the saves stay in `data`
} PATHS;

int Which(int which) { return which == SAVE_STEREO_MODE ? 1 : 0; }

// A missing `data` is made at the first save, so then it is the folder above that must let us.
int CanSaveBesideProgram() {
  int kind = GetFileKind("data");
  if (kind == 2) return CanWriteFolder(ResolvePath("data"));
  return kind != 0 || CanWriteFolder(".");
}

}  // namespace

int EnterGameFolder(const std::string& program_folder) {
  PATHS = {};
  std::filesystem::path shared = std::filesystem::path(program_folder) / KELVANE_DATA_FROM_PROGRAM;
  PATHS.installed = GetFileKind(program_folder + "/data") != 2 && GetFileKind((shared / "data").string()) == 2;
  std::string game = PATHS.installed ? shared.lexically_normal().string() : program_folder;
  if (chdir(game.c_str()) != 0) return 0;
  std::string user = UserDataFolder();
  if (!user.empty() && (PATHS.installed || !CanSaveBesideProgram())) PATHS.user = user + "/kelvane";
  return 1;
}

int IsInstalledLayout() { return PATHS.installed; }

std::string SaveFolder() { return PATHS.user.empty() ? "data" : PATHS.user; }

std::string SaveFilePath(int which) {
  if (PATHS.user.empty()) return kSharedPaths[Which(which)];
  return PATHS.user + "/" + kNames[Which(which)];
}

std::string LoadFilePath(int which) {
  std::string saved = SaveFilePath(which);
  return GetFileKind(saved) != 0 ? saved : kSharedPaths[Which(which)];
}

// The user's folders are made private, as the base directory rules want; what stands in
// the way, if anything, is then named by EnsureFolder.
int MakeSaveFolder(std::string* why) {
  if (!PATHS.user.empty()) MakeFolders(PATHS.user);
  return EnsureFolder(SaveFolder(), why);
}

std::string ShownPath(const std::string& path) { return SystemPath(path); }
