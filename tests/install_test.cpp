// Installed as a distribution installs it: what `cmake --install` lays into a DESTDIR, the
// validators' word on the desktop entry and the metainfo, and the installed program run
// from that tree: its command line, its sounds, and its saves in the user's folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <cstdlib>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "platform/pixmap.h"
#include "support/child_process.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using childproc::child_plan;
using childproc::child_result;
using childproc::CountLines;
using childproc::IntBytes;
using childproc::ReadText;
using childproc::RunChild;

const char* const kSounds[7] = {"plasma.ogg",     "firewall.ogg",  "explode.ogg", "powerup.ogg",
                                "stageclear.ogg", "gamestart.ogg", "virus.ogg"};
const int kIconSizes[6] = {16, 32, 48, 64, 128, 256};
const char* const kAppId = "org.kelvane.kelvane";
const int kSigtermMs = 2500;

std::string Gunzip(const fs::path& p) {
  gzFile f = gzopen(p.c_str(), "rb");
  if (!f) return "";
  std::string out;
  char buf[4096];
  int n;
  while ((n = gzread(f, buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
  gzclose(f);
  return out;
}

// A program by name, as the shell would find it; "" when it is not installed.
std::string OnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':'))
    if (!dir.empty() && access((fs::path(dir) / name).c_str(), X_OK) == 0) return (fs::path(dir) / name).string();
  return "";
}

// One install into a fresh DESTDIR, under the prefix the build was configured with, and a
// user folder beside it for the saves.
class Installed : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.Make("install"));
    root_ = folder_.path();
    fs::create_directories(root_ / "xdg");
    child_plan plan;
    plan.program = KELVANE_CMAKE_COMMAND;
    plan.args = {"--install", KELVANE_BINARY_DIR};
    plan.cwd = root_.string();
    plan.env = {{"DESTDIR", (root_ / "dest").string()}};
    child_result r = RunChild(plan, root_);
    ASSERT_TRUE(r.exited && r.code == 0) << r.out << r.err;
    prefix_ = (root_ / "dest").string() + KELVANE_INSTALL_PREFIX;
  }
  void TearDown() override { folder_.Remove(); }

  fs::path installed(const std::string& rel) const { return prefix_ / rel; }
  fs::path shared(const std::string& name) const { return installed("share/games/kelvane/data") / name; }
  fs::path saved(const std::string& name) const { return root_ / "xdg" / "kelvane" / name; }

  child_result Run(const std::string& program, std::vector<std::string> args, int sigterm_after_ms,
                   std::vector<std::pair<std::string, std::string>> env = {}) const {
    child_plan plan;
    plan.program = program;
    plan.args = std::move(args);
    plan.cwd = root_.string();
    plan.env = {{"XDG_DATA_HOME", (root_ / "xdg").string()}};
    plan.env.insert(plan.env.end(), env.begin(), env.end());
    plan.sigterm_after_ms = sigterm_after_ms;
    return RunChild(plan, root_);
  }
  child_result RunGame(std::vector<std::string> args, int sigterm_after_ms = -1,
                       std::vector<std::pair<std::string, std::string>> env = {}) const {
    return Run(installed("games/kelvane").string(), std::move(args), sigterm_after_ms, std::move(env));
  }

  temp_folder folder_;
  fs::path root_, prefix_;
};

void ExpectCleanExit(const child_result& r) {
  EXPECT_FALSE(r.timed_out);
  EXPECT_EQ(r.signal, 0);
  EXPECT_TRUE(r.exited);
  EXPECT_EQ(r.code, 0) << r.err;
}

// --- the installed tree --------------------------------------------------------------------

