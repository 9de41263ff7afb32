// draw: the current 2D drawing state and the shapes drawn under it. Every setter keeps
// the value as given and forwards it to the back-end, which clamps it for drawing.
#include "platform/draw.h"
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

struct {
  TDraw2DGraphics* current = nullptr;
  std::vector<TDrawCall>* call_log = nullptr;  // the test seam's, while set
} DRAW;

// Sine and cosine of the last angle asked for: most sprites of a frame share one.
// Keyed by the angle's bits, so -0 and each NaN keep their own results.
struct TTurn {
  uint32_t bits = 0;
  double cos = 1, sin = 0;
};

const TTurn& Turn(float degrees) {
  static TTurn last;
  uint32_t bits;
  std::memcpy(&bits, &degrees, sizeof bits);
  if (bits != last.bits) {
    double r = degrees * 0.017453292519943295;
    last = {bits, std::cos(r), std::sin(r)};
  }
  return last;
}

// The 2x2 matrix from rotation and scale; with y downward a positive angle turns clockwise.
void RebuildMatrix(TDraw2DGraphics* s) {
  const TTurn& t = Turn(s->tform_rot);
  s->tform_ix = static_cast<float>(t.cos * s->tform_scale_x);
  s->tform_iy = static_cast<float>(-t.sin * s->tform_scale_y);
  s->tform_jx = static_cast<float>(t.sin * s->tform_scale_x);
  s->tform_jy = static_cast<float>(t.cos * s->tform_scale_y);
  s->_driver->SetTransform(s->tform_ix, s->tform_iy, s->tform_jx, s->tform_jy);
}

}  // namespace

TDraw2DGraphics::~TDraw2DGraphics() {
  if (DRAW.current == this) DRAW.current = nullptr;
}

void TDraw2DGraphics::GetSettings(int* width, int* height, int* depth, int* hertz, int* flags) {
  *width = *height = *depth = *hertz = *flags = 0;
  if (_graphics) _graphics->GetSettings(width, height, depth, hertz, flags);
}

void TDraw2DGraphics::Close() {
  if (DRAW.current == this) ClearCurrent();
  if (_graphics) _graphics->Close();
}

// In the fixed order blend, colour, alpha, clear colour, line width, matrix, viewport;
// origin, handle and font live in the state alone.
void TDraw2DGraphics::Validate() {
  _driver->SetBlend(blend_mode);
  _driver->SetColor(color_red, color_green, color_blue);
  _driver->SetAlpha(color_alpha);
  _driver->SetClsColor(clscolor_red, clscolor_green, clscolor_blue);
  _driver->SetLineWidth(line_width);
  RebuildMatrix(this);
  _driver->SetViewport(viewport_x, viewport_y, viewport_w, viewport_h);
}

void TDraw2DGraphics::MakeCurrent() {
  DRAW.current = this;
  _driver->SetGraphics(_graphics.get());
  _driver->ResetContext();
  Validate();
  if (_setup) return;
  _setup = 1;
  for (int i = 0; i < 2; i++) {  // both buffers start in the clear colour
    _driver->Cls();
    _driver->Flip(0);
  }
}

void TDraw2DGraphics::ClearCurrent() {
  if (DRAW.current) DRAW.current->_driver->SetGraphics(nullptr);
  DRAW.current = nullptr;
}

TDraw2DGraphics* TDraw2DGraphics::Current() { return DRAW.current; }

std::shared_ptr<TDraw2DGraphics> TDraw2DGraphics::Create(std::shared_ptr<TGraphics> graphics, TDraw2DDriver* driver) {
  auto s = std::make_shared<TDraw2DGraphics>();
  s->_graphics = std::move(graphics);
  s->_driver = driver;
  int depth, hertz, flags;
  s->GetSettings(&s->viewport_w, &s->viewport_h, &depth, &hertz, &flags);
  return s;
}

void SetDrawColor(int red, int green, int blue) {
  TDraw2DGraphics* s = DRAW.current;
  if (!s) return;
  s->color_red = red, s->color_green = green, s->color_blue = blue;
  s->_driver->SetColor(red, green, blue);
}

void SetDrawAlpha(float alpha) {
  if (!DRAW.current) return;
  DRAW.current->color_alpha = alpha;
  DRAW.current->_driver->SetAlpha(alpha);
}

void SetBlendMode(int mode) {
  if (!DRAW.current) return;
  DRAW.current->blend_mode = mode;
  DRAW.current->_driver->SetBlend(mode);
}

void SetClearColor(int red, int green, int blue) {
  TDraw2DGraphics* s = DRAW.current;
  if (!s) return;
  s->clscolor_red = red, s->clscolor_green = green, s->clscolor_blue = blue;
  s->_driver->SetClsColor(red, green, blue);
}

