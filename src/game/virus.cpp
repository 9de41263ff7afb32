// virus: one virus's frame: its move, its drawing, and its tests against the ship, the
// shots and the fire wall, with the points, counts and bursts they give.
#include "game/virus.h"
#include "game/explode.h"
#include "game/globals.h"
#include "game/player.h"
#include "game/pshot.h"
#include "game/music.h"
#include "game/sfx.h"
#include "platform/draw.h"
#include "platform/random.h"
#include "render/twdraw.h"

static void DrawVirus(const virus_tag& v) {
  SetDrawColor(10, 10, 10);
  twdraw.sip(BLEND_ALPHA, 0.8f, 0, v.scale - 0.2f, v.scale - 0.2f);
  DrawImageFrame(virus_img, v.x + 20, v.y + 20, v.fctr);
  SetDrawColor(255, 255, 255);
  twdraw.sip(BLEND_MASK, 1.0f, 0, v.scale, v.scale);
  twdraw.i3d(virus_img, v.x, v.y, v.fctr, 6.0f, 0, 2);
}

static void DrawCpuMarker(const virus_tag& v) {
  SetDrawColor(255, 255, 255);
  twdraw.sip(BLEND_MASK, 1.0f, 45, 1.5f, 1.5f);
  DrawImageFrame(cpu_img, v.x, v.y, 0);
}

static void DrawCapsule(const virus_tag& v) {
  SetDrawColor(10, 10, 10);
  twdraw.sip(BLEND_ALPHA, 0.8f, 0, v.scale - 0.2f, v.scale - 0.2f);
  DrawImageFrame(bits_img, v.x + 20, v.y + 20, 4);
  SetDrawColor(255, 255, 255);
  twdraw.sip(BLEND_MASK, 1.0f, 0, v.scale, v.scale);
  twdraw.i3d(virus_img, v.x, v.y, 2, 6.0f, 0, 2);
  twdraw.sip(BLEND_ADDITIVE, static_cast<float>(RandomReal(0.4, 1.0)), 0, 3.0f, 3.0f);
  twdraw.i3d(bits_img, v.x + 4, v.y + 2, 4, 6.0f, 0, 2);
}

// NOTE: the collision tests run under the transform this leaves (rotation 45 after the marker).
static void Draw(const virus_tag& v) {
  if (v.typ >= V_LINE && v.typ <= V_SINGLE) DrawVirus(v);
  else if (v.typ == V_CPU) DrawCpuMarker(v);
  else if (v.typ == V_CAPSULE) DrawCapsule(v);
  SetDrawScale(1.0f, 1.0f);
}

static int TouchesShip(const virus_tag& v) {
  return ImagesOverlap(ship_img, TruncToInt(player.x), TruncToInt(player.y), 0, virus_img, TruncToInt(v.x),
                       TruncToInt(v.y), 2);
}

static void CollectCapsule(virus_tag& v) {
  if (player.skick < 2) {
    player.skick += 1;
  } else {
    player.fwall += 1;
    player.score += 1000;
  }
  PlaySfx(snd_powerup);
  v.remove();
}

// Lives are taken off by the ship-lost screen, not here.
static void HitShip(virus_tag& v) {
  phase_timer = 0;
  viruses_destroyed += 1;
  PlaySfx(snd_explode);
  explode_tag::set(player.x, player.y, 3, 100, 100);
  if (player.lives > 1) {
    game_state = GS_SHIP_LOST;
  } else {
    player.lives = 0;
    game_state = GS_GAME_OVER;
  }
  v.remove();
}

// The CPU marker has no contact rule: touching it costs the ship nothing.
static void ShipContact(virus_tag& v) {
  if (v.typ == V_CAPSULE) {
    if (TouchesShip(v)) CollectCapsule(v);
  } else if (v.typ >= V_LINE && v.typ <= V_SINGLE) {
    if (TouchesShip(v)) HitShip(v);
  }
}

static int RandomBurstFrame() { return TruncToInt(RandomReal(0, 4)); }

// A large virus lives on as a capsule; the others leave the list.
static void Destroy(virus_tag& v) {
  viruses_destroyed += 1;
  explode_tag::set(v.x, v.y, RandomBurstFrame(), 25, 50);
  if (v.typ == V_LARGE) {
    player.score += 100;
    v.typ = V_CAPSULE;
    v.scale = 1.0f;
  } else {
    player.score += 25;
    v.remove();
  }
}

static int Shootable(const virus_tag& v) { return v.typ != V_CAPSULE && v.typ != V_CPU; }

// A small virus already destroyed in this walk is still hit, counted and scored by later shots;
// one turned capsule is out of reach of the rest, so the walk ends there.
static void ShotHits(virus_tag& v) {
  if (!Shootable(v)) return;
  pshot_list.walk([&v](pshot_tag& s) {
    if (!ImagesOverlap(bits_img, TruncToInt(s.x), TruncToInt(s.y), 0, virus_img, TruncToInt(v.x),
                       TruncToInt(v.y), 0))
      return 0;
    PlaySfx(snd_explode);
    s.remove();
    v.hpts -= 1;
    if (v.hpts <= 0) Destroy(v);
    else explode_tag::set(v.x, v.y, RandomBurstFrame(), 4, 10);
    return Shootable(v) ? 0 : 1;
  });
}

// Whatever its hit points, and without a sound.
static void FireWall(virus_tag& v) {
  if (firewall_active == 1 && v.y > firewall_y && Shootable(v)) Destroy(v);
}

static void Animate(virus_tag& v) {
  v.ftmr += 1;
  if (v.ftmr >= 6) {
    v.ftmr = 0;
    v.fctr += 1;
    if (v.fctr > 1) v.fctr = 0;
  }
}

static void LeaveScreen(virus_tag& v) {
  if (!(v.x < 0 || v.y > 480)) return;
  v.remove();
  if (v.typ == V_CPU) {
    phase_timer = 0;
    PlaySfx(snd_stageclear);
    StopMusic();
    stage_phase = 2;
  }
}

// Every step runs even after an earlier one took v off the list; only v's kind decides.
int virus_tag::update() {
  std::shared_ptr<virus_tag> hold = lnk ? lnk->value : nullptr;  // keeps v alive past its removal
  if (typ == V_CPU) {
    x -= 1.0f;
    y += 1.0f;
  } else {
    x -= 1.5f;
    y += 1.5f;
  }
  Draw(*this);
  ShipContact(*this);
  ShotHits(*this);
  FireWall(*this);
  Animate(*this);
  LeaveScreen(*this);
  if (viruses_destroyed > viruses_found) viruses_destroyed = viruses_found;
  return 0;
}
