// screens_fixture: a game in progress on the shared game fixture, with a log of what the
// in-game screens draw, for the stage, game-over and panel tests.
#pragma once
#include <string>
#include <vector>
#include "game/gameover.h"
#include "game/screentext.h"
#include "game/shiplost.h"
#include "game/stage.h"
#include "support/game_fixture.h"

namespace screens_test {

class ScreensTest : public GameFixture {
 public:
  void SetUp() override {
    GameFixture::SetUp();
    game_state = GS_PLAYING;
    player_tag::reset(1);  // as the title menu starts a game
    screen_log = &log;
  }
  void TearDown() override {
    screen_log = nullptr;
    GameFixture::TearDown();
  }

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
  std::string TextAt(float y) const {
    for (const screen_item& i : log)
      if (!i.text.empty() && i.y == y) return i.text;
    return "";
  }

  void TapEnter() { synthetic::TapKey(SDL_SCANCODE_RETURN); }

  // A kind-4 virus that meets the ship at its start position in the next running frame.
  std::shared_ptr<virus_tag> VirusOnShip() { return AddVirus(4, player.x + 1.5f, player.y - 1.5f, 1, 1.0f); }

  std::vector<screen_item> log;
};

}  // namespace screens_test
