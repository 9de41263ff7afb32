// child_process: the built game run as a separate process in a throw-away copy of its
// folder, headless, its output caught, optionally ended by SIGTERM after a delay.
#pragma once
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/file_bytes.h"
#include "support/temp_folder.h"

namespace childproc {

namespace fs = std::filesystem;

struct child_result {
  int exited = 0;     // 1 when it ended through exit
  int code = -1;      // its exit code
  int signal = 0;     // the signal that ended it, if one did
  int timed_out = 0;  // 1 when it had to be killed
  int ms = 0;         // from the start to its end
  int ms_after_stop = -1;  // from the stop signal to its end; -1 when none was sent
  long max_rss_kb = 0;     // its peak resident memory
  std::string out, err;
};

struct child_plan {
  std::string program;
  std::vector<std::string> args;
  std::string cwd;
  std::vector<std::pair<std::string, std::string>> env;  // over the headless defaults
  std::vector<std::string> unset_env;  // names taken out of the environment altogether
  int sigterm_after_ms = -1;
  int stop_signal = SIGTERM;           // what is sent at sigterm_after_ms
  int timeout_ms = 120000;
  long address_space_limit = -1;       // RLIMIT_AS in bytes; -1 leaves it
  int uid = -1, gid = -1;              // run as this user and group (the parent being root)
};

// A child on its way: RunChild is StartChild and then WaitChild.
struct child_run {
  pid_t pid = -1;
  std::chrono::steady_clock::time_point start;
  std::string out, err;  // where its output goes
};

using ::ReadText;

inline int CountLines(const std::string& s) {
  int n = 0;
  for (char c : s) n += c == '\n';
  return n;
}

// The parent's environment with the headless defaults and the plan's own settings over it.
inline std::vector<std::string> ChildEnvironment(const child_plan& plan) {
  std::vector<std::pair<std::string, std::string>> over = {
      {"SDL_VIDEODRIVER", "offscreen"}, {"SDL_AUDIODRIVER", "dummy"}, {"LIBGL_ALWAYS_SOFTWARE", "1"}};
  over.insert(over.end(), plan.env.begin(), plan.env.end());
  auto overridden = [&over](const std::string& name, size_t from) {
    for (size_t i = from; i < over.size(); i++)
      if (over[i].first == name) return true;
    return false;
  };
  std::vector<std::string> env;
  auto unset = [&plan](const std::string& name) {
    for (const std::string& u : plan.unset_env)
      if (u == name) return true;
    return false;
  };
  for (char** e = environ; *e; e++) {
    std::string kv = *e;
    std::string name = kv.substr(0, kv.find('='));
    if (!overridden(name, 0) && !unset(name)) env.push_back(kv);
  }
  for (size_t i = 0; i < over.size(); i++)  // a later setting wins
    if (!overridden(over[i].first, i + 1) && !unset(over[i].first)) env.push_back(over[i].first + "=" + over[i].second);
  return env;
}

// A test run killed half-way (a timeout, Ctrl-C) must not leave a game or a server running
// for hours; called in the child after any change of user, which would clear the setting.
inline void DieWithParent(pid_t parent) {
  if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) _exit(127);
}

// Everything is prepared before the fork: only async-signal-safe calls run between fork and exec.
[[noreturn]] inline void ExecChild(const child_plan& plan, char* const* argv, char* const* envp, const char* out,
                                   const char* err, pid_t parent) {
  int o = open(out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  int e = open(err, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (o < 0 || e < 0 || dup2(o, 1) < 0 || dup2(e, 2) < 0 || chdir(plan.cwd.c_str()) != 0) _exit(127);
  if (plan.address_space_limit >= 0) {
    rlimit lim{static_cast<rlim_t>(plan.address_space_limit), static_cast<rlim_t>(plan.address_space_limit)};
    if (setrlimit(RLIMIT_AS, &lim) != 0) _exit(127);
  }
  if (plan.gid >= 0 && (setgroups(0, nullptr) != 0 || setgid(static_cast<gid_t>(plan.gid)) != 0)) _exit(127);
  if (plan.uid >= 0 && setuid(static_cast<uid_t>(plan.uid)) != 0) _exit(127);
  DieWithParent(parent);
  execve(plan.program.c_str(), argv, envp);
  _exit(127);
}

inline std::vector<char*> CStrings(std::vector<std::string>& v) {
  std::vector<char*> p;
  for (auto& s : v) p.push_back(s.data());
  p.push_back(nullptr);
  return p;
}

inline int MillisSince(std::chrono::steady_clock::time_point t) {
  return static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t).count());
}

inline child_run StartChild(const child_plan& plan, const fs::path& log_dir) {
  child_run run;
  run.out = (log_dir / "stdout.txt").string();
  run.err = (log_dir / "stderr.txt").string();
  std::vector<std::string> args = {plan.program};
  args.insert(args.end(), plan.args.begin(), plan.args.end());
  std::vector<std::string> env = ChildEnvironment(plan);
  std::vector<char*> argv = CStrings(args), envp = CStrings(env);
  run.start = std::chrono::steady_clock::now();
  pid_t parent = getpid();
  run.pid = fork();
  if (run.pid == 0) ExecChild(plan, argv.data(), envp.data(), run.out.c_str(), run.err.c_str(), parent);
  return run;
}