TEST_F(Installed, LaysOutEveryFileUnderThePrefix) {
  std::set<std::string> expected = {"games/kelvane",
                                    std::string("share/applications/") + kAppId + ".desktop",
                                    std::string("share/metainfo/") + kAppId + ".metainfo.xml",
                                    "share/man/man6/kelvane.6.gz",
                                    "share/doc/kelvane/copyright",
                                    "share/doc/kelvane/changelog.gz",
                                    "share/doc/kelvane/README.md"};
  for (const char* s : kSounds) expected.insert(std::string("share/games/kelvane/data/") + s);
  for (int n : kIconSizes)
    expected.insert("share/icons/hicolor/" + std::to_string(n) + "x" + std::to_string(n) + "/apps/kelvane.png");
  std::set<std::string> found;
  for (const auto& e : fs::recursive_directory_iterator(root_ / "dest"))
    if (!e.is_directory()) found.insert(fs::relative(e.path(), prefix_).string());
  EXPECT_EQ(found, expected);

  EXPECT_NE(fs::status(installed("games/kelvane")).permissions() & fs::perms::others_exec, fs::perms::none);
  for (const char* s : kSounds)
    EXPECT_EQ(ReadBytes(shared(s)), ReadBytes(fs::path(KELVANE_SOURCE_DIR) / "data" / s)) << s;
  EXPECT_EQ(ReadBytes(installed("share/doc/kelvane/copyright")), ReadBytes(fs::path(KELVANE_SOURCE_DIR) / "LICENSE"));
  std::string man = Gunzip(installed("share/man/man6/kelvane.6.gz"));
  EXPECT_EQ(man.rfind(".TH KELVANE 6", 0), 0u) << man.substr(0, 80);
  EXPECT_NE(man.find("Kelvane " KELVANE_PROJECT_VERSION), std::string::npos);
  EXPECT_NE(man.find(KELVANE_INSTALL_PREFIX "/share/games/kelvane/data/"), std::string::npos);
  for (const char* section : {".SH OPTIONS", ".SH CONTROLS", ".SH FILES", ".SH ENVIRONMENT", "XDG_DATA_HOME"})
    EXPECT_NE(man.find(section), std::string::npos) << section;
  EXPECT_NE(Gunzip(installed("share/doc/kelvane/changelog.gz")).find("kelvane (" KELVANE_PROJECT_VERSION ")"),
            std::string::npos);
}

// Each icon is its size, square, see-through outside its rounded corners and solid inside.
TEST_F(Installed, IconsAreTheirSizeWithClearCorners) {
  for (int n : kIconSizes) {
    std::string size = std::to_string(n) + "x" + std::to_string(n);
    auto png = LoadPixmapPng(installed("share/icons/hicolor/" + size + "/apps/kelvane.png").string());
    ASSERT_TRUE(png) << size;
    EXPECT_EQ(png->width, n);
    EXPECT_EQ(png->height, n);
    auto rgba = png->Convert(PF_RGBA8888);
    EXPECT_EQ(rgba->PixelPtr(0, 0)[3], 0) << size;
    EXPECT_EQ(rgba->PixelPtr(n - 1, n - 1)[3], 0) << size;
    EXPECT_EQ(rgba->PixelPtr(n / 2, n / 2)[3], 255) << size;
    EXPECT_EQ(rgba->PixelPtr(n / 2, n / 10)[3], 255) << size;
  }
}

TEST_F(Installed, DesktopEntryAndMetainfoPassTheirValidators) {
  std::string desktop = OnPath("desktop-file-validate"), appstream = OnPath("appstreamcli");
  ASSERT_NE(desktop, "") << "desktop-file-utils is not installed (scripts/deps.sh installs it)";
  ASSERT_NE(appstream, "") << "appstream is not installed (scripts/deps.sh installs it)";
  fs::path entry = installed(std::string("share/applications/") + kAppId + ".desktop");
  fs::path meta = installed(std::string("share/metainfo/") + kAppId + ".metainfo.xml");
  child_result d = Run(desktop, {entry.string()}, -1);
  EXPECT_TRUE(d.exited && d.code == 0) << d.out << d.err;
  EXPECT_EQ(d.out + d.err, "");
  child_result a = Run(appstream, {"validate", "--no-net", meta.string()}, -1);
  EXPECT_TRUE(a.exited && a.code == 0) << a.out << a.err;

  std::string entry_text = ReadText(entry), meta_text = ReadText(meta);
  EXPECT_NE(entry_text.find("\nExec=kelvane\n"), std::string::npos);
  EXPECT_NE(entry_text.find("\nIcon=kelvane\n"), std::string::npos);
  EXPECT_NE(meta_text.find("<release version=\"" KELVANE_PROJECT_VERSION "\""), std::string::npos);
  EXPECT_NE(meta_text.find(std::string("<launchable type=\"desktop-id\">") + kAppId + ".desktop<"),
            std::string::npos);
}

