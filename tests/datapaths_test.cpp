// Data paths: which layout a program's folder is, where the game then works from, and
// where the two saves are read and written, on trees made on disk.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/datapaths.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

class DataPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    old_cwd_ = fs::current_path();
    const char* xdg = std::getenv("XDG_DATA_HOME");
    had_xdg_ = xdg != nullptr;
    old_xdg_ = xdg ? xdg : "";
    ASSERT_TRUE(folder_.Make("paths"));
    root_ = fs::canonical(folder_.path());
    setenv("XDG_DATA_HOME", (root_ / "xdg").c_str(), 1);
  }
  // Back to the portable layout every other test expects, in the folder it started in.
  void TearDown() override {
    fs::create_directories(root_ / "reset/data");
    EnterGameFolder((root_ / "reset").string());
    fs::current_path(old_cwd_);
    if (had_xdg_) setenv("XDG_DATA_HOME", old_xdg_.c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
    folder_.Remove();
  }
  void Touch(const std::string& rel) {
    fs::create_directories((root_ / rel).parent_path());
    std::ofstream(root_ / rel) << "1234";
  }
  temp_folder folder_;
  fs::path root_, old_cwd_;
  std::string old_xdg_;
  bool had_xdg_ = false;
};

struct layout_row {
  const char* name;
  std::vector<const char*> folders;  // made under the root
  const char* program;               // the program's folder
  int installed;
  const char* game;                  // the working directory afterwards
  const char* save_folder;           // "data", or under the root
};

TEST_F(DataPaths, EachTreeGivesItsLayoutFolderAndSaves) {
  const layout_row rows[] = {
      {"portable", {"opt/kelvane/data"}, "opt/kelvane", 0, "opt/kelvane", "data"},
      {"portable, data spelled Data", {"opt/kelvane/Data"}, "opt/kelvane", 0, "opt/kelvane", "data"},
      {"portable before installed", {"usr/games/data", "usr/share/games/kelvane/data"}, "usr/games", 0, "usr/games",
       "data"},
      {"installed", {"usr/games", "usr/share/games/kelvane/data"}, "usr/games", 1, "usr/share/games/kelvane",
       "xdg/kelvane"},
      {"installed under /usr/local", {"usr/local/games", "usr/local/share/games/kelvane/data"}, "usr/local/games", 1,
       "usr/local/share/games/kelvane", "xdg/kelvane"},
      {"nothing yet: data made beside at the first save", {"bare"}, "bare", 0, "bare", "data"},
  };
  for (const layout_row& r : rows) {
    fs::path case_root = root_ / std::to_string(&r - rows);
    for (const char* f : r.folders) fs::create_directories(case_root / f);
    ASSERT_EQ(EnterGameFolder((case_root / r.program).string()), 1) << r.name;
    EXPECT_EQ(IsInstalledLayout(), r.installed) << r.name;
    EXPECT_EQ(fs::current_path(), case_root / r.game) << r.name;
    std::string expected_save = r.save_folder == std::string("data") ? "data" : (root_ / r.save_folder).string();
    EXPECT_EQ(SaveFolder(), expected_save) << r.name;
    EXPECT_EQ(SaveFilePath(SAVE_BEST_SCORE), r.installed ? expected_save + "/hiscore.dat" : "data\\hiscore.dat")
        << r.name;
    EXPECT_EQ(SaveFilePath(SAVE_STEREO_MODE), r.installed ? expected_save + "/anaglyph3d.dat" : "Data\\anaglyph3d.dat")
        << r.name;
  }
}

