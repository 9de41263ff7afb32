// A hostile environment, met by the real program in a child process: its X server killed
// under it, its window unfocused when a close request comes, no display at all, files it
// can't read, named pipes and links where its files should be, signals, a second copy in
// the same folder, and sound files far too large. Each case checks the exit code, the time
// it took to end where a hang was the fault, and the bytes of both data files afterwards.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "hostile_env.h"
#include "support/child_process.h"

namespace {

using childproc::child_plan;
using childproc::child_result;
using childproc::child_run;
using childproc::CountLines;
using childproc::game_folder;
using childproc::IntBytes;
using childproc::PlaytestFrames;
using hostile::open_watch;
using hostile::rgb;
using hostile::screen_shot;
using hostile::SleepMs;
using hostile::xvfb_server;
namespace fs = std::filesystem;

const int kSigtermMs = 2500;  // after the one-second display test, as in the failure tests
// A run that ends later than this after its cue has hung: 3 s on a machine with a core to
// spare, stretched by the load when the machine is shared (a hang never ends at all; the
// children are killed after a minute and fail anyway).
int HangLimitMs() {
  double load = 0;
  std::ifstream("/proc/loadavg") >> load;
  long cores = sysconf(_SC_NPROCESSORS_ONLN);
  double crowding = cores > 0 ? load / static_cast<double>(cores) : 1.0;
  return static_cast<int>(3000 * (crowding > 1.0 ? crowding : 1.0));
}
const int kTail = 1000;

const std::vector<uint8_t> kMissing;  // what Read gives for a file that isn't there

void ExpectExit(const child_result& r, int code) {
  EXPECT_FALSE(r.timed_out) << "it hung";
  EXPECT_EQ(r.signal, 0) << r.err;
  EXPECT_TRUE(r.exited);
  EXPECT_EQ(r.code, code) << r.err;
}

void ExpectStored(const game_folder& g, const std::vector<uint8_t>& stereo, const std::vector<uint8_t>& best) {
  EXPECT_EQ(g.Read("data/anaglyph3d.dat"), stereo);
  EXPECT_EQ(g.Read("data/hiscore.dat"), best);
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) n++;
  return n;
}

bool RunningUnderSanitizer() {
#if defined(__SANITIZE_ADDRESS__)
  return true;
#else
  return false;
#endif
}

#define SKIP_WITHOUT_X_TOOLS()                                                                  \
  if (!hostile::HaveProgram("Xvfb") || !hostile::HaveProgram("xdotool"))                        \
  GTEST_SKIP() << "needs Xvfb and xdotool (scripts/deps.sh installs them)"

// Starts the real program and, once it has read its best score (start-up's file reads
// done, the splash about to show), sends it the signal; ms_after_stop is the time from
// there to its end. A start-up that hangs never gets that far and fails the wait.
child_result SignalAfterLoad(const game_folder& g, child_plan plan, int sig = SIGTERM) {
  open_watch loaded(g.at("data/hiscore.dat"));
  plan.sigterm_after_ms = -1;
  plan.timeout_ms = 60000;
  child_run run = childproc::StartChild(plan, g.root());
  EXPECT_TRUE(loaded.WaitForOpen(40000)) << "the game never read its best score";
  SleepMs(500);
  kill(run.pid, sig);
  auto sent = std::chrono::steady_clock::now();
  child_result r = childproc::WaitChild(run, plan);
  r.ms_after_stop = childproc::MillisSince(sent);
  return r;
}

// The real program, with its sounds, on an X server of the test's own.
struct game_on_x {
  xvfb_server x;
  game_folder g{1};
  child_plan plan;
  child_run run;

  // Stores the best score (and the stereo mode, unless -1), starts the game and returns once
  // it has read its best score.
  void Start(int best, int stereo = -1) {
    g.Write("data/hiscore.dat", IntBytes(best));
    if (stereo >= 0) g.Write("data/anaglyph3d.dat", IntBytes(stereo));
    open_watch loaded(g.at("data/hiscore.dat"));
    plan = g.GamePlan(-1, {{"SDL_VIDEODRIVER", "x11"}, {"DISPLAY", x.display()}});
    plan.timeout_ms = 60000;
    run = childproc::StartChild(plan, g.root());
    EXPECT_TRUE(loaded.WaitForOpen(40000)) << "the game never read its best score";
  }

