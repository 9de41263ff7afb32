// script: turns script lines into real SDL events between frames.
#include "script.h"
#include <SDL.h>
#include <png.h>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include "game/globals.h"
#include "game/music.h"
#include "game/player.h"
#include "game/sfx.h"
#include "platform/display.h"
#include "platform/draw.h"
#include "platform/random.h"
#include "synthetic_input.h"

namespace {

SDL_Joystick* joy = nullptr;

SDL_Scancode ScanByName(const std::string& name) {
  if (name == "ctrl") return SDL_SCANCODE_LCTRL;
  if (name == "alt") return SDL_SCANCODE_LALT;
  if (name == "enter") return SDL_SCANCODE_RETURN;
  return SDL_GetScancodeFromName(name.c_str());
}

SDL_Joystick* VirtualJoystick() {
  if (joy) return joy;
  int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 4, 0);
  if (index >= 0) joy = SDL_JoystickOpen(index);
  return joy;
}

int WritePng(const std::string& path, const TPixmap& pix) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return 0;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, pix.width, pix.height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < pix.height; y++) {
    std::vector<uint8_t> row(pix.PixelPtr(0, y), pix.PixelPtr(0, y) + pix.width * 4);
    for (int x = 0; x < pix.width; x++) row[x * 4 + 3] = 255;
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
  return 1;
}

void Screenshot(const std::string& dir, const std::string& name) {
  std::shared_ptr<TPixmap> pix = GrabPixmap(0, 0, 640, 480);
  std::string path = dir + "/" + name + ".png";
  if (!pix || !WritePng(path, *pix)) std::fprintf(stderr, "playtest: cannot write %s\n", path.c_str());
}


std::shared_ptr<TSound> EffectByName(const std::string& name) {
  if (name == "plasma") return snd_plasma;
  if (name == "firewall") return snd_firewall;
  if (name == "explode") return snd_explode;
  if (name == "powerup") return snd_powerup;
  if (name == "stageclear") return snd_stageclear;
  if (name == "gamestart") return snd_gamestart;
  return nullptr;
}

// Debug pokes for reaching late screens quickly; each sets what the game itself sets on
// entering that screen, and nothing more.
void RunPoke(std::istringstream& in, const std::string& verb) {
  int n = 0;
  in >> n;
  if (verb == "state") {
    game_state = n;
    phase_timer = 0;
    if (n == GS_GAME_OVER) player.lives = 0;
  } else if (verb == "phase") {
    stage_phase = n;
    phase_timer = 0;
  } else if (verb == "score") {
    player.score = n;
  }
}

void RunCommand(std::istringstream& in, const std::string& verb, script_tag& s) {
  std::string a, b;
  if (verb == "key") {
    in >> a >> b;
    if (a != "up") synthetic::PushKey(ScanByName(b), true);
    if (a != "down") synthetic::PushKey(ScanByName(b), false);
  } else if (verb == "mouse") {
    in >> a;
    int x = 0, y = 0;
    if (a == "move" && in >> x >> y) synthetic::PushMouseMoveInPicture(x, y);
    if (a == "down" || a == "click") synthetic::PushMouseButton(true);
    if (a == "up" || a == "click") synthetic::PushMouseButton(false);
  } else if (verb == "joy") {
    int n = 0, v = 0;
    in >> a >> n >> v;
    SDL_Joystick* j = VirtualJoystick();
    if (j && a == "axis") SDL_JoystickSetVirtualAxis(j, n, static_cast<Sint16>(v));
    if (j && a == "button") SDL_JoystickSetVirtualButton(j, n, v ? SDL_PRESSED : SDL_RELEASED);
  } else if (verb == "wait") {
    in >> s.wait;
  } else if (verb == "until") {
    in >> s.until_what >> s.until_value >> s.until_left;
  } else if (verb == "screenshot") {
    in >> a;
    Screenshot(s.shot_dir, a);
  } else if (verb == "seed") {
    int seed = 0;
    in >> seed;
    SeedRandom(seed);
  } else if (verb == "sigterm") {
    std::raise(SIGTERM);
  } else if (verb == "close") {
    synthetic::PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
  } else if (verb == "sound") {
    in >> a;
    if (a == "music") StartMusic(1);
    else PlaySfx(EffectByName(a));
  } else if (verb == "state" || verb == "phase" || verb == "score") {
    RunPoke(in, verb);
  }
}

int GameReads(const std::string& what) { return what == "state" ? game_state : stage_phase; }

}  // namespace

int script_tag::load(const std::string& path) {
  std::ifstream in(path);
  if (!in) return 0;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return 1;
}

// "repeat N" runs the lines up to its "end" N times, or while the game stays where it says;
// loops may nest.
void script_tag::RunLoop(std::istringstream& in, const std::string& verb) {
  if (verb == "repeat") {
    loop l{pc, 1, "", 0};
    std::string word;
    in >> l.left >> word >> l.what >> l.value;
    loops.push_back(l);
    return;
  }
  if (loops.empty()) return;
  loop& l = loops.back();
  if (--l.left > 0 && (l.what.empty() || GameReads(l.what) == l.value)) {
    pc = l.start;
  } else {
    loops.pop_back();
  }
}

int script_tag::Waiting() {
  if (wait > 0 && --wait > 0) return 1;
  if (until_left <= 0) return 0;
  if (GameReads(until_what) == until_value) {
    until_left = 0;
    return 0;
  }
  if (--until_left == 0) std::fprintf(stderr, "playtest: gave up waiting for %s %d\n", until_what.c_str(), until_value);
  return until_left > 0;
}

int script_tag::step() {
  frames++;
  if (Waiting()) return 1;
  while (pc < lines.size()) {
    std::istringstream in(lines[pc++]);
    std::string verb;
    if (!(in >> verb) || verb[0] == '#') continue;
    if (verb == "repeat" || verb == "end") {
      RunLoop(in, verb);
      continue;
    }
    RunCommand(in, verb, *this);
    if (wait > 0 || until_left > 0) return 1;
  }
  return 0;
}
