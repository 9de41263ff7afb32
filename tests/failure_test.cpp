// Failures a player can meet, proven on the real program and the real start-up and exit:
// missing or damaged files, no sound device, no joystick, files that can't be written,
// and the program ended by its window or by SIGTERM on every screen.
#include <gtest/gtest.h>
#include <pwd.h>
#include <string>
#include <vector>
#include "support/child_process.h"

namespace {

using childproc::child_result;
using childproc::CountLines;
using childproc::game_folder;
using childproc::IntBytes;
using childproc::PlaytestFrames;
namespace fs = std::filesystem;

// Real start-up runs a one-second display test before the splash; by then SDL has its
// signal handlers, so SIGTERM arrives as a quit request.
const int kSigtermMs = 2500;

// A script's last wait: a run that ends long before it ended by the quit request.
const int kTail = 1000;

const char* const kSounds[7] = {"plasma.ogg",  "firewall.ogg",  "explode.ogg", "powerup.ogg",
                                "stageclear.ogg", "gamestart.ogg", "virus.ogg"};

void ExpectCleanExit(const child_result& r) {
  EXPECT_FALSE(r.timed_out);
  EXPECT_EQ(r.signal, 0);
  EXPECT_TRUE(r.exited);
  EXPECT_EQ(r.code, 0) << r.err;
}

void ExpectStored(const game_folder& g, int stereo, int best) {
  EXPECT_EQ(g.Read("data/anaglyph3d.dat"), IntBytes(stereo));
  EXPECT_EQ(g.Read("data/hiscore.dat"), IntBytes(best));
}

// Skips the splash, sets 3D mode 1 on the title menu and starts a game.
const std::string kToPlay =
    "wait 3\nkey press space\nwait 2\n"
    "mouse move 320 295\nwait 1\nmouse click\nwait 2\n"
    "mouse move 320 265\nwait 1\nmouse click\nwait 5\n";

// A short game that sounds every effect and the music: menu volume click, start, fire,
// fire wall, each effect by name, pause and resume, a stage close, game over.
const std::string kNoisyGame =
    "wait 3\nkey press space\nwait 2\n"
    "mouse move 320 355\nwait 1\nmouse click\nwait 2\n"
    "mouse move 320 265\nwait 1\nmouse click\nwait 3\n"
    "key press ctrl\nwait 2\nkey press alt\nwait 2\n"
    "sound plasma\nsound firewall\nsound explode\nsound powerup\nsound stageclear\nsound gamestart\n"
    "sound music\nwait 2\n"
    "key press space\nwait 3\nkey press space\nwait 2\n"
    "score 300\nphase 2\nwait 152\nkey press ctrl\nwait 5\n"
    "state 5\nwait 3\nclose\nwait 1000\n";

// --- the real program, ended by SIGTERM -----------------------------------------------

TEST(FailureRealProgram, SigtermDuringStartUpSavesBothFiles) {
  game_folder g(1);
  child_result r = g.RunGame(kSigtermMs);
  ExpectCleanExit(r);
  EXPECT_EQ(r.err, "");
  ExpectStored(g, 0, 0);
}

TEST(FailureRealProgram, StoredValuesComeBackOutUnchanged) {
  game_folder g(1);
  g.Write("data/hiscore.dat", IntBytes(12345));
  g.Write("data/anaglyph3d.dat", IntBytes(3));
  child_result r = g.RunGame(kSigtermMs);
  ExpectCleanExit(r);
  ExpectStored(g, 3, 12345);
}

TEST(FailureRealProgram, NoDataFolderRunsSilentlyAndMakesIt) {
  game_folder g(0);
  ASSERT_FALSE(fs::exists(g.at("data")));
  child_result r = g.RunGame(kSigtermMs);
  ExpectCleanExit(r);
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(fs::is_directory(g.at("data")));
  ExpectStored(g, 0, 0);
}

TEST(FailureRealProgram, NoAudioDeviceSaysSoOnceAndRunsSilent) {
  game_folder g(1);
  child_result r = g.RunGame(kSigtermMs, {{"SDL_AUDIODRIVER", "no-such-driver"}});
  ExpectCleanExit(r);
  EXPECT_EQ(CountLines(r.err), 1) << r.err;
  EXPECT_NE(r.err.find("audio"), std::string::npos) << r.err;
  ExpectStored(g, 0, 0);
}

TEST(FailureRealProgram, NoDisplayEndsWithOneLineAndTouchesNoFile) {
  game_folder g(1);
  g.Write("data/hiscore.dat", IntBytes(77));
  child_result r = g.RunGame(-1, {{"SDL_VIDEODRIVER", "no-such-video"}});
  EXPECT_FALSE(r.timed_out);
  EXPECT_EQ(r.signal, 0);
  EXPECT_TRUE(r.exited);
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(CountLines(r.err), 1) << r.err;
  EXPECT_EQ(g.Read("data/hiscore.dat"), IntBytes(77));
  EXPECT_FALSE(fs::exists(g.at("data/anaglyph3d.dat")));
}

// Root writes through permission bits, so the files are made unwritable by shape instead.
TEST(FailureRealProgram, BestScoreFileThatIsAFolderStaysAndTheOtherIsSaved) {
  game_folder g(1);
  fs::create_directories(g.at("data/hiscore.dat/inside"));
  child_result r = g.RunGame(kSigtermMs);
  ExpectCleanExit(r);
  EXPECT_EQ(CountLines(r.err), 1) << r.err;
  EXPECT_NE(r.err.find("hiscore.dat"), std::string::npos) << r.err;
  EXPECT_TRUE(fs::is_directory(g.at("data/hiscore.dat/inside")));
  EXPECT_EQ(g.Read("data/anaglyph3d.dat"), IntBytes(0));
  EXPECT_FALSE(fs::exists(g.at("data/hiscore.dat.tmp")));
}

TEST(FailureRealProgram, DataThatIsAFileStaysAsItWasWithOneLine) {
  game_folder g(0);
  g.Write("data", {'n', 'o', 't', 'e', '\n'});
  child_result r = g.RunGame(kSigtermMs);
  ExpectCleanExit(r);
  EXPECT_EQ(CountLines(r.err), 1) << r.err;
  EXPECT_EQ(r.err, "Kelvane: could not save " + g.at("data/hiscore.dat").string() + " or " +
                       g.at("data/anaglyph3d.dat").string() + ": " + g.at("data").string() +
                       " is a file, not a folder\n");
  EXPECT_EQ(g.Read("data"), (std::vector<uint8_t>{'n', 'o', 't', 'e', '\n'}));
}

// --- the real game in a child, driven by a script ---------------------------------------

// A new best that can't be stored leaves the old file whole, not half-written: the folder
// is read-only to the user the game runs as (the playtest keeps the saves in `data`).
TEST(FailureScripted, UnsavableBestScoreKeepsTheOldFile) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run the game as 'nobody' in a folder it can't write";
  passwd* nobody = getpwnam("nobody");
  if (!nobody) GTEST_SKIP() << "no user 'nobody' to drop privileges to";
  game_folder g(1);
  g.Write("data/hiscore.dat", IntBytes(500));
  fs::permissions(g.root(), fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
  childproc::child_plan plan = g.ScriptPlan(kToPlay + "score 9999\nwait 3\nsigterm\nwait 1000\n");
  fs::copy_file(plan.program, g.root() / "playtest");  // the build folder may be closed to others
  plan.program = (g.root() / "playtest").string();
  plan.uid = static_cast<int>(nobody->pw_uid), plan.gid = static_cast<int>(nobody->pw_gid);
  child_result r = childproc::RunChild(plan, g.root());
  ExpectCleanExit(r);
  EXPECT_EQ(CountLines(r.err), 2) << r.err;  // both files, each in a line
  EXPECT_NE(r.err.find("could not save " + g.at("data/hiscore.dat").string() + ": no temporary file could be made in " +
                       g.at("data").string() + " (Permission denied)"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(g.Read("data/hiscore.dat"), IntBytes(500));
  EXPECT_FALSE(fs::exists(g.at("data/anaglyph3d.dat")));
}

// Whatever an old run left at the temporary's former fixed name is passed over: the new
// best is saved beside it, and it stays as it was.
TEST(FailureScripted, LeftoverAtTheOldTemporaryNameIsPassedOver) {
  game_folder g(1);
  g.Write("data/hiscore.dat", IntBytes(500));
  fs::create_directories(g.at("data/hiscore.dat.tmp"));
  child_result r = g.RunScript(kToPlay + "score 9999\nwait 3\nsigterm\nwait 1000\n");
  ExpectCleanExit(r);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(g.Read("data/hiscore.dat"), IntBytes(9999));
  EXPECT_EQ(g.Read("data/anaglyph3d.dat"), IntBytes(1));
  EXPECT_TRUE(fs::is_directory(g.at("data/hiscore.dat.tmp")));
}

TEST(FailureScripted, NoAudioDevicePlaysTheWholeGameSilently) {
  game_folder g(1);
  child_result r = g.RunScript(kNoisyGame, {{"SDL_AUDIODRIVER", "no-such-driver"}});
  ExpectCleanExit(r);
  EXPECT_EQ(CountLines(r.err), 1) << r.err;
  EXPECT_LT(PlaytestFrames(r.out), kTail);
  EXPECT_GT(PlaytestFrames(r.out), 160);
  ExpectStored(g, 0, 5300);  // the stage close added its bonus to the poked score
}

// No pad is attached: every joystick question reads as nothing pressed.
TEST(FailureScripted, NoJoystickPlaysOnTheKeyboard) {
  game_folder g(1);
  child_result r = g.RunScript(kNoisyGame);
  ExpectCleanExit(r);
  EXPECT_EQ(r.err, "");
  EXPECT_GT(PlaytestFrames(r.out), 160);
  ExpectStored(g, 0, 5300);
}

TEST(FailureScripted, NoSoundFilesAtAllPlaysSilently) {
  game_folder g(1);
  for (const char* s : kSounds) fs::remove(g.at(std::string("data/") + s));
  child_result r = g.RunScript(kNoisyGame);
  ExpectCleanExit(r);
  EXPECT_EQ(r.err, "");
  EXPECT_GT(PlaytestFrames(r.out), 160);
  ExpectStored(g, 0, 5300);
}

// Each sound file damaged in its own run, another one missing beside it.
class DamagedSound : public ::testing::TestWithParam<int> {};

std::vector<uint8_t> Damaged(const std::vector<uint8_t>& good, int how) {
  switch (how % 4) {
    case 0: return {};                                                       // empty
    case 1: return std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2);  // cut short
    case 2: {                                                                // header kept, body garbage
      std::vector<uint8_t> bad = good;
      for (size_t i = 200; i < bad.size(); i++) bad[i] = static_cast<uint8_t>(i * 37);
      return bad;
    }
    default: return std::vector<uint8_t>(4096, 0x4f);                        // not Ogg at all
  }
}

TEST_P(DamagedSound, IsSilentAndTheGameRunsOn) {
  int i = GetParam();
  game_folder g(1);
  std::string bad = std::string("data/") + kSounds[i], gone = std::string("data/") + kSounds[(i + 3) % 7];
  g.Write(bad, Damaged(g.Read(bad), i));
  fs::remove(g.at(gone));
  child_result r = g.RunScript(kNoisyGame);
  ExpectCleanExit(r);
  EXPECT_EQ(r.err, "");
  EXPECT_GT(PlaytestFrames(r.out), 160);
  EXPECT_LT(PlaytestFrames(r.out), kTail);
  ExpectStored(g, 0, 5300);
}

INSTANTIATE_TEST_SUITE_P(EachFile, DamagedSound, ::testing::Range(0, 7),
                         [](const ::testing::TestParamInfo<int>& info) {
                           std::string n = kSounds[info.param];
                           return n.substr(0, n.find('.'));
                         });

// --- quitting on every screen saves both files ------------------------------------------

struct quit_case {
  const char* screen;
  const char* how;  // "sigterm" or "close"
};

// The script that brings the game to the screen, and what the files then hold.
struct screen_route {
  std::string script;
  int stereo, best;
};

screen_route RouteTo(const std::string& screen) {
  if (screen == "splash") return {"wait 20\n", 0, 0};
  if (screen == "title")
    return {"wait 3\nkey press space\nwait 2\nmouse move 320 295\nwait 1\nmouse click\nwait 3\n", 1, 0};
  std::string play = kToPlay + "score 2500\nwait 3\n";
  if (screen == "play") return {play, 1, 2500};
  if (screen == "pause") return {play + "key press space\nwait 3\n", 1, 2500};
  if (screen == "stageclear") return {play + "phase 2\nwait 10\n", 1, 2500};
  if (screen == "shiplost") return {play + "state 6\nwait 10\n", 1, 2500};
  return {play + "state 5\nwait 10\n", 1, 2500};  // game over
}

void PrintTo(const quit_case& c, std::ostream* os) { *os << c.screen << " by " << c.how; }

class QuitOnScreen : public ::testing::TestWithParam<quit_case> {};

TEST_P(QuitOnScreen, SavesBothFilesAndExitsCleanly) {
  game_folder g(1);
  screen_route route = RouteTo(GetParam().screen);
  std::string script = route.script + GetParam().how + "\nwait " + std::to_string(kTail) + "\n";
  child_result r = g.RunScript(script);
  ExpectCleanExit(r);
  EXPECT_EQ(r.err, "");
  int frames = PlaytestFrames(r.out);
  EXPECT_GT(frames, 0) << r.out;
  EXPECT_LT(frames, kTail) << "the quit request was not heeded";
  ExpectStored(g, route.stereo, route.best);
}

const quit_case kQuitCases[] = {
    {"splash", "sigterm"}, {"splash", "close"},     {"title", "sigterm"},      {"title", "close"},
    {"play", "sigterm"},   {"play", "close"},       {"pause", "sigterm"},      {"pause", "close"},
    {"stageclear", "sigterm"}, {"stageclear", "close"}, {"shiplost", "sigterm"}, {"shiplost", "close"},
    {"gameover", "sigterm"},   {"gameover", "close"},
};

INSTANTIATE_TEST_SUITE_P(Screens, QuitOnScreen, ::testing::ValuesIn(kQuitCases),
                         [](const ::testing::TestParamInfo<quit_case>& info) {
                           return std::string(info.param.screen) + "_" + info.param.how;
                         });

}  // namespace
