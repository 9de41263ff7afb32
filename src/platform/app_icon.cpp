// app_icon: kept as RGBA pixels and handed to SDL whenever a window is made.
#include "platform/app_icon.h"
#include <SDL2/SDL.h>
#include "platform/display.h"
#include "platform/pixmap.h"

namespace {

struct {
  std::shared_ptr<TPixmap> rgba;
} ICON;

}  // namespace

int SetAppIcon(const std::string& png_source) {
  std::shared_ptr<TPixmap> png = LoadPixmapPng(png_source);
  ICON.rgba = png ? png->Convert(PF_RGBA8888) : nullptr;
  ApplyAppIcon();
  return ICON.rgba != nullptr;
}

std::shared_ptr<TPixmap> AppIcon() { return ICON.rgba; }

void ApplyAppIcon() {
  TPixmap* p = ICON.rgba.get();
  if (!p || !DisplayWindow()) return;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(p->pixels.data(), p->width, p->height, 32, p->pitch,
                                                      SDL_PIXELFORMAT_RGBA32);
  if (!s) return;
  SDL_SetWindowIcon(DisplayWindow(), s);  // SDL keeps its own copy
  SDL_FreeSurface(s);
}