  // Its end, given a minute from now: the waits on the screen before may have used up the
  // minute it had from its start, and a game killed at once would read as a hang.
  child_result Wait() {
    plan.timeout_ms = childproc::MillisSince(run.start) + 60000;
    return childproc::WaitChild(run, plan);
  }
};

// The title menu is up once the score panel's strip along the top is lit; the splash is
// black there.
int TitleShown(const screen_shot& s) {
  for (int x = 0; x < 640; x += 4)
    if (std::max({s.at(x, 20).r, s.at(x, 20).g, s.at(x, 20).b}) > 80) return 1;
  return 0;
}

// Red/cyan stereo leaves cyan fringes all over the picture; red/green leaves none.
int RedCyanShown(const screen_shot& s) {
  return s.Count([](rgb c) { return c.r < 60 && c.g > 150 && c.b > 150; }) > 2000;
}

// Clicks where no menu row is until the splash gives way to the title menu. Waiting on
// the picture, not on the clock, keeps a slow machine from losing the clicks that follow.
int ReachTitle(const xvfb_server& x) {
  return x.WaitForScreen(
      [&x](const screen_shot& s) {
        if (TitleShown(s)) return 1;
        x.Xdo("mousemove 320 240 click 1");
        return 0;
      },
      40000);
}

// --- 1. the display server ends under the running game -----------------------------------

TEST(HostileDisplay, ServerKilledUnderTheGameSavesBothFilesAndEndsAtOnce) {
  SKIP_WITHOUT_X_TOOLS();
  game_on_x on;
  ASSERT_TRUE(on.x.ok());
  on.Start(5000, 2);
  EXPECT_TRUE(ReachTitle(on.x)) << "the title menu never showed";
  on.x.Xdo("mousemove 320 295 click 1");  // "3D Graphics": R\G becomes R\C, in memory only
  EXPECT_TRUE(on.x.WaitForScreen(RedCyanShown, 40000)) << "the click on 3D Graphics never showed";
  on.x.Kill();
  auto killed = std::chrono::steady_clock::now();
  child_result r = on.Wait();
  int ms = childproc::MillisSince(killed);
  ExpectExit(r, 1);
  EXPECT_LT(ms, HangLimitMs()) << "ended " << ms << " ms after its X server";
  EXPECT_EQ(CountLines(r.err), 1) << r.err;
  EXPECT_NE(r.err.find("display"), std::string::npos) << r.err;
  ExpectStored(on.g, IntBytes(3), IntBytes(5000));
}

// While the game is on an X server of the test's: its window carries the game's icon, as a
// window manager reads it (64 px, rounded corners clear).
TEST(HostileDisplay, WindowCarriesTheGamesIcon) {
  SKIP_WITHOUT_X_TOOLS();
  game_on_x on;
  ASSERT_TRUE(on.x.ok());
  on.Start(0);
  std::string window = on.x.Xdo("search --name Kelvane");
  ASSERT_FALSE(window.empty());
  xvfb_server::icon icon = on.x.IconOf(std::stoul(window.substr(0, window.find('\n'))));
  EXPECT_EQ(icon.w, 64);
  EXPECT_EQ(icon.h, 64);
  EXPECT_GT(icon.opaque, 64 * 64 / 2);
  EXPECT_LT(icon.opaque, 64 * 64);
  kill(on.run.pid, SIGTERM);
  ExpectExit(on.Wait(), 0);
}

// --- 6. no display: one line and exit code 1, never SDL's invisible fallback ---------------

