// pshot: plasma shots flying up and to the right until they leave the top or right edge.
#include "game/pshot.h"
#include "game/globals.h"
#include "platform/draw.h"
#include "render/twdraw.h"

tlist<pshot_tag> pshot_list;

int pshot_tag::fire(int x, int y) {
  auto s = std::make_shared<pshot_tag>();
  s->x = static_cast<float>(x);
  s->y = static_cast<float>(y);
  s->lnk = pshot_list.add_last(s);
  return 0;
}

int pshot_tag::update() {
  x += 8.0f;
  y -= 7.5f;
  // A blue halo under a smaller white core, both added to what is below.
  SetDrawColor(10, 150, 200);
  twdraw.sip(BLEND_ADDITIVE, 1.0f, 0, 1.0f, 1.0f);
  twdraw.i3d(bits_img, x, y, 0, 6.0f, 0, 2);
  SetDrawColor(255, 255, 255);
  twdraw.sip(BLEND_ADDITIVE, 1.0f, 0, 0.8f, 0.8f);
  twdraw.i3d(bits_img, x, y, 0, 6.0f, 0, 2);
  if (y < 0.0f || x > 640.0f) remove();
  return 0;
}

int pshot_tag::remove() {
  pshot_list.remove_member(*this);
  return 0;
}

int pshot_tag::update_all() {
  pshot_list.update_each();
  return 0;
}

int pshot_tag::destroy_all() {
  pshot_list.remove_each();
  return 0;
}
