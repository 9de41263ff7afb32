// Test entry: headless SDL unless the caller chose otherwise. The binary also runs whole
// in one process, so a test or suite that leaves process-wide state behind (a virtual pad
// still attached, another working folder, SDL_ or KELVANE_ settings in the environment)
// is named and fails the run.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

struct process_state {
  int pads = 0;
  std::string folder, env;

  static process_state Now() {
    process_state s;
    s.pads = SDL_WasInit(SDL_INIT_JOYSTICK) ? SDL_NumJoysticks() : 0;
    std::error_code ec;
    s.folder = std::filesystem::current_path(ec).string();
    for (char** e = environ; *e; e++)
      if (!std::strncmp(*e, "SDL_", 4) || !std::strncmp(*e, "KELVANE_", 8)) s.env += std::string(*e) + " ";
    return s;
  }
  std::string Leaks(const process_state& before) const {
    std::string what;
    if (pads > before.pads) what += " left a virtual pad attached;";
    if (folder != before.folder) what += " left the working folder at '" + folder + "';";
    if (env != before.env) what += " changed the environment from [" + before.env + "] to [" + env + "];";
    return what;
  }
};

class LeakGuard : public ::testing::EmptyTestEventListener {
 public:
  int leaks = 0;

 private:
  void OnTestSuiteStart(const ::testing::TestSuite&) override { suite_ = process_state::Now(); }
  void OnTestStart(const ::testing::TestInfo&) override { test_ = process_state::Now(); }
  void OnTestEnd(const ::testing::TestInfo& t) override {
    Check(std::string(t.test_suite_name()) + "." + t.name(), test_);
  }
  void OnTestSuiteEnd(const ::testing::TestSuite& s) override { Check(s.name(), suite_); }
  void Check(const std::string& who, const process_state& before) {
    std::string what = process_state::Now().Leaks(before);
    if (what.empty()) return;
    leaks++;
    std::fprintf(stderr, "[  LEAKED  ] %s%s\n", who.c_str(), what.c_str());
  }
  process_state suite_, test_;
};

}  // namespace

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  ::testing::InitGoogleTest(&argc, argv);
  auto* guard = new LeakGuard;  // the listener list owns it
  ::testing::UnitTest::GetInstance()->listeners().Append(guard);
  int result = RUN_ALL_TESTS();
  return result != 0 || guard->leaks != 0 ? 1 : 0;
}