// The metainfo's screenshots are the README's, each with the README's caption under it.
TEST_F(Installed, MetainfoCarriesTheReadmeScreenshotsCaptions) {
  std::string readme = ReadText(fs::path(KELVANE_SOURCE_DIR) / "README.md");
  std::string meta = ReadText(installed(std::string("share/metainfo/") + kAppId + ".metainfo.xml"));
  std::regex row(R"(\| !\[[^\]]*\]\(docs/screens/(\w+)\.png\) \| !\[[^\]]*\]\(docs/screens/(\w+)\.png\) \|\n\| (.+) \| (.+) \|)");
  int pairs = 0;
  for (auto m = std::sregex_iterator(readme.begin(), readme.end(), row); m != std::sregex_iterator(); ++m) {
    for (int i : {1, 2}) {
      std::string caption = std::regex_replace((*m)[i + 2].str(), std::regex("\""), "&quot;");
      std::string shot = "<caption>" + caption + "</caption>\n      <image>";
      size_t at = meta.find(shot);
      ASSERT_NE(at, std::string::npos) << caption;
      size_t end = meta.find("</image>", at);
      EXPECT_NE(meta.substr(at, end - at).find("/screens/" + (*m)[i].str() + ".png"), std::string::npos)
          << caption;
    }
    pairs++;
  }
  EXPECT_EQ(pairs, 6);
}

// --- the command line, on the installed program ---------------------------------------------

// No option but these opens a window: a display that can't open would end them with 1.
TEST_F(Installed, HelpVersionAndUnknownOptionsNeverOpenTheDisplay) {
  struct row {
    std::vector<std::string> args;
    int code;
    std::vector<std::string> out_has;
    std::vector<std::string> err_has;
  };
  std::string data = installed("share/games/kelvane/data").string() + "/";
  std::string saves = (root_ / "xdg" / "kelvane").string() + "/";
  const std::vector<row> rows = {
      {{"--version"}, 0, {"Kelvane " KELVANE_PROJECT_VERSION "\n"}, {}},
      {{"--help"}, 0, {"Usage: kelvane", "--windowed", "--version", "Left Control", "fire wall", "Up / Down, Return", "F11", data, saves}, {}},
      {{"--windowed", "--help"}, 0, {"Usage: kelvane"}, {}},
      {{"--bogus"}, 2, {}, {"'--bogus'", "Usage: kelvane"}},
      {{"-h"}, 2, {}, {"'-h'", "Usage: kelvane"}},
      {{"--windowed", "extra"}, 2, {}, {"'extra'", "Usage: kelvane"}},
  };
  for (const row& r : rows) {
    std::string name = r.args[0] + (r.args.size() > 1 ? " " + r.args[1] : "");
    child_result c = RunGame(r.args, -1, {{"SDL_VIDEODRIVER", "no-such-video"}});
    EXPECT_FALSE(c.timed_out) << name;
    ASSERT_TRUE(c.exited) << name;
    EXPECT_EQ(c.code, r.code) << name << "\n" << c.err;
    for (const std::string& s : r.out_has) EXPECT_NE(c.out.find(s), std::string::npos) << name << ": " << s;
    for (const std::string& s : r.err_has) EXPECT_NE(c.err.find(s), std::string::npos) << name << ": " << s;
    if (r.code == 2) {
      EXPECT_EQ(c.out, "") << name;
      EXPECT_EQ(c.err.find("kelvane: unknown option"), 0u) << name << ": " << c.err;
    } else {
      EXPECT_EQ(c.err, "") << name;
    }
    if (r.args[0] == "--version") {
      EXPECT_EQ(c.out, "Kelvane " KELVANE_PROJECT_VERSION "\n");
    }
  }
  EXPECT_FALSE(fs::exists(root_ / "xdg" / "kelvane"));
}

// --- the installed program's saves ---------------------------------------------------------

