// Data files: the best score and the stereo mode, their fallbacks and their safe saving.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/datafiles.h"
#include "game/player.h"
#include "render/twdraw.h"

namespace fs = std::filesystem;

namespace {

// Each test runs in a fresh folder of its own, with the game's two values reset.
class DataFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = fs::current_path();
    char tmpl[] = "/tmp/kelvane_data_XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    fs::current_path(dir_);
    player.best_sc = 0;
    stereo_mode = 0;
    twdraw = twdraw_tag();
  }
  void TearDown() override {
    fs::current_path(old_);
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir_);
  }
  static void WriteRaw(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (fs::path(path).has_parent_path()) fs::create_directories(fs::path(path).parent_path());
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  static std::vector<uint8_t> ReadRaw(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
  }
  static void ExpectEyes(int lr, int lg, int lb, int rr, int rg, int rb) {
    EXPECT_EQ(twdraw.leye_r, lr);
    EXPECT_EQ(twdraw.leye_g, lg);
    EXPECT_EQ(twdraw.leye_b, lb);
    EXPECT_EQ(twdraw.reye_r, rr);
    EXPECT_EQ(twdraw.reye_g, rg);
    EXPECT_EQ(twdraw.reye_b, rb);
  }
  fs::path old_, dir_;
};

TEST_F(DataFiles, MissingFilesGiveZeroAndModeOff) {
  player.best_sc = 777;
  BestScoreFile(0);
  EXPECT_EQ(player.best_sc, 0);
  StereoModeFile(1);
  EXPECT_EQ(stereo_mode, 0);
  ExpectEyes(0, 0, 0, 0, 0, 0);
}

TEST_F(DataFiles, ShortFileGivesItsBytesAsLowBytes) {
  WriteRaw("data/hiscore.dat", {0x01, 0x02});
  WriteRaw("data/anaglyph3d.dat", {0x03});
  BestScoreFile(0);
  EXPECT_EQ(player.best_sc, 513);
  StereoModeFile(1);
  EXPECT_EQ(stereo_mode, 3);
  ExpectEyes(4, 80, 60, 140, 4, 10);
}

TEST_F(DataFiles, EmptyFilesGiveZero) {
  WriteRaw("data/hiscore.dat", {});
  WriteRaw("data/anaglyph3d.dat", {});
  player.best_sc = 99;
  stereo_mode = 2;
  BestScoreFile(0);
  StereoModeFile(1);
  EXPECT_EQ(player.best_sc, 0);
  EXPECT_EQ(stereo_mode, 0);
}

TEST_F(DataFiles, FolderInTheWayIsNotRead) {
  fs::create_directories("data/hiscore.dat");
  fs::create_directories("data/anaglyph3d.dat");
  player.best_sc = 55;
  BestScoreFile(0);
  EXPECT_EQ(player.best_sc, 0);
  StereoModeFile(1);
  EXPECT_EQ(stereo_mode, 0);
}

TEST_F(DataFiles, FileWithoutReadPermissionGivesZero) {
  if (::geteuid() == 0) GTEST_SKIP() << "running as root: read permission can't be taken away";
  WriteRaw("data/hiscore.dat", {0x39, 0x30, 0, 0});
  WriteRaw("data/anaglyph3d.dat", {2, 0, 0, 0});
  fs::permissions("data/hiscore.dat", fs::perms::none);
  fs::permissions("data/anaglyph3d.dat", fs::perms::none);
  BestScoreFile(0);
  StereoModeFile(1);
  EXPECT_EQ(player.best_sc, 0);
  EXPECT_EQ(stereo_mode, 0);
}

TEST_F(DataFiles, StoredModeOutsideRangeIsOff) {
  for (int stored : {5, -1, 0x7fffffff, static_cast<int>(0x80000000)}) {
    stereo_mode = 0;
    twdraw = twdraw_tag();
    WriteRaw("data/anaglyph3d.dat", {static_cast<uint8_t>(stored), static_cast<uint8_t>(stored >> 8),
                                     static_cast<uint8_t>(stored >> 16), static_cast<uint8_t>(stored >> 24)});
    StereoModeFile(1);
    EXPECT_EQ(stereo_mode, 0) << "stored " << stored;
    ExpectEyes(0, 0, 0, 0, 0, 0);
  }
}