TEST(HostileDisplay, NoReachableDisplayIsOneLineAndExitCodeOne) {
  // A number no server holds: -displayfd hands out the lowest free ones, and a killed
  // server's number may be handed out again at once to a test running beside this one.
  int number = 60000 + static_cast<int>(getpid() % 5000);
  auto taken = [](int n) {
    return fs::exists("/tmp/.X11-unix/X" + std::to_string(n)) || fs::exists("/tmp/.X" + std::to_string(n) + "-lock");
  };
  while (taken(number)) number++;
  std::string dead_display = ":";
  dead_display += std::to_string(number);
  struct no_display_case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> env;
    std::vector<std::string> unset;
  };
  const no_display_case cases[] = {
      {"nothing set", {}, {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}},
      {"an X display nobody serves", {{"DISPLAY", dead_display}}, {"WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}},
  };
  for (const no_display_case& c : cases) {
    SCOPED_TRACE(c.name);
    game_folder g(1);
    g.Write("data/hiscore.dat", IntBytes(77));
    child_plan plan = g.GamePlan(-1, c.env);
    plan.env.push_back({"XDG_RUNTIME_DIR", g.root().string()});  // as in any login session
    plan.unset_env = c.unset;
    plan.timeout_ms = 30000;
    child_result r = childproc::RunChild(plan, g.root());
    ExpectExit(r, 1);
    EXPECT_LT(r.ms, HangLimitMs());
    EXPECT_EQ(CountLines(r.err), 1) << r.err;
    EXPECT_NE(r.err.find("no display found"), std::string::npos) << r.err;
    ExpectStored(g, kMissing, IntBytes(77));
  }
}

// --- 3 and 8. a close request while another window has the focus ---------------------------

struct unfocused_case {
  const char* screen;  // "splash" or "title"
  int sig;
  const char* name;
};

class UnfocusedClose : public ::testing::TestWithParam<unfocused_case> {};

TEST_P(UnfocusedClose, EndsAtOnceThroughTheNormalExit) {
  SKIP_WITHOUT_X_TOOLS();
  game_on_x on;
  ASSERT_TRUE(on.x.ok());
  on.Start(5000);
  std::string window = on.x.Xdo("search --name Kelvane");
  if (std::string(GetParam().screen) == "title") {
    EXPECT_TRUE(ReachTitle(on.x)) << "the title menu never showed";
  }
  SleepMs(500);
  std::string root = on.x.Xdo("search --maxdepth 0 ''");
  on.x.Xdo("windowfocus " + window);
  on.x.Xdo("windowfocus " + root);
  SleepMs(500);
  ASSERT_FALSE(window.empty());
  EXPECT_NE(on.x.Xdo("getwindowfocus"), window) << "the game's window still has the focus";
  kill(on.run.pid, GetParam().sig);
  auto sent = std::chrono::steady_clock::now();
  child_result r = on.Wait();
  int ms = childproc::MillisSince(sent);
  ExpectExit(r, 0);
  EXPECT_LT(ms, HangLimitMs()) << "ended " << ms << " ms after the signal";
  EXPECT_EQ(r.err, "");
  ExpectStored(on.g, IntBytes(0), IntBytes(5000));  // the stereo-mode file made anew shows the save ran
}

const unfocused_case kUnfocusedCases[] = {
    {"splash", SIGTERM, "splash_SIGTERM"}, {"title", SIGTERM, "title_SIGTERM"},
    {"title", SIGINT, "title_SIGINT"},     {"title", SIGHUP, "title_SIGHUP"},
};

INSTANTIATE_TEST_SUITE_P(Signals, UnfocusedClose, ::testing::ValuesIn(kUnfocusedCases),
                         [](const ::testing::TestParamInfo<unfocused_case>& info) { return info.param.name; });

// --- 8. SIGHUP: the terminal that started the game closed ---------------------------------

TEST(HostileSignals, HangupIsACloseRequestThatSavesBothFiles) {
  game_folder g(1);
  g.Write("data/hiscore.dat", IntBytes(4100));
  child_result r = SignalAfterLoad(g, g.GamePlan(-1), SIGHUP);
  ExpectExit(r, 0);
  EXPECT_LT(r.ms_after_stop, HangLimitMs());
  EXPECT_EQ(r.err, "");
  ExpectStored(g, IntBytes(0), IntBytes(4100));
}

// --- 2. files that exist but can't be read ------------------------------------------------

struct unreadable_case {
  const char* name;
  int with_stereo_file;  // 0: the stereo-mode file is missing and must be made
};

class UnreadableFiles : public ::testing::TestWithParam<unreadable_case> {};

// As root the test runs the game as nobody; as anyone else, as itself.
TEST_P(UnreadableFiles, AreLeftAsTheyWereWithOneLineEach) {
  hostile::user_ids as;
  if (::geteuid() == 0) {
    as = hostile::Nobody();
    if (as.uid < 0) GTEST_SKIP() << "running as root with no user 'nobody' to drop privileges to";
  }
  game_folder g(1);
  g.Write("data/hiscore.dat", IntBytes(5000));
  if (GetParam().with_stereo_file) g.Write("data/anaglyph3d.dat", IntBytes(3));
  for (const char* f : {"data/hiscore.dat", "data/anaglyph3d.dat"})
    if (fs::exists(g.at(f))) fs::permissions(g.at(f), fs::perms::none);
  if (as.uid >= 0) {
    fs::permissions(g.root(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    ASSERT_EQ(::chown(g.game().c_str(), as.uid, as.gid), 0);
    ASSERT_EQ(::chown(g.at("data").c_str(), as.uid, as.gid), 0);
  }
  child_plan plan = g.GamePlan(kSigtermMs);
  plan.uid = as.uid, plan.gid = as.gid;
  child_result r = childproc::RunChild(plan, g.root());
  ExpectExit(r, 0);
  for (const char* f : {"data/hiscore.dat", "data/anaglyph3d.dat"})
    if (fs::exists(g.at(f))) fs::permissions(g.at(f), fs::perms::owner_read, fs::perm_options::add);
  int kept = GetParam().with_stereo_file ? 2 : 1;
  EXPECT_EQ(CountLines(r.err), kept) << r.err;
  EXPECT_EQ(Count(r.err, "as it was: it could not be read (Permission denied)"), kept) << r.err;
  EXPECT_NE(r.err.find(g.at("data/hiscore.dat").string()), std::string::npos) << r.err;
  ExpectStored(g, GetParam().with_stereo_file ? IntBytes(3) : IntBytes(0), IntBytes(5000));
}

const unreadable_case kUnreadableCases[] = {{"both", 1}, {"best_score_only", 0}};

INSTANTIATE_TEST_SUITE_P(Files, UnreadableFiles, ::testing::ValuesIn(kUnreadableCases),
                         [](const ::testing::TestParamInfo<unreadable_case>& info) { return info.param.name; });

// An ordinary user whose game folder is read-only, and whose own folder can't be made
// either: the message says what really happened, with the path as the system spells it.
TEST(HostileFiles, FolderThatCantBeMadeIsNamedWithTheReason) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run the game as 'nobody' in a folder it can't write";
  hostile::user_ids as = hostile::Nobody();
  if (as.uid < 0) GTEST_SKIP() << "no user 'nobody' to drop privileges to";
  game_folder g(0);
  fs::permissions(g.root(), fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
  fs::path user_folder = g.root() / "xdg";
  child_plan plan = g.GamePlan(kSigtermMs, {{"XDG_DATA_HOME", user_folder.string()}});
  plan.uid = as.uid, plan.gid = as.gid;
  child_result r = childproc::RunChild(plan, g.root());
  ExpectExit(r, 0);
  EXPECT_EQ(CountLines(r.err), 1) << r.err;
  EXPECT_NE(r.err.find("the folder " + (user_folder / "kelvane").string() + " could not be made (Permission denied)"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(fs::exists(g.at("data")));
  EXPECT_FALSE(fs::exists(user_folder));
}

// --- 5. named pipes where files should be --------------------------------------------------

struct fifo_case {
  const char* path;
  int left_unread;  // 1: the pipe stands where a data file should be, and is left there
};

class FifoInPlace : public ::testing::TestWithParam<fifo_case> {};

TEST_P(FifoInPlace, NeitherStartNorExitWaitsOnIt) {
  game_folder g(1);
  g.Write("data/hiscore.dat", IntBytes(0));
  fs::remove(g.at(GetParam().path));
  ASSERT_EQ(::mkfifo(g.at(GetParam().path).c_str(), 0644), 0);
  child_result r = SignalAfterLoad(g, g.GamePlan(-1));
  ExpectExit(r, 0);
  EXPECT_LT(r.ms_after_stop, HangLimitMs());
  EXPECT_TRUE(fs::is_fifo(g.at(GetParam().path)));
  EXPECT_EQ(CountLines(r.err), GetParam().left_unread) << r.err;
  EXPECT_EQ(g.Read("data/anaglyph3d.dat"), IntBytes(0));
  if (!GetParam().left_unread) {
    EXPECT_EQ(g.Read("data/hiscore.dat"), IntBytes(0));
  }
}

const fifo_case kFifoCases[] = {{"data/plasma.ogg", 0}, {"data/hiscore.dat.tmp", 0}, {"data/hiscore.dat", 1}};

INSTANTIATE_TEST_SUITE_P(Files, FifoInPlace, ::testing::ValuesIn(kFifoCases),
                         [](const ::testing::TestParamInfo<fifo_case>& info) {
                           std::string n = fs::path(info.param.path).filename().string();
                           for (char& c : n)
                             if (c == '.') c = '_';
                           return n;
                         });

// The music is first opened when a game starts.
TEST(HostileFiles, FifoAsTheMusicDoesNotHangStartGame) {
  game_folder g(1);
  fs::remove(g.at("data/virus.ogg"));
  ASSERT_EQ(::mkfifo(g.at("data/virus.ogg").c_str(), 0644), 0);
  child_plan plan = g.ScriptPlan(
      "wait 3\nkey press space\nwait 2\nmouse move 320 265\nwait 1\nmouse click\nwait 5\n"
      "score 2500\nwait 3\nsigterm\nwait 1000\n");
  plan.timeout_ms = 60000;
  child_result r = childproc::RunChild(plan, g.root());
  ExpectExit(r, 0);
  EXPECT_LT(PlaytestFrames(r.out), kTail);
  EXPECT_TRUE(fs::is_fifo(g.at("data/virus.ogg")));
  ExpectStored(g, IntBytes(0), IntBytes(2500));
}

// --- 4. a link planted at the temporary's name ----------------------------------------------

TEST(HostileFiles, LinkAtTheTemporaryNameIsNeverWrittenThrough) {
  game_folder g(1);
  std::ofstream(g.root() / "victim.txt") << "precious";
  fs::create_symlink(g.root() / "victim.txt", g.at("data/hiscore.dat.tmp"));
  fs::create_symlink(g.root() / "victim.txt", g.at("data/anaglyph3d.dat.tmp"));
  g.Write("data/hiscore.dat", IntBytes(6000));
  child_result r = g.RunGame(kSigtermMs);
  ExpectExit(r, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(childproc::ReadText(g.root() / "victim.txt"), "precious");
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(g.at("data/hiscore.dat"))));
  EXPECT_TRUE(fs::is_symlink(g.at("data/hiscore.dat.tmp")));
  ExpectStored(g, IntBytes(0), IntBytes(6000));
  fs::perms mode = fs::status(g.at("data/hiscore.dat")).permissions();
  EXPECT_EQ(mode & (fs::perms::owner_read | fs::perms::owner_write), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(mode & (fs::perms::owner_exec | fs::perms::others_write), fs::perms::none);
}

// --- 7. two copies of the game in one folder ------------------------------------------------

// The copy left on the title exits last; the best score the other one saved stands, and the
// stereo mode is the last one saved.
TEST(HostileFiles, TwoCopiesKeepTheHigherBestScore) {
  game_folder g(1);
  g.Write("data/hiscore.dat", IntBytes(1000));
  open_watch loaded(g.at("data/hiscore.dat"));
  child_plan idle = g.GamePlan(-1);
  idle.timeout_ms = 90000;
  fs::create_directories(g.root() / "idle");
  child_run idle_run = childproc::StartChild(idle, g.root() / "idle");
  ASSERT_TRUE(loaded.WaitForOpen(40000));
  child_result player = g.RunScript(
      "wait 3\nkey press space\nwait 2\nmouse move 320 295\nwait 1\nmouse click\nwait 2\n"
      "mouse move 320 265\nwait 1\nmouse click\nwait 5\nscore 9000\nwait 3\nclose\nwait 1000\n");
  ExpectExit(player, 0);
  ExpectStored(g, IntBytes(1), IntBytes(9000));
  kill(idle_run.pid, SIGTERM);
  child_result r = childproc::WaitChild(idle_run, idle);
  ExpectExit(r, 0);
  ExpectStored(g, IntBytes(0), IntBytes(9000));
}

// --- 9. sound files far too large ----------------------------------------------------------

void SparseFile(const fs::path& p, uintmax_t size) {
  fs::remove(p);
  { std::ofstream touch(p, std::ios::binary); }
  fs::resize_file(p, size);
}

TEST(HostileSounds, OneGigabyteUnderAnAddressSpaceLimitIsSilent) {
  if (RunningUnderSanitizer()) GTEST_SKIP() << "the sanitizer's shadow memory can't live under an address-space limit";
  game_folder g(1);
  SparseFile(g.at("data/plasma.ogg"), uintmax_t(1) << 30);
  g.Write("data/hiscore.dat", IntBytes(0));
  child_plan plan = g.GamePlan(-1);
  plan.address_space_limit = 2560L << 20;
  child_result r = SignalAfterLoad(g, plan);
  ExpectExit(r, 0);
  EXPECT_LT(r.ms_after_stop, HangLimitMs());
  ExpectStored(g, IntBytes(0), IntBytes(0));
}

// Refused on its size: start-up neither waits for it nor holds it in memory.
TEST(HostileSounds, TwoHundredMegabytesAreRefusedUnread) {
  game_folder g(1);
  SparseFile(g.at("data/plasma.ogg"), uintmax_t(200) << 20);
  g.Write("data/hiscore.dat", IntBytes(0));
  child_result r = SignalAfterLoad(g, g.GamePlan(-1));
  ExpectExit(r, 0);
  EXPECT_LT(r.ms_after_stop, HangLimitMs());
  if (!RunningUnderSanitizer()) {
    EXPECT_LT(r.max_rss_kb, 200L << 10) << "a 200 MB file was read into memory";
  }
  ExpectStored(g, IntBytes(0), IntBytes(0));
}

long PeakKb(pid_t pid) {
  std::string status = childproc::ReadText("/proc/" + std::to_string(pid) + "/status");
  size_t at = status.find("VmPeak:");
  return at == std::string::npos ? 0 : std::atol(status.c_str() + at + 7);
}

// The game's peak address space once it has settled: no growth for two seconds running.
// A fixed wait read it too early on a loaded machine, and the limit built on it starved
// the second run's GL and audio threads.
long SettledPeakKb(pid_t pid) {
  long peak = PeakKb(pid);
  for (int stable_ms = 0, waited = 0; stable_ms < 2000 && waited < 30000; waited += 100) {
    SleepMs(100);
    long now = PeakKb(pid);
    stable_ms = now == peak ? stable_ms + 100 : 0;
    peak = now;
  }
  return peak;
}

// A sound small enough to be read, in a process with too little memory to hold it: the
// allocation fails and the sound is silent. The limit is what the game needs without it,
// measured on a first run, and 40 MB more.
TEST(HostileSounds, AllocationFailureIsSilence) {
  if (RunningUnderSanitizer()) GTEST_SKIP() << "the sanitizer's shadow memory can't live under an address-space limit";
  game_folder g(1);
  g.Write("data/hiscore.dat", IntBytes(0));
  open_watch loaded(g.at("data/hiscore.dat"));
  child_plan plan = g.GamePlan(-1);
  child_run run = childproc::StartChild(plan, g.root());
  ASSERT_TRUE(loaded.WaitForOpen(40000));
  SleepMs(2000);
  long peak_kb = SettledPeakKb(run.pid);
  kill(run.pid, SIGTERM);
  ExpectExit(childproc::WaitChild(run, plan), 0);
  ASSERT_GT(peak_kb, 0);

  std::vector<uint8_t> noise(60u << 20);
  for (size_t i = 0; i < noise.size(); i++) noise[i] = static_cast<uint8_t>((i * 2654435761u) >> 13);
  g.Write("data/plasma.ogg", noise);
  plan = g.GamePlan(-1);
  plan.address_space_limit = (peak_kb + (40L << 10)) << 10;
  child_result r = SignalAfterLoad(g, plan);
  ExpectExit(r, 0);
  EXPECT_LT(r.ms_after_stop, HangLimitMs());
  ExpectStored(g, IntBytes(0), IntBytes(0));
}

// A damaged music file is read once in the run, not again at each stage's start.
TEST(HostileSounds, FailedMusicIsTriedOncePerRun) {
  game_folder g(1);
  g.Write("data/virus.ogg", std::vector<uint8_t>(4096, 0x4f));
  open_watch music(g.at("data/virus.ogg"));
  const std::string next_stage = "phase 2\nwait 152\nkey press ctrl\nwait 5\n";
  child_result r = g.RunScript("wait 3\nkey press space\nwait 2\nmouse move 320 265\nwait 1\nmouse click\nwait 5\n" +
                               next_stage + next_stage + "close\nwait 1000\n");
  ExpectExit(r, 0);
  EXPECT_LT(PlaytestFrames(r.out), kTail);
  EXPECT_GT(PlaytestFrames(r.out), 300) << "the script did not get through three stage starts";
  EXPECT_EQ(music.Opens(), 1);
}

}  // namespace
