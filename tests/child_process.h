// child_process: the built game run as a separate process in a throw-away copy of its
// folder, headless, its output caught, optionally ended by SIGTERM after a delay.
#pragma once
#include <fcntl.h>
#include <signal.h>
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

namespace childproc {

namespace fs = std::filesystem;

struct child_result {
  int exited = 0;     // 1 when it ended through exit
  int code = -1;      // its exit code
  int signal = 0;     // the signal that ended it, if one did
  int timed_out = 0;  // 1 when it had to be killed
  std::string out, err;
};

struct child_plan {
  std::string program;
  std::vector<std::string> args;
  std::string cwd;
  std::vector<std::pair<std::string, std::string>> env;  // over the headless defaults
  int sigterm_after_ms = -1;
  int timeout_ms = 120000;
};

inline std::string ReadText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

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
  for (char** e = environ; *e; e++) {
    std::string kv = *e;
    if (!overridden(kv.substr(0, kv.find('=')), 0)) env.push_back(kv);
  }
  for (size_t i = 0; i < over.size(); i++)  // a later setting wins
    if (!overridden(over[i].first, i + 1)) env.push_back(over[i].first + "=" + over[i].second);
  return env;
}

// Everything is prepared before the fork: only async-signal-safe calls run between fork and exec.
[[noreturn]] inline void ExecChild(const char* program, const char* cwd, char* const* argv, char* const* envp,
                                   const char* out, const char* err) {
  int o = open(out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  int e = open(err, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (o < 0 || e < 0 || dup2(o, 1) < 0 || dup2(e, 2) < 0 || chdir(cwd) != 0) _exit(127);
  execve(program, argv, envp);
  _exit(127);
}

inline std::vector<char*> CStrings(std::vector<std::string>& v) {
  std::vector<char*> p;
  for (auto& s : v) p.push_back(s.data());
  p.push_back(nullptr);
  return p;
}

inline child_result RunChild(const child_plan& plan, const fs::path& log_dir) {
  child_result r;
  fs::path out = log_dir / "stdout.txt", err = log_dir / "stderr.txt";
  std::vector<std::string> args = {plan.program};
  args.insert(args.end(), plan.args.begin(), plan.args.end());
  std::vector<std::string> env = ChildEnvironment(plan);
  std::vector<char*> argv = CStrings(args), envp = CStrings(env);
  pid_t pid = fork();
  if (pid == 0) ExecChild(plan.program.c_str(), plan.cwd.c_str(), argv.data(), envp.data(), out.c_str(), err.c_str());
  if (pid < 0) return r;
  auto start = std::chrono::steady_clock::now();
  int status = 0, termed = 0;
  for (;;) {
    pid_t w = waitpid(pid, &status, WNOHANG);
    if (w == pid) break;
    int ms = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
    if (!termed && plan.sigterm_after_ms >= 0 && ms >= plan.sigterm_after_ms) {
      kill(pid, SIGTERM);
      termed = 1;
    }
    if (ms >= plan.timeout_ms) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      r.timed_out = 1;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (WIFEXITED(status)) r.exited = 1, r.code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) r.signal = WTERMSIG(status);
  r.out = ReadText(out);
  r.err = ReadText(err);
  return r;
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
    std::string templ = (fs::temp_directory_path() / "kelvane_child_XXXXXX").string();
    root_ = mkdtemp(templ.data()) ? fs::path(templ) : fs::path();
    game_ = root_ / "game";
    fs::create_directories(game_);
    fs::copy_file(fs::path(KELVANE_BINARY_DIR) / "kelvane", game_ / "kelvane");
    if (!with_sounds) return;
    fs::create_directories(game_ / "data");
    for (const auto& e : fs::directory_iterator(fs::path(KELVANE_BINARY_DIR) / "data"))
      if (e.path().extension() == ".ogg") fs::copy_file(e.path(), game_ / "data" / e.path().filename());
  }
  ~game_folder() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  game_folder(const game_folder&) = delete;
  game_folder& operator=(const game_folder&) = delete;

  fs::path root() const { return root_; }
  fs::path game() const { return game_; }
  fs::path at(const std::string& rel) const { return game_ / rel; }

  void Write(const std::string& rel, const std::vector<uint8_t>& bytes) const {
    std::ofstream f(at(rel), std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  std::vector<uint8_t> Read(const std::string& rel) const {
    std::string s = ReadText(at(rel));
    return std::vector<uint8_t>(s.begin(), s.end());
  }

  // The real program, started by its full path so it finds its own folder.
  child_result RunGame(int sigterm_after_ms, std::vector<std::pair<std::string, std::string>> env = {}) const {
    child_plan plan;
    plan.program = at("kelvane").string();
    plan.cwd = root_.string();  // not its own folder: it has to change there itself
    plan.env = std::move(env);
    plan.sigterm_after_ms = sigterm_after_ms;
    return RunChild(plan, root_);
  }

  // The playtest tool running the real game from a script, in the game's folder.
  child_result RunScript(const std::string& script, std::vector<std::pair<std::string, std::string>> env = {}) const {
    std::ofstream(root_ / "script.txt") << script;
    child_plan plan;
    plan.program = (fs::path(KELVANE_BINARY_DIR) / "tools" / "playtest" / "playtest").string();
    plan.args = {(root_ / "script.txt").string(), root_.string()};
    plan.cwd = game_.string();
    plan.env = std::move(env);
    return RunChild(plan, root_);
  }

 private:
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