void SetDrawRotation(float degrees) { SetDrawTransform(degrees, GetDrawScaleX(), GetDrawScaleY()); }

float GetDrawRotation() { return DRAW.current ? DRAW.current->tform_rot : 0.0f; }

void SetDrawScale(float sx, float sy) { SetDrawTransform(GetDrawRotation(), sx, sy); }

void SetDrawTransform(float degrees, float sx, float sy) {
  TDraw2DGraphics* s = DRAW.current;
  if (!s) return;
  s->tform_rot = degrees, s->tform_scale_x = sx, s->tform_scale_y = sy;
  RebuildMatrix(s);
}

void SetViewport(int x, int y, int width, int height) {
  TDraw2DGraphics* s = DRAW.current;
  if (!s) return;
  s->viewport_x = x, s->viewport_y = y, s->viewport_w = width, s->viewport_h = height;
  s->_driver->SetViewport(x, y, width, height);
}

void SetDrawHandle(float x, float y) {
  if (!DRAW.current) return;
  DRAW.current->handle_x = -x, DRAW.current->handle_y = -y;
}

void SetDrawOrigin(float x, float y) {
  if (!DRAW.current) return;
  DRAW.current->origin_x = x, DRAW.current->origin_y = y;
}

void SetLineWidth(float width) {
  if (!DRAW.current) return;
  DRAW.current->line_width = width;
  DRAW.current->_driver->SetLineWidth(width);
}

void GetDrawColor(int* red, int* green, int* blue) {
  TDraw2DGraphics* s = DRAW.current;
  *red = s ? s->color_red : 0, *green = s ? s->color_green : 0, *blue = s ? s->color_blue : 0;
}

float GetDrawAlpha() { return DRAW.current ? DRAW.current->color_alpha : 0.0f; }

int GetBlendMode() { return DRAW.current ? DRAW.current->blend_mode : 0; }

float GetDrawScaleX() { return DRAW.current ? DRAW.current->tform_scale_x : 1.0f; }

float GetDrawScaleY() { return DRAW.current ? DRAW.current->tform_scale_y : 1.0f; }

void GetDrawScale(float* sx, float* sy) { *sx = GetDrawScaleX(), *sy = GetDrawScaleY(); }

void GetDrawMatrix(float* ix, float* iy, float* jx, float* jy) {
  TDraw2DGraphics* s = DRAW.current;
  *ix = s ? s->tform_ix : 1, *iy = s ? s->tform_iy : 0, *jx = s ? s->tform_jx : 0, *jy = s ? s->tform_jy : 1;
}

void ClearScreen() {
  if (DRAW.current) DRAW.current->_driver->Cls();
}

void FillRect(float x, float y, float width, float height) {
  TDraw2DGraphics* s = DRAW.current;
  if (!s) return;
  float hx = s->handle_x, hy = s->handle_y;
  s->_driver->DrawRect(hx, hy, hx + width, hy + height, x + s->origin_x, y + s->origin_y);
  if (DRAW.call_log) LogDrawCall({DC_RECT, nullptr, 0, "", x, y, width, height});
}

void DrawLineSegment(float x1, float y1, float x2, float y2, int last) {
  TDraw2DGraphics* s = DRAW.current;
  if (!s) return;
  float hx = s->handle_x, hy = s->handle_y, tx = x1 + s->origin_x, ty = y1 + s->origin_y;
  s->_driver->DrawLine(hx, hy, hx + x2 - x1, hy + y2 - y1, tx, ty);
  if (DRAW.call_log) LogDrawCall({DC_LINE, nullptr, 0, "", x1, y1, x2, y2});
  if (!last) return;
  float ex = x2 - x1 + hx, ey = y2 - y1 + hy;
  s->_driver->Plot(ex * s->tform_ix + ey * s->tform_iy + tx, ex * s->tform_jx + ey * s->tform_jy + ty);
}

std::shared_ptr<TPixmap> GrabPixmap(int x, int y, int width, int height) {
  return DRAW.current ? DRAW.current->_driver->GrabPixmap(x, y, width, height) : nullptr;
}

void SetDrawCallLog(std::vector<TDrawCall>* log) { DRAW.call_log = log; }

void LogDrawCall(TDrawCall call) {
  TDraw2DGraphics* s = DRAW.current;
  if (!DRAW.call_log || !s) return;
  call.r = s->color_red, call.g = s->color_green, call.b = s->color_blue, call.blend = s->blend_mode;
  call.alpha = s->color_alpha, call.rotation = s->tform_rot, call.sx = s->tform_scale_x, call.sy = s->tform_scale_y;
  DRAW.call_log->push_back(std::move(call));
}