TEST_F(Installed, FirstRunStartsFromTheSharedFilesAndSavesInTheUserFolder) {
  WriteBytes(shared("hiscore.dat"), IntBytes(4321));
  WriteBytes(shared("anaglyph3d.dat"), IntBytes(2));
  child_result r = RunGame({}, kSigtermMs);
  ExpectCleanExit(r);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ReadBytes(saved("hiscore.dat")), IntBytes(4321));
  EXPECT_EQ(ReadBytes(saved("anaglyph3d.dat")), IntBytes(2));
  EXPECT_EQ(fs::status(saved("")).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_EQ(ReadBytes(shared("hiscore.dat")), IntBytes(4321));
  EXPECT_EQ(ReadBytes(shared("anaglyph3d.dat")), IntBytes(2));
}

TEST_F(Installed, TheUserFolderWinsOverTheSharedOneAndTheSharedOneIsNeverWritten) {
  WriteBytes(shared("anaglyph3d.dat"), IntBytes(2));
  WriteBytes(saved("anaglyph3d.dat"), IntBytes(3));
  WriteBytes(saved("hiscore.dat"), IntBytes(900));
  child_result r = RunGame({}, kSigtermMs);
  ExpectCleanExit(r);
  EXPECT_EQ(ReadBytes(saved("anaglyph3d.dat")), IntBytes(3));
  EXPECT_EQ(ReadBytes(saved("hiscore.dat")), IntBytes(900));
  EXPECT_EQ(ReadBytes(shared("anaglyph3d.dat")), IntBytes(2));
  EXPECT_FALSE(fs::exists(shared("hiscore.dat")));
}

TEST_F(Installed, WithoutXdgDataHomeTheSavesGoUnderHome) {
  fs::create_directories(root_ / "home");
  child_result r = RunGame({}, kSigtermMs, {{"XDG_DATA_HOME", ""}, {"HOME", (root_ / "home").string()}});
  ExpectCleanExit(r);
  EXPECT_EQ(ReadBytes(root_ / "home/.local/share/kelvane/hiscore.dat"), IntBytes(0));
  EXPECT_EQ(ReadBytes(root_ / "home/.local/share/kelvane/anaglyph3d.dat"), IntBytes(0));
  EXPECT_FALSE(fs::exists(shared("hiscore.dat")));
}

// A user folder that can't be made: one line, naming the real path, and a normal exit.
TEST_F(Installed, AUserFolderThatCannotBeMadeSaysWhereInOneLine) {
  WriteBytes(root_ / "blocked", {'x'});
  child_result r = RunGame({}, kSigtermMs, {{"XDG_DATA_HOME", (root_ / "blocked").string()}});
  ExpectCleanExit(r);
  EXPECT_EQ(CountLines(r.err), 1) << r.err;
  EXPECT_NE(r.err.find((root_ / "blocked" / "kelvane" / "hiscore.dat").string()), std::string::npos) << r.err;
  EXPECT_EQ(ReadBytes(root_ / "blocked"), (std::vector<uint8_t>{'x'}));
  EXPECT_FALSE(fs::exists(shared("hiscore.dat")));
}

// --- played from the installed tree --------------------------------------------------------

// Skips the splash, starts a game by the menu, sweeps the track firing, then gives up the
// game from the pause menu and leaves from the title.
const std::string kScoringGame =
    "seed 7\nwait 3\nkey press space\nwait 2\n"
    "mouse move 320 265\nwait 1\nmouse click\nwait 215\n"
    "repeat 4\nrepeat 12\nkey press ctrl\nkey down right\nwait 3\nkey up right\nend\n"
    "repeat 12\nkey press ctrl\nkey down left\nwait 3\nkey up left\nend\nend\n"
    "repeat 60\nkey press ctrl\nwait 3\nend\n"
    "key press space\nwait 3\nkey press Escape\nwait 5\nkey press Escape\nwait 1000\n";

// The title a few frames after the splash, with the status panel's best score on it.
const std::string kTitleShot = "seed 7\nwait 3\nkey press space\nwait 30\nscreenshot title\nclose\nwait 1000\n";

