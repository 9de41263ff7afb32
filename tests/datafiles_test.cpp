// Data files: the best score and the stereo mode, their fallbacks and their safe saving.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/datafiles.h"
#include "game/player.h"
#include "render/twdraw.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

// Each test runs in a fresh folder of its own, with the game's two values reset.
class DataFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.Enter("data"));
    // A load in the empty folder forgets what an earlier test's load found unreadable.
    BestScoreFile(0);
    StereoModeFile(1);
    player.best_sc = 0;
    stereo_mode = 0;
    twdraw = twdraw_tag();
  }
  void TearDown() override { folder_.Remove(); }
  static void ExpectEyes(int lr, int lg, int lb, int rr, int rg, int rb) {
    EXPECT_EQ(twdraw.leye_r, lr);
    EXPECT_EQ(twdraw.leye_g, lg);
    EXPECT_EQ(twdraw.leye_b, lb);
    EXPECT_EQ(twdraw.reye_r, rr);
    EXPECT_EQ(twdraw.reye_g, rg);
    EXPECT_EQ(twdraw.reye_b, rb);
  }
  temp_folder folder_;
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
  WriteBytes("data/hiscore.dat", {0x01, 0x02});
  WriteBytes("data/anaglyph3d.dat", {0x03});
  BestScoreFile(0);
  EXPECT_EQ(player.best_sc, 513);
  StereoModeFile(1);
  EXPECT_EQ(stereo_mode, 3);
  ExpectEyes(4, 80, 60, 140, 4, 10);
}

TEST_F(DataFiles, EmptyFilesGiveZero) {
  WriteBytes("data/hiscore.dat", {});
  WriteBytes("data/anaglyph3d.dat", {});
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
  WriteBytes("data/hiscore.dat", {0x39, 0x30, 0, 0});
  WriteBytes("data/anaglyph3d.dat", {2, 0, 0, 0});
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
    WriteBytes("data/anaglyph3d.dat", {static_cast<uint8_t>(stored), static_cast<uint8_t>(stored >> 8),
                                     static_cast<uint8_t>(stored >> 16), static_cast<uint8_t>(stored >> 24)});
    StereoModeFile(1);
    EXPECT_EQ(stereo_mode, 0) << "stored " << stored;
    ExpectEyes(0, 0, 0, 0, 0, 0);
  }
}

TEST_F(DataFiles, RoundTripIsFourLittleEndianBytes) {
  player.best_sc = 12345;
  stereo_mode = 4;
  testing::internal::CaptureStderr();
  StereoModeFile(2);
  BestScoreFile(1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "a save that worked says nothing";
  EXPECT_EQ(ReadBytes("data/hiscore.dat"), (std::vector<uint8_t>{0x39, 0x30, 0x00, 0x00}));
  EXPECT_EQ(ReadBytes("data/anaglyph3d.dat"), (std::vector<uint8_t>{4, 0, 0, 0}));
  player.best_sc = 0;
  stereo_mode = 0;
  BestScoreFile(0);
  StereoModeFile(1);
  EXPECT_EQ(player.best_sc, 12345);
  EXPECT_EQ(stereo_mode, 4);
  ExpectEyes(4, 20, 140, 140, 4, 20);
}

TEST_F(DataFiles, SaveReplacesOldFileAndLeavesNoTemporary) {
  WriteBytes("data/hiscore.dat", {1, 2, 3, 4, 5, 6});  // reads as 0x04030201
  player.best_sc = 0x7f000000;
  BestScoreFile(1);
  EXPECT_EQ(ReadBytes("data/hiscore.dat"), (std::vector<uint8_t>{0, 0, 0, 0x7f}));
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
  WriteBytes("data", {'x'});  // a file where the folder should be
  player.best_sc = 500;
  testing::internal::CaptureStderr();
  BestScoreFile(1);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("hiscore.dat"), std::string::npos);
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
  EXPECT_EQ(player.best_sc, 500);
  EXPECT_EQ(ReadBytes("data"), (std::vector<uint8_t>{'x'}));
}

// A disk with room for two more bytes: even root can't write past the file-size limit.
TEST_F(DataFiles, FailedSaveKeepsTheOldFile) {
  WriteBytes("data/hiscore.dat", {0x10, 0, 0, 0});
  player.best_sc = 9999;
  rlimit old_limit;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  rlimit tight = old_limit;
  tight.rlim_cur = 2;
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  // NOTE: stderr goes to a pipe here: the usual capture is a file, and the limit would cut it too.
  int pipe_fds[2];
  ASSERT_EQ(::pipe(pipe_fds), 0);
  int saved_stderr = ::dup(2);
  ::dup2(pipe_fds[1], 2);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
  BestScoreFile(1);
  ::setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  ::dup2(saved_stderr, 2);
  ::close(saved_stderr);
  ::close(pipe_fds[1]);
  std::string err;
  char buf[512];
  for (ssize_t n; (n = ::read(pipe_fds[0], buf, sizeof buf)) > 0;) err.append(buf, static_cast<size_t>(n));
  ::close(pipe_fds[0]);
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_NE(err.find(fs::absolute("data/hiscore.dat").string()), std::string::npos) << err;
  EXPECT_EQ(ReadBytes("data/hiscore.dat"), (std::vector<uint8_t>{0x10, 0, 0, 0}));
  EXPECT_EQ(std::distance(fs::directory_iterator("data"), fs::directory_iterator()), 1) << "a temporary was left";
}