TEST_F(DataFiles, RoundTripIsFourLittleEndianBytes) {
  player.best_sc = 12345;
  stereo_mode = 4;
  StereoModeFile(2);
  BestScoreFile(1);
  EXPECT_EQ(ReadRaw("data/hiscore.dat"), (std::vector<uint8_t>{0x39, 0x30, 0x00, 0x00}));
  EXPECT_EQ(ReadRaw("data/anaglyph3d.dat"), (std::vector<uint8_t>{4, 0, 0, 0}));
  player.best_sc = 0;
  stereo_mode = 0;
  BestScoreFile(0);
  StereoModeFile(1);
  EXPECT_EQ(player.best_sc, 12345);
  EXPECT_EQ(stereo_mode, 4);
  ExpectEyes(4, 20, 140, 140, 4, 20);
}

TEST_F(DataFiles, SaveReplacesOldFileAndLeavesNoTemporary) {
  WriteRaw("data/hiscore.dat", {1, 2, 3, 4, 5, 6});
  player.best_sc = -1;
  BestScoreFile(1);
  EXPECT_EQ(ReadRaw("data/hiscore.dat"), (std::vector<uint8_t>{0xff, 0xff, 0xff, 0xff}));
  int entries = 0;
  for (const auto& e : fs::directory_iterator("data")) entries += e.exists();
  EXPECT_EQ(entries, 1);
}

// Both names mean one folder; the save makes it when it is missing.
TEST_F(DataFiles, SaveMakesTheDataFolderOnce) {
  stereo_mode = 1;
  player.best_sc = 7;
  StereoModeFile(2);
  BestScoreFile(1);
  EXPECT_EQ(fs::file_size("data/anaglyph3d.dat"), 4u);
  EXPECT_EQ(fs::file_size("data/hiscore.dat"), 4u);
  EXPECT_FALSE(fs::exists("Data"));
}

TEST_F(DataFiles, UnwritableFolderLeavesExitNormalWithOneLine) {
  WriteRaw("data", {'x'});  // a file where the folder should be
  player.best_sc = 500;
  testing::internal::CaptureStderr();
  BestScoreFile(1);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("hiscore.dat"), std::string::npos);
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
  EXPECT_EQ(player.best_sc, 500);
  EXPECT_EQ(ReadRaw("data"), (std::vector<uint8_t>{'x'}));
}

TEST_F(DataFiles, FailedSaveKeepsTheOldFile) {
  WriteRaw("data/hiscore.dat", {0x10, 0, 0, 0});
  fs::create_directories("data/hiscore.dat.tmp");  // the temporary can't be made
  player.best_sc = 9999;
  testing::internal::CaptureStderr();
  BestScoreFile(1);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(err.empty());
  EXPECT_EQ(ReadRaw("data/hiscore.dat"), (std::vector<uint8_t>{0x10, 0, 0, 0}));
}

TEST_F(DataFiles, EyeColoursFollowEveryMode) {
  const int expected[5][6] = {{0, 0, 0, 0, 0, 0},
                              {140, 4, 40, 4, 100, 20},
                              {4, 100, 20, 140, 4, 10},
                              {4, 80, 60, 140, 4, 10},
                              {4, 20, 140, 140, 4, 20}};
  for (int mode = 1; mode <= 4; mode++) {
    stereo_mode = mode;
    StereoModeFile(0);
    const int* e = expected[mode];
    ExpectEyes(e[0], e[1], e[2], e[3], e[4], e[5]);
  }
  // Mode 0 leaves the last pair in place, and mode 0 touches no file.
  stereo_mode = 0;
  StereoModeFile(0);
  ExpectEyes(4, 20, 140, 140, 4, 20);
  EXPECT_FALSE(fs::exists("data"));
}

}  // namespace