// The status panel's band at the top of the screen.
std::vector<uint8_t> PanelBand(const fs::path& png) {
  auto pix = LoadPixmapPng(png.string());
  if (!pix) return {};
  auto rgb = pix->Convert(PF_RGB888);
  std::vector<uint8_t> band;
  for (int y = 0; y < 28; y++) band.insert(band.end(), rgb->PixelPtr(0, y), rgb->PixelPtr(0, y) + 640 * 3);
  return band;
}

int16_t MaxSample(const fs::path& raw) {
  std::string s = ReadText(raw);
  int peak = 0;
  for (size_t i = 0; i + 1 < s.size(); i += 2) {
    int v = static_cast<int16_t>(static_cast<uint8_t>(s[i]) | static_cast<uint8_t>(s[i + 1]) << 8);
    peak = std::max(peak, std::abs(v));
  }
  return static_cast<int16_t>(std::min(peak, 32767));
}

// The playtest tool copied beside the installed program finds its files as that program does.
class InstalledPlay : public Installed {
 protected:
  void SetUp() override {
    Installed::SetUp();
    fs::copy_file(fs::path(KELVANE_BINARY_DIR) / "tools/playtest/playtest", installed("games/kelvane-playtest"));
  }
  child_result Play(const std::string& script, const fs::path& shots,
                    std::vector<std::pair<std::string, std::string>> env = {}) const {
    fs::create_directories(shots);
    std::ofstream(shots / "script.txt") << script;
    return Run(installed("games/kelvane-playtest").string(), {"--from-own-folder", (shots / "script.txt").string(),
                                                        shots.string()},
               -1, std::move(env));
  }
};

TEST_F(InstalledPlay, SoundsFoundAndABestScoreReachedInPlayIsReadBackFromTheUserFolder) {
  fs::path audio = root_ / "audio.raw";
  child_result first = Play(kScoringGame, root_ / "first",
                            {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", audio.string()}});
  ExpectCleanExit(first);  // SDL's disk output announces itself on stderr
  EXPECT_LT(childproc::PlaytestFrames(first.out), 1000) << "the script did not get back to the title and out";
  EXPECT_GT(MaxSample(audio), 1000) << "the game played silence: its sounds were not found";
  std::vector<uint8_t> best = ReadBytes(saved("hiscore.dat"));
  ASSERT_EQ(best.size(), 4u);
  int score = best[0] | best[1] << 8 | best[2] << 16 | best[3] << 24;
  EXPECT_GT(score, 0);
  EXPECT_FALSE(fs::exists(shared("hiscore.dat")));
  EXPECT_FALSE(fs::exists(shared("anaglyph3d.dat")));

  // The second run shows that best score, as a portable copy holding it shows it.
  ExpectCleanExit(Play(kTitleShot, root_ / "second"));
  childproc::game_folder holding(0), empty(0);
  fs::create_directories(holding.at("data"));
  holding.Write("data/hiscore.dat", best);
  child_result h = holding.RunScript(kTitleShot), e = empty.RunScript(kTitleShot);
  ExpectCleanExit(h);
  ExpectCleanExit(e);
  std::vector<uint8_t> read_back = PanelBand(root_ / "second/title.png");
  ASSERT_FALSE(read_back.empty());
  EXPECT_TRUE(read_back == PanelBand(holding.root() / "title.png")) << "the best score read back differs";
  EXPECT_FALSE(read_back == PanelBand(empty.root() / "title.png")) << "the panel shows no best score at all";
}

// --- the portable layout ------------------------------------------------------------------

TEST(PortableLayout, KeepsBothFilesBesideTheProgramAndNothingInTheUserFolder) {
  childproc::game_folder g(1);
  g.Write("data/hiscore.dat", IntBytes(555));
  child_result r = g.RunGame(kSigtermMs, {{"XDG_DATA_HOME", (g.root() / "xdg").string()}});
  ExpectCleanExit(r);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(g.Read("data/hiscore.dat"), IntBytes(555));
  EXPECT_EQ(g.Read("data/anaglyph3d.dat"), IntBytes(0));
  EXPECT_FALSE(fs::exists(g.root() / "xdg"));
}

}  // namespace
