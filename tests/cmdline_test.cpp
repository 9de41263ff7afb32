// The command line in the test process: what starts the game and what --windowed sets.
// (--help, --version and unknown options run on the installed program: install_test.cpp.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/cmdline.h"

namespace {

int RunWith(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  return RunCommandLine(static_cast<int>(args.size()), argv.data());
}

// Each case leaves KELVANE_WINDOWED as it found it.
class CommandLine : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* v = std::getenv("KELVANE_WINDOWED");
    had_ = v != nullptr;
    old_ = v ? v : "";
    unsetenv("KELVANE_WINDOWED");
  }
  void TearDown() override {
    if (had_) setenv("KELVANE_WINDOWED", old_.c_str(), 1);
    else unsetenv("KELVANE_WINDOWED");
  }
  bool had_ = false;
  std::string old_;
};

TEST_F(CommandLine, NoOptionStartsTheGameAsItAlwaysHas) {
  EXPECT_EQ(RunWith({"kelvane"}), -1);
  EXPECT_EQ(std::getenv("KELVANE_WINDOWED"), nullptr);
}

TEST_F(CommandLine, WindowedStartsTheGameWithTheWindowSwitchOn) {
  for (const char* before : {"", "0"}) {  // the option wins over a switch left off in the environment
    SCOPED_TRACE(before);
    if (*before) setenv("KELVANE_WINDOWED", before, 1);
    EXPECT_EQ(RunWith({"kelvane", "--windowed"}), -1);
    ASSERT_NE(std::getenv("KELVANE_WINDOWED"), nullptr);
    EXPECT_STREQ(std::getenv("KELVANE_WINDOWED"), "1");
  }
}

TEST_F(CommandLine, AnUnknownOptionAfterWindowedStopsBeforeAnythingIsSet) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunWith({"kelvane", "--windowed", "--fullscreen"}), 2);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.find("kelvane: unknown option '--fullscreen'\n"), 0u) << err;
  EXPECT_EQ(std::getenv("KELVANE_WINDOWED"), nullptr);
}

TEST_F(CommandLine, VersionPrintsTheProjectVersion) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(RunWith({"kelvane", "--version"}), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Kelvane " KELVANE_PROJECT_VERSION "\n");
}

// --help prints the usage, the options, the controls and where the files are, and starts
// nothing; the working folder it looks from is put back.
TEST_F(CommandLine, HelpPrintsUsageOptionsControlsAndFiles) {
  std::string home = std::filesystem::current_path().string();
  testing::internal::CaptureStdout();
  int code = RunWith({"kelvane", "--help"});
  std::string out = testing::internal::GetCapturedStdout();
  std::filesystem::current_path(home);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(out.find("Usage: kelvane [--windowed]\n"), 0u) << out;
  for (const char* part : {"--help      print this help and exit", "Left Alt             launch a fire wall",
                           "\nFiles:\n  sounds                /", "  best score, 3D mode   /"})
    EXPECT_NE(out.find(part), std::string::npos) << part;
  EXPECT_EQ(std::getenv("KELVANE_WINDOWED"), nullptr);
}

}  // namespace