TEST_F(DataPaths, TheUserFileIsReadOnceItExistsTheSharedOneUntilThen) {
  fs::create_directories(root_ / "usr/games");
  Touch("usr/share/games/kelvane/data/hiscore.dat");
  ASSERT_EQ(EnterGameFolder((root_ / "usr/games").string()), 1);
  EXPECT_EQ(LoadFilePath(SAVE_BEST_SCORE), "data\\hiscore.dat");
  EXPECT_EQ(ShownPath(LoadFilePath(SAVE_BEST_SCORE)), (root_ / "usr/share/games/kelvane/data/hiscore.dat").string());
  EXPECT_EQ(LoadFilePath(SAVE_STEREO_MODE), "Data\\anaglyph3d.dat");
  Touch("xdg/kelvane/hiscore.dat");
  EXPECT_EQ(LoadFilePath(SAVE_BEST_SCORE), (root_ / "xdg/kelvane/hiscore.dat").string());
  EXPECT_EQ(LoadFilePath(SAVE_STEREO_MODE), "Data\\anaglyph3d.dat");
}

TEST_F(DataPaths, TheUserFolderIsMadePrivateAtTheFirstSave) {
  fs::create_directories(root_ / "usr/games");
  fs::create_directories(root_ / "usr/share/games/kelvane/data");
  setenv("XDG_DATA_HOME", (root_ / "deep/er/share").c_str(), 1);
  ASSERT_EQ(EnterGameFolder((root_ / "usr/games").string()), 1);
  EXPECT_FALSE(fs::exists(root_ / "deep"));
  EXPECT_EQ(MakeSaveFolder(), 1);
  EXPECT_TRUE(fs::is_directory(root_ / "deep/er/share/kelvane"));
  EXPECT_EQ(fs::status(root_ / "deep/er/share/kelvane").permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_EQ(MakeSaveFolder(), 1);
}

// A relative XDG_DATA_HOME is ignored, as the base directory rules say; HOME gives the default.
TEST_F(DataPaths, RelativeXdgDataHomeFallsBackToHome) {
  fs::create_directories(root_ / "usr/games");
  fs::create_directories(root_ / "usr/share/games/kelvane/data");
  const char* home = std::getenv("HOME");
  std::string old_home = home ? home : "";
  setenv("XDG_DATA_HOME", "relative/share", 1);
  setenv("HOME", (root_ / "home").c_str(), 1);
  EnterGameFolder((root_ / "usr/games").string());
  EXPECT_EQ(SaveFolder(), (root_ / "home/.local/share/kelvane").string());
  if (home) setenv("HOME", old_home.c_str(), 1);
  else unsetenv("HOME");
}

// The fault that lost a best score: a portable copy in a folder the player may not write.
// Checked by an ordinary user in a child (root writes through permission bits).
TEST_F(DataPaths, AReadOnlyPortableCopySavesInTheUserFolder) {
  fs::create_directories(root_ / "game/data");
  fs::create_directories(root_ / "bare");
  fs::permissions(root_, fs::perms::all);  // the child's user must reach in
  fs::permissions(root_ / "game/data", fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                           fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(root_ / "bare", fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
  if (geteuid() != 0) {
    fs::permissions(root_ / "game/data", fs::perms::owner_write, fs::perm_options::remove);
    fs::permissions(root_ / "bare", fs::perms::owner_write, fs::perm_options::remove);
  }
  int pipefd[2];
  ASSERT_EQ(pipe(pipefd), 0);
  pid_t pid = fork();
  if (pid == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
    std::string out;
    for (const char* folder : {"game", "bare"}) {
      if (!EnterGameFolder((root_ / folder).string())) _exit(4);
      out += SaveFolder() + "\n";
    }
    if (write(pipefd[1], out.data(), out.size()) != static_cast<ssize_t>(out.size())) _exit(5);
    _exit(0);
  }
  close(pipefd[1]);
  std::string got;
  char buf[512];
  ssize_t n;
  while ((n = read(pipefd[0], buf, sizeof buf)) > 0) got.append(buf, static_cast<size_t>(n));
  close(pipefd[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  std::string user = (root_ / "xdg/kelvane").string();
  EXPECT_EQ(got, user + "\n" + user + "\n");
  if (geteuid() == 0) fs::permissions(root_, fs::perms::owner_all);
}

}  // namespace
