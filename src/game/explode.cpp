// explode: burst particles that drift with the playfield, fade and shrink.
#include "game/explode.h"
#include "game/globals.h"
#include "platform/draw.h"
#include "platform/random.h"
#include "render/twdraw.h"

tlist<explode_tag> explode_list;

// NOTE: the order of the random draws is part of the game; keep it.
int explode_tag::set(float x, float y, int fr, int spread, int count) {
  for (int i = 0; i <= count; i++) {
    auto p = std::make_shared<explode_tag>();
    p->fr = fr;
    p->al = static_cast<float>(RandomReal(1.5, 2.5));
    p->x = static_cast<float>((x - spread) + RandomReal(0, 2 * spread));
    p->y = static_cast<float>((y - spread) + RandomReal(0, 2 * spread));
    p->sc = static_cast<float>(RandomReal(0.5, 1.5));
    p->alst = static_cast<float>(RandomReal(-0.04, -0.02));
    p->lnk = explode_list.add_last(p);
  }
  return 0;
}

// The scale has no floor: below 0 the sprite is drawn turned half a turn and grows again.
int explode_tag::update() {
  SetDrawColor(255, 255, 255);
  twdraw.sip(BLEND_ADDITIVE, al, 0, sc, sc);
  twdraw.i3d(bits_img, x, y, fr, 6.0f, 0, 2);
  x -= 1.5f;
  y += 1.5f;
  al += alst;
  sc -= 0.02f;
  if (!(al > 0)) remove();
  return 0;
}

int explode_tag::remove() {
  explode_list.remove_member(*this);
  return 0;
}

int explode_tag::update_all() {
  explode_list.update_each();
  return 0;
}

int explode_tag::destroy_all() {
  explode_list.remove_each();
  return 0;
}
