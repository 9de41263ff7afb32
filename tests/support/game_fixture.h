// game_fixture: shared set-up for tests that run real game frames: a headless display
// opened once per process, the game's sprites, a seeded generator, program-start
// globals, input through real SDL events and a virtual joystick, sounds that count
// their plays, and back-buffer read-back.
#pragma once
#include <SDL.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "app/assets.h"
#include "app/embedded_files.h"
#include "game/explode.h"
#include "game/globals.h"
#include "game/player.h"
#include "game/pshot.h"
#include "game/sfx.h"
#include "game/virus.h"
#include "platform/display.h"
#include "platform/draw.h"
#include "platform/image.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/sound.h"
#include "render/twdraw.h"
#include "support/counting_sound.h"
#include "support/shared_display.h"
#include "support/virtual_pad.h"
#include "synthetic_input.h"

namespace gamefix {

// The game's generator written out again from its definition, so expected random
// outcomes are computed here and not copied from the code under test.
struct RefRandom {
  int s;
  explicit RefRandom(int seed) {
    s = seed & 0x7FFFFFFF;
    if (s == 0 || s == 2147483647) s = 4660;
  }
  int Step() {
    long long next = (static_cast<long long>(s) * 48271) % 2147483647;
    s = static_cast<int>(next);
    return s;
  }
  double Real(double a, double b) {
    int hi = Step() & 0x1FFFFFFC;
    int lo = Step() & 0x1FFFFFF8;
    double u = (hi + lo / 134217728.0) / 536870912.0;
    return b > a ? a + u * (b - a) : b + u * (a - b);
  }
  void Skip(int reals) {
    for (int i = 0; i < reals; i++) Real(0, 1);
  }
  void SkipBurst(int count) { Skip(5 * (count + 1)); }  // five draws per particle
};

using ::CountingSound;

struct Box {
  int x0 = 0, y0 = 0, x1 = -1, y1 = -1;  // inclusive; empty when x1 < x0
  bool Empty() const { return x1 < x0; }
};

inline void OpenDisplayOnce() { shared_display::Ensure(); }

inline void LoadAssetsOnce() {
  static bool loaded = false;
  if (loaded) return;
  CreateBlankImages();
  LoadAssets();
  loaded = true;
}

// Everything the gameplay reads, as at program start with a game just begun.
inline void ResetGameGlobals() {
  pshot_list.clear();
  explode_list.clear();
  virus_list.clear();
  player = player_tag();
  player.lives = 3;
  player.level = 1;
  player.fwall = 3;
  player.x = 240.0f;
  player.y = 320.0f;
  game_state = GS_PLAYING;
  stage_phase = 1;
  phase_timer = 0;
  firewall_active = 0;
  firewall_x = firewall_y = 0;
  shots_fired = firewalls_launched = 0;
  waves_per_stage = 30;
  waves_spawned = 0;
  spawn_timer = 1;
  viruses_found = viruses_destroyed = 0;
  stereo_mode = 0;
  music_channel.reset();
}

inline Box LitBox(const TPixmap& shot, int threshold) {
  Box b{shot.width, shot.height, -1, -1};
  for (int y = 0; y < shot.height; y++) {
    for (int x = 0; x < shot.width; x++) {
      const uint8_t* p = shot.PixelPtr(x, y);
      if (p[0] <= threshold && p[1] <= threshold && p[2] <= threshold) continue;
      b.x0 = std::min(b.x0, x), b.y0 = std::min(b.y0, y);
      b.x1 = std::max(b.x1, x), b.y1 = std::max(b.y1, y);
    }
  }
  if (b.x1 < 0) return Box{};
  return b;
}

// Where a frame's bright solid pixels land when drawn unscaled with its handle at (x, y).
inline Box SpriteBox(const std::shared_ptr<TImage>& img, int frame, int x, int y, int threshold) {
  std::shared_ptr<TPixmap> pm = img->Lock(frame, 1, 0);
  std::shared_ptr<TPixmap> rgba = pm->Convert(PF_RGBA8888);
  Box b{rgba->width, rgba->height, -1, -1};
  for (int py = 0; py < rgba->height; py++) {
    for (int px = 0; px < rgba->width; px++) {
      const uint8_t* p = rgba->PixelPtr(px, py);
      if (p[3] < 128 || (p[0] <= threshold && p[1] <= threshold && p[2] <= threshold)) continue;
      b.x0 = std::min(b.x0, px), b.y0 = std::min(b.y0, py);
      b.x1 = std::max(b.x1, px), b.y1 = std::max(b.y1, py);
    }
  }
  if (b.x1 < 0) return Box{};
  int ox = x - static_cast<int>(img->handle_x), oy = y - static_cast<int>(img->handle_y);
  return Box{b.x0 + ox, b.y0 + oy, b.x1 + ox, b.y1 + oy};
}

}  // namespace gamefix

