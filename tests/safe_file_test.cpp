// Safe files: opens that never wait on a FIFO or take anything but a regular file, and a
// replace that is flushed to disk before the rename, sees the file as it stands just
// before it, and clears only its own stale leftovers.
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/safe_file.h"
#include "platform/stream.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

// Every fsync of the test program is seen here: the file it flushed, and what the target
// held at that moment, so the order of flush and rename can be told afterwards.
namespace {
struct flush_seen {
  std::string path, target_then;
};
std::vector<flush_seen>* flush_log = nullptr;
std::string flush_target;


}  // namespace

extern "C" int fsync(int fd) {
  static auto real = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
  if (flush_log) {
    std::error_code ec;
    fs::path p = fs::read_symlink("/proc/self/fd/" + std::to_string(fd), ec);
    flush_log->push_back({p.string(), ReadText(flush_target)});
  }
  return real(fd);
}

namespace {

class SafeFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.Enter("safe"));
  }
  void TearDown() override {
    flush_log = nullptr;
    dir_.Remove();
  }
  static void Put(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
  static TFileCompose Constant(const std::string& bytes) {
    return [bytes](const TFileRead&) { return bytes; };
  }
  temp_folder dir_;
};

TEST_F(SafeFiles, ReplaceFlushesTheFileBeforeTheRenameAndTheFolderAfter) {
  Put("score.dat", "old!");
  std::vector<flush_seen> log;
  flush_target = (dir_ / "score.dat").string();
  flush_log = &log;
  std::string why;
  ASSERT_EQ(ReplaceFile("score.dat", Constant("new!"), &why), 1) << why;
  flush_log = nullptr;
  int file_before = -1, folder_after = -1;
  for (size_t i = 0; i < log.size(); i++) {
    if (log[i].path.find("/score.dat.tmp-") != std::string::npos && log[i].target_then == "old!") file_before = int(i);
    if (log[i].path == dir_.path().string() && log[i].target_then == "new!") folder_after = int(i);
  }
  EXPECT_GE(file_before, 0) << "the temporary was not flushed before it replaced the file";
  EXPECT_GT(folder_after, file_before) << "the folder was not flushed after the rename";
  EXPECT_EQ(ReadText("score.dat"), "new!");
}

// Another writer changes the file while ours is being written: the rename carries what
// compose makes of the file as it stands at the last look.
TEST_F(SafeFiles, ComposeSeesTheFileAsItStandsJustBeforeTheRename) {
  Put("score.dat", "1");
  std::vector<std::string> seen;
  TFileCompose compose = [&seen](const TFileRead& now) {
    seen.push_back(now.bytes);
    if (seen.size() == 1) Put("score.dat", "7");  // another copy saves meanwhile
    return "max " + std::string(now.bytes > "5" ? now.bytes : "5");
  };
  std::string why;
  ASSERT_EQ(ReplaceFile("score.dat", compose, &why), 1) << why;
  EXPECT_EQ(ReadText("score.dat"), "max 7");
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen.front(), "1");
  EXPECT_EQ(seen.back(), "7");
}

TEST_F(SafeFiles, StaleTemporariesGoFreshOnesAndLinksStay) {
  Put("outside.txt", "keep");
  Put("score.dat.tmp-dead", "x");
  Put("score.dat.tmp-busy", "y");
  fs::create_symlink(dir_ / "outside.txt", "score.dat.tmp-link");
  Put("other.dat.tmp-dead", "z");
  timespec old_times[2] = {{std::time(nullptr) - 600, 0}, {std::time(nullptr) - 600, 0}};
  for (const char* name : {"score.dat.tmp-dead", "score.dat.tmp-link", "other.dat.tmp-dead"})
    ASSERT_EQ(::utimensat(AT_FDCWD, name, old_times, AT_SYMLINK_NOFOLLOW), 0) << name;
  std::string why;
  ASSERT_EQ(ReplaceFile("score.dat", Constant("v"), &why), 1) << why;
  EXPECT_FALSE(fs::exists("score.dat.tmp-dead"));
  EXPECT_TRUE(fs::exists("score.dat.tmp-busy"));
  EXPECT_TRUE(fs::is_symlink("score.dat.tmp-link"));
  EXPECT_TRUE(fs::exists("other.dat.tmp-dead"));  // not this file's
  EXPECT_EQ(ReadText("outside.txt"), "keep");
  EXPECT_EQ(ReadText("score.dat"), "v");
}