// Whatever an old run or a stranger left at the temporary's old fixed name is passed over
// and left alone, a link out of the folder included; the save itself goes through.
TEST_F(DataFiles, AnythingAtTheOldTemporaryNameIsPassedOver) {
  WriteBytes("outside.txt", {'k', 'e', 'e', 'p'});
  for (const char* kind : {"folder", "link", "fifo"}) {
    fs::remove_all("data");
    fs::create_directories("data");
    if (std::string(kind) == "folder") fs::create_directories("data/hiscore.dat.tmp");
    if (std::string(kind) == "link") fs::create_symlink(fs::absolute("outside.txt"), "data/hiscore.dat.tmp");
    if (std::string(kind) == "fifo") {
      ASSERT_EQ(::mkfifo("data/hiscore.dat.tmp", 0644), 0);
    }
    player.best_sc = 4321;
    testing::internal::CaptureStderr();
    BestScoreFile(1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << kind;
    EXPECT_EQ(ReadBytes("data/hiscore.dat"), (std::vector<uint8_t>{0xe1, 0x10, 0, 0})) << kind;
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status("data/hiscore.dat"))) << kind;
    EXPECT_EQ(ReadBytes("outside.txt"), (std::vector<uint8_t>{'k', 'e', 'e', 'p'})) << kind;
    EXPECT_TRUE(fs::exists(fs::symlink_status("data/hiscore.dat.tmp"))) << kind;
  }
}

// Another copy of the game saved a higher best score after this one loaded: it stands.
// The stereo mode is simply the last one saved.
TEST_F(DataFiles, HigherBestScoreOnDiskStandsAndModeIsLastWriterWins) {
  struct best_case {
    int on_disk, in_memory, saved;
  };
  const best_case cases[] = {{9000, 5000, 9000}, {5000, 12000, 12000}, {-5, -7, -5}, {0, 0, 0}};
  for (const best_case& c : cases) {
    WriteBytes("data/hiscore.dat", {static_cast<uint8_t>(c.on_disk), static_cast<uint8_t>(c.on_disk >> 8),
                                  static_cast<uint8_t>(c.on_disk >> 16), static_cast<uint8_t>(c.on_disk >> 24)});
    WriteBytes("data/anaglyph3d.dat", {3, 0, 0, 0});
    player.best_sc = c.in_memory;
    stereo_mode = 1;
    BestScoreFile(1);
    StereoModeFile(2);
    std::vector<uint8_t> b = ReadBytes("data/hiscore.dat");
    ASSERT_EQ(b.size(), 4u);
    EXPECT_EQ(static_cast<int>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24), c.saved)
        << c.on_disk << " on disk, " << c.in_memory << " in memory";
    EXPECT_EQ(ReadBytes("data/anaglyph3d.dat"), (std::vector<uint8_t>{1, 0, 0, 0}));
  }
}

// A named pipe where a data file should be neither hangs the load nor is replaced at exit.
TEST_F(DataFiles, NamedPipesAreRefusedAtOnceAndLeftInPlace) {
  fs::create_directories("data");
  ASSERT_EQ(::mkfifo("data/hiscore.dat", 0644), 0);
  ASSERT_EQ(::mkfifo("data/anaglyph3d.dat", 0644), 0);
  auto start = std::chrono::steady_clock::now();
  player.best_sc = 1;
  stereo_mode = 2;
  BestScoreFile(0);
  StereoModeFile(1);
  EXPECT_EQ(player.best_sc, 0);
  EXPECT_EQ(stereo_mode, 2);  // kept, as for a missing file
  player.best_sc = 800;
  testing::internal::CaptureStderr();
  StereoModeFile(2);
  BestScoreFile(1);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
  EXPECT_NE(err.find("left " + fs::absolute("data/hiscore.dat").string() + " as it was"), std::string::npos) << err;
  EXPECT_NE(err.find("named pipe"), std::string::npos) << err;
  EXPECT_TRUE(fs::is_fifo("data/hiscore.dat"));
  EXPECT_TRUE(fs::is_fifo("data/anaglyph3d.dat"));
}

// The message says what really stands in the way, with the path as the system spells it.
TEST_F(DataFiles, NoFolderMessageSaysWhatHappened) {
  WriteBytes("data", {'x'});
  player.best_sc = 5;
  testing::internal::CaptureStderr();
  BestScoreFile(1);
  std::string err = testing::internal::GetCapturedStderr();
  std::string folder = fs::absolute("data").string();
  EXPECT_NE(err.find(folder + " is a file, not a folder"), std::string::npos) << err;
  EXPECT_EQ(err.find('\\'), std::string::npos) << err;
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