// Waits for the child's end, sending the plan's stop signal on time and killing it at the timeout.
inline child_result WaitChild(const child_run& run, const child_plan& plan) {
  child_result r;
  if (run.pid < 0) return r;
  int status = 0, stopped_at = -1;
  rusage usage{};
  for (;;) {
    pid_t w = wait4(run.pid, &status, WNOHANG, &usage);
    if (w == run.pid) break;
    int ms = MillisSince(run.start);
    if (stopped_at < 0 && plan.sigterm_after_ms >= 0 && ms >= plan.sigterm_after_ms) {
      kill(run.pid, plan.stop_signal);
      stopped_at = ms;
    }
    if (ms >= plan.timeout_ms) {
      kill(run.pid, SIGKILL);
      wait4(run.pid, &status, 0, &usage);
      r.timed_out = 1;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  r.ms = MillisSince(run.start);
  if (stopped_at >= 0) r.ms_after_stop = r.ms - stopped_at;
  r.max_rss_kb = usage.ru_maxrss;
  if (WIFEXITED(status)) r.exited = 1, r.code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) r.signal = WTERMSIG(status);
  r.out = ReadText(run.out);
  r.err = ReadText(run.err);
  return r;
}

inline child_result RunChild(const child_plan& plan, const fs::path& log_dir) {
  return WaitChild(StartChild(plan, log_dir), plan);
}

// This test program again, running only the (disabled) cases the filter names: for cases
// that start the game for real, toggle its display or end the process.
inline child_result RunOwnTests(const std::string& filter, const fs::path& cwd, const fs::path& log_dir,
                                std::vector<std::pair<std::string, std::string>> env = {}) {
  child_plan plan;
  plan.program = fs::read_symlink("/proc/self/exe").string();
  plan.args = {"--gtest_also_run_disabled_tests", "--gtest_filter=" + filter};
  plan.cwd = cwd.string();
  plan.env = std::move(env);
  return RunChild(plan, log_dir);
}

// A temporary folder holding `game/` (the program's folder) and the child's captured output.
class game_folder {
 public:
  explicit game_folder(int with_sounds) {
    made_.Make("child");
    root_ = made_.path();
    game_ = root_ / "game";
    fs::create_directories(game_);
    fs::copy_file(fs::path(KELVANE_BINARY_DIR) / "kelvane", game_ / "kelvane");
    if (with_sounds) CopySounds(fs::path(KELVANE_BINARY_DIR) / "data", game_ / "data");
  }

  fs::path root() const { return root_; }
  fs::path game() const { return game_; }
  fs::path at(const std::string& rel) const { return game_ / rel; }

  void Write(const std::string& rel, const std::vector<uint8_t>& bytes) const { WriteBytes(at(rel), bytes); }
  std::vector<uint8_t> Read(const std::string& rel) const { return ReadBytes(at(rel)); }

  // The real program, started by its full path so it finds its own folder.
  child_plan GamePlan(int sigterm_after_ms, std::vector<std::pair<std::string, std::string>> env = {}) const {
    child_plan plan;
    plan.program = at("kelvane").string();
    plan.cwd = root_.string();  // not its own folder: it has to change there itself
    plan.env = std::move(env);
    plan.sigterm_after_ms = sigterm_after_ms;
    return plan;
  }
  child_result RunGame(int sigterm_after_ms, std::vector<std::pair<std::string, std::string>> env = {}) const {
    return RunChild(GamePlan(sigterm_after_ms, std::move(env)), root_);
  }

  // The playtest tool running the real game from a script, in the game's folder.
  child_plan ScriptPlan(const std::string& script, std::vector<std::pair<std::string, std::string>> env = {}) const {
    std::ofstream(root_ / "script.txt") << script;
    child_plan plan;
    plan.program = (fs::path(KELVANE_BINARY_DIR) / "tools" / "playtest" / "playtest").string();
    plan.args = {(root_ / "script.txt").string(), root_.string()};
    plan.cwd = game_.string();
    plan.env = std::move(env);
    return plan;
  }
  child_result RunScript(const std::string& script, std::vector<std::pair<std::string, std::string>> env = {}) const {
    return RunChild(ScriptPlan(script, std::move(env)), root_);
  }

 private:
  temp_folder made_;
  fs::path root_, game_;
};

inline std::vector<uint8_t> IntBytes(int v) {
  uint32_t u = static_cast<uint32_t>(v);
  return {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
          static_cast<uint8_t>(u >> 24)};
}

// "playtest: N frames" on stdout; -1 when it never got that far.
inline int PlaytestFrames(const std::string& out) {
  size_t at = out.find("playtest: ");
  if (at == std::string::npos) return -1;
  std::istringstream in(out.substr(at + 10));
  int n = -1;
  in >> n;
  return n;
}

}  // namespace childproc
