// screens_fixture: a real display with the game's assets, a game in progress, and a log
// of what the screens draw, for the stage, game-over and panel tests.
#pragma once
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>
#include "app/assets.h"
#include "app/embedded_files.h"
#include "game/explode.h"
#include "game/globals.h"
#include "game/player.h"
#include "game/pshot.h"
#include "game/screens.h"
#include "game/stage.h"
#include "game/virus.h"
#include "platform/display.h"
#include "platform/draw.h"
#include "platform/image.h"
#include "platform/input.h"
#include "render/twdraw.h"
#include "screens_input.h"

namespace screens_test {

inline void OpenGameOnce() {
  static bool open = false;
  if (open) return;
  open = true;
  RegisterGameFiles();
  OpenGraphics(640, 480, 0, 60, 2);
  CountJoysticks();
  SetMaskKey(0, 0, 0);
  SetDefaultImageFlags(9);
  CreateBlankImages();
  LoadAssets();
}

// A virus of a kind, placed by hand at the end of virus_list.
inline std::shared_ptr<virus_tag> AddVirus(float x, float y, int typ) {
  auto v = std::make_shared<virus_tag>();
  v->x = x;
  v->y = y;
  v->typ = typ;
  v->scale = typ == 2 ? 1.5f : 1.0f;
  v->hpts = typ == 2 ? 6 : 1;
  v->lnk = virus_list.add_last(v);
  return v;
}

class ScreensTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OpenGameOnce();
    stereo_mode = 0;
    game_state = GS_PLAYING;
    player_tag::reset(1);
    screen_log = &log;
  }
  void TearDown() override { screen_log = nullptr; }

  // One frame of the screen the game is on, with what it drew noted afresh.
  void Frame() {
    log.clear();
    ClearScreen();
    if (game_state == GS_PLAYING) PlayingScreen();
    else if (game_state == GS_SHIP_LOST) ShipLostScreen();
    else if (game_state == GS_GAME_OVER) GameOverScreen();
  }

  const screen_item* Text(const std::string& text) const {
    for (const screen_item& i : log)
      if (i.text == text) return &i;
    return nullptr;
  }
  const screen_item* TextAtY(float y) const {
    for (const screen_item& i : log)
      if (!i.text.empty() && i.y == y) return &i;
    return nullptr;
  }
  std::string TextAt(float y) const {
    const screen_item* i = TextAtY(y);
    return i ? i->text : "";
  }

  // A virus that meets the ship at the start position in the next running frame.
  std::shared_ptr<virus_tag> VirusOnShip() { return AddVirus(player.x + 1.5f, player.y - 1.5f, 4); }

  std::vector<screen_item> log;
};

}  // namespace screens_test