class GameFixture : public ::testing::Test, public pad_on_first_use {
 public:  // table-driven cases reach these from their lambdas
  static constexpr int kSeed = 20240611;

  static void SetUpTestSuite() {
    gamefix::OpenDisplayOnce();
    gamefix::LoadAssetsOnce();
  }

  void SetUp() override {
    shared_display::Ensure();
    ASSERT_NE(DisplayWindow(), nullptr);
    saved_sounds = {snd_plasma, snd_firewall, snd_explode, snd_powerup, snd_stageclear, snd_gamestart};
    snd_plasma = plasma, snd_firewall = firewall, snd_explode = explode;
    snd_powerup = powerup, snd_stageclear = stageclear, snd_gamestart = gamestart;
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    ClearKeyHits();
    ClearMouseHits();
    gamefix::ResetGameGlobals();
    SeedRandom(kSeed);
    SetDrawColor(255, 255, 255);
    twdraw.sip(1, 1.0f, 0, 1.0f, 1.0f);
    ClearScreen();
  }

  void TearDown() override {
    if (pad_.ok()) {
      // The port keeps its last reading once the pad is gone; leave it centred and released.
      pad_.Rest();
      GetJoyAxisX(0);
      for (int b = 0; b < 3; b++) ReadJoyButtonHit(b, 0);
      pad_.Detach();
    }
    gamefix::ResetGameGlobals();
    snd_plasma = saved_sounds[0], snd_firewall = saved_sounds[1], snd_explode = saved_sounds[2];
    snd_powerup = saved_sounds[3], snd_stageclear = saved_sounds[4], snd_gamestart = saved_sounds[5];
  }

  // Keys by their place on the keyboard.
  void KeyDown(SDL_Scancode scan) { synthetic::PushKey(scan, true); }
  void KeyUp(SDL_Scancode scan) { synthetic::PushKey(scan, false); }
  void PressLeft() { KeyDown(SDL_SCANCODE_LEFT); }
  void PressRight() { KeyDown(SDL_SCANCODE_RIGHT); }
  void TapFire() {
    KeyDown(SDL_SCANCODE_LCTRL);
    KeyUp(SDL_SCANCODE_LCTRL);
  }
  void TapFireWall() {
    KeyDown(SDL_SCANCODE_LALT);
    KeyUp(SDL_SCANCODE_LALT);
  }

  // One frame of the get-ready phase: the ship and its shots only.
  void ReadyFrame() {
    ClearScreen();
    player.update();
    pshot_tag::update_all();
  }

  // One frame of a running stage, in the playing screen's order, on a cleared buffer.
  void RunningFrame() {
    ClearScreen();
    virus_tag::update_all();
    pshot_tag::update_all();
    player.update();
    explode_tag::update_all();
  }

  std::shared_ptr<TPixmap> Screen() { return GrabPixmap(0, 0, 640, 480); }

  std::shared_ptr<virus_tag> AddVirus(int typ, float x, float y, int hpts, float scale) {
    auto v = std::make_shared<virus_tag>();
    v->typ = typ, v->x = x, v->y = y, v->hpts = hpts, v->scale = scale;
    v->lnk = virus_list.add_last(v);
    return v;
  }
  std::shared_ptr<pshot_tag> AddShot(float x, float y) {
    pshot_tag::fire(0, 0);
    std::shared_ptr<pshot_tag> s = LastOf(pshot_list);
    s->x = x, s->y = y;
    return s;
  }
  template <class T>
  static std::shared_ptr<T> LastOf(tlist<T>& list) {
    std::shared_ptr<T> last;
    list.walk([&last](T& item) {
      last = item.lnk->value;
      return 0;
    });
    return last;
  }

  std::shared_ptr<gamefix::CountingSound> plasma = std::make_shared<gamefix::CountingSound>();
  std::shared_ptr<gamefix::CountingSound> firewall = std::make_shared<gamefix::CountingSound>();
  std::shared_ptr<gamefix::CountingSound> explode = std::make_shared<gamefix::CountingSound>();
  std::shared_ptr<gamefix::CountingSound> powerup = std::make_shared<gamefix::CountingSound>();
  std::shared_ptr<gamefix::CountingSound> stageclear = std::make_shared<gamefix::CountingSound>();
  std::shared_ptr<gamefix::CountingSound> gamestart = std::make_shared<gamefix::CountingSound>();

 private:
  std::vector<std::shared_ptr<TSound>> saved_sounds;
};