// The file as it stood is never replaced when it could not be read; nothing is left behind.
TEST_F(SafeFiles, ExistingButUnreadableIsLeftAsItIs) {
  fs::create_directories("score.dat");
  ASSERT_EQ(::mkfifo("pipe.dat", 0644), 0);
  for (const char* name : {"score.dat", "pipe.dat"}) {
    std::string why;
    EXPECT_EQ(ReplaceFile(name, Constant("v"), &why), FILE_UNREADABLE) << name;
    EXPECT_FALSE(why.empty());
  }
  EXPECT_TRUE(fs::is_directory("score.dat"));
  EXPECT_TRUE(fs::is_fifo("pipe.dat"));
  EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 2);
}

// Each kind of thing where a file should be, opened for reading and for writing.
TEST_F(SafeFiles, OnlyRegularFilesOpenAndNothingWaits) {
  Put("plain.dat", "abc");
  ASSERT_EQ(::mkfifo("pipe.ogg", 0644), 0);
  fs::create_directories("folder.dat");
  fs::create_symlink("nowhere.dat", "dangling.dat");
  struct open_case {
    const char* path;
    int opens;
    int read_status;
  };
  const open_case cases[] = {
      {"plain.dat", 1, FILE_READ},          {"pipe.ogg", 0, FILE_UNREADABLE}, {"folder.dat", 0, FILE_UNREADABLE},
      {"/dev/null", 0, FILE_UNREADABLE},    {"missing.dat", 0, FILE_MISSING}, {"dangling.dat", 0, FILE_MISSING},
  };
  EXPECT_EQ(ReadSmallFile("plain.dat", 2).bytes, "ab");
  auto start = std::chrono::steady_clock::now();
  for (const open_case& c : cases) {
    std::string why;
    int fd = OpenRegularFile(c.path, O_RDONLY, &why);
    EXPECT_EQ(fd >= 0, c.opens != 0) << c.path;
    if (fd >= 0) ::close(fd);
    EXPECT_EQ(ReadSmallFile(c.path, 16).status, c.read_status) << c.path;
    EXPECT_EQ(OpenReadStream(c.path) != nullptr, c.opens != 0) << c.path;
    if (c.read_status != FILE_MISSING) {
      EXPECT_EQ(OpenWriteStream(c.path) != nullptr, c.opens != 0) << c.path;
    }
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(ReadSmallFile("pipe.ogg", 16).why, "it is a named pipe");
  EXPECT_EQ(fs::file_size("plain.dat"), 0u);  // the write stream emptied it
}

// A stream larger than asked for is refused on its size, before its bytes are read.
TEST_F(SafeFiles, WholeStreamRefusesWhatIsLargerThanAsked) {
  for (int64_t size : {int64_t(1) << 20, (int64_t(64) << 20) + 1}) {
    { std::ofstream("big.ogg", std::ios::binary | std::ios::trunc); }
    fs::resize_file("big.ogg", static_cast<uintmax_t>(size));  // sparse: no disk used
    int ok = -1;
    std::string bytes = ReadWholeStream("big.ogg", &ok, int64_t(64) << 20);
    EXPECT_EQ(ok, size <= (int64_t(64) << 20)) << size;
    EXPECT_EQ(static_cast<int64_t>(bytes.size()), ok ? size : 0) << size;
  }
}

TEST_F(SafeFiles, FolderIsMadeOrItsObstacleNamed) {
  std::string why;
  EXPECT_EQ(EnsureFolder("a/b", &why), 1) << why;
  EXPECT_TRUE(fs::is_directory("a/b"));
  Put("plain", "x");
  ASSERT_EQ(::mkfifo("pipe", 0644), 0);
  EXPECT_EQ(EnsureFolder("plain", &why), 0);
  EXPECT_EQ(why, (dir_ / "plain").string() + " is a file, not a folder");
  EXPECT_EQ(EnsureFolder("pipe", &why), 0);
  EXPECT_EQ(why, (dir_ / "pipe").string() + " is a named pipe, not a folder");
  EXPECT_EQ(EnsureFolder("plain/sub", &why), 0);
  EXPECT_NE(why.find((dir_ / "plain" / "sub").string()), std::string::npos) << why;
}

}  // namespace
