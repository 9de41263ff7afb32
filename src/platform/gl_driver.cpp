// gl_driver: the OpenGL 2D back-end: blend modes, colour, the drawing matrix, shapes and
// reading the picture back. It caches what it last set and skips GL calls that would
// change nothing (blend mode, texturing, texture binding); the blend mode waits for a shape.
#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include "platform/gl_driver.h"

namespace {

struct {
  int blend = -1;          // the mode asked for; -1: unknown, re-applied on the next set
  int applied = -1;        // the mode GL has, which an opaque shape may have narrowed
  int texturing = -1;
  unsigned bound = ~0u;
  GLubyte rgba[4] = {255, 255, 255, 255};
  GLfloat cls[3] = {0, 0, 0};
  float ix = 1, iy = 0, jx = 0, jy = 1;
  float line_width = 1;
  int vp_x = 0, vp_y = 0, vp_w = 0, vp_h = 0;
  TGLDriverStats stats;
  std::string title;        // caption of windows created afterwards
  void (*recorder)(const TGLDrawRecord&) = nullptr;
} GL;

void UseTexturing(int on) {
  if (GL.texturing == on) return;
  GL.texturing = on;
  on ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
  GL.stats.texture_switches++;
}

void BindTexture(unsigned name) {
  UseTexturing(1);
  if (GL.bound == name) return;
  GL.bound = name;
  glBindTexture(GL_TEXTURE_2D, name);
  GL.stats.texture_binds++;
}

void ApplyBlend(int mode) {
  switch (mode) {
    case 1:
      glDisable(GL_BLEND);
      glEnable(GL_ALPHA_TEST);
      glAlphaFunc(GL_GEQUAL, 0.5f);
      return;
    case 3: glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); break;
    case 4: glBlendFunc(GL_SRC_ALPHA, GL_ONE); break;
    case 5: glBlendFunc(GL_DST_COLOR, GL_ZERO); break;
    default:
      glDisable(GL_BLEND);
      glDisable(GL_ALPHA_TEST);
      return;
  }
  glEnable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
}

void UseBlend(int mode) {
  if (GL.applied == mode) return;
  GL.applied = mode;
  ApplyBlend(mode);
  GL.stats.blend_changes++;
}

// Under alpha blend or mask at full alpha, an opaque source (2) replaces what is below and
// a source whose alpha is only ever 0 or full (1) replaces it or leaves it: drawn without
// blending, which software GL fills much faster, the picture is the same.
void UseBlendFor(int source_alpha) {
  int plain = source_alpha && GLSolidDrawnPlainly();
  UseBlend(plain ? (source_alpha == 2 ? 2 : 1) : GL.blend);
}

// A colour set between glBegin and glEnd is part of the vertices, so shapes in the same
// state batch into one draw; set outside, each change would end the batch.
void BeginShape(GLenum mode, int source_alpha = 0) {
  UseBlendFor(source_alpha);
  glBegin(mode);
  glColor4ubv(GL.rgba);
}

void Vertex(float x, float y, float tx, float ty) {
  glVertex2f(x * GL.ix + y * GL.iy + tx, x * GL.jx + y * GL.jy + ty);
}

// Tells the recorder, if any, what the shape about to be drawn looks like on screen.
void Record(int kind, unsigned texture, const float* local, int corners, float tx, float ty,
            const float* uv = nullptr) {
  TGLDrawRecord r;
  if (uv) r.u0 = uv[0], r.v0 = uv[1], r.u1 = uv[2], r.v1 = uv[3];
  r.kind = kind, r.texture = texture, r.blend = GL.applied, r.line_width = GL.line_width;
  std::memcpy(r.rgba, GL.rgba, 4);
  for (int i = 0; i < corners; i++) {
    float x = local[i * 2], y = local[i * 2 + 1];
    r.x[i] = x * GL.ix + y * GL.iy + tx, r.y[i] = x * GL.jx + y * GL.jy + ty;
  }
  GL.recorder(r);
}

int PictureWidth() { return GLCurrentGraphics() ? GLCurrentGraphics()->width : 0; }
int PictureHeight() { return GLCurrentGraphics() ? GLCurrentGraphics()->height : 0; }

void ApplyProjection() {
  int w = PictureWidth(), h = PictureHeight();
  glViewport(0, 0, w, h);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, w, h, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void ApplyScissor() {
  if (GL.vp_x == 0 && GL.vp_y == 0 && GL.vp_w == PictureWidth() && GL.vp_h == PictureHeight()) {
    glDisable(GL_SCISSOR_TEST);
    return;
  }
  glEnable(GL_SCISSOR_TEST);
  glScissor(GL.vp_x, PictureHeight() - GL.vp_y - GL.vp_h, std::max(GL.vp_w, 0), std::max(GL.vp_h, 0));
}

// Opaque black, as the part of a grab beyond the picture reads.
std::shared_ptr<TPixmap> BlackPixmap(int width, int height) {
  auto p = TPixmap::Create(width, height, PF_RGBA8888);
  if (p)
    for (size_t i = 3; i < p->pixels.size(); i += 4) p->pixels[i] = 255;
  return p;
}

// Reads the part of the rectangle that lies on the picture into its place in p.
void ReadPicture(TPixmap* p, int x, int y) {
  int x0 = std::max(x, 0), y0 = std::max(y, 0);
  int x1 = std::min(x + p->width, PictureWidth()), y1 = std::min(y + p->height, PictureHeight());
  if (x0 >= x1 || y0 >= y1) return;
  int w = x1 - x0, h = y1 - y0;
  std::vector<GLubyte> rows(static_cast<size_t>(w) * h * 4);
  glReadPixels(x0, PictureHeight() - y1, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
  int opaque = !(GLCurrentGraphics()->flags & 4);
  for (int r = 0; r < h; r++) {
    const GLubyte* src = rows.data() + static_cast<size_t>(h - 1 - r) * w * 4;  // bottom-up to top-down
    uint8_t* dst = p->pixels.data() + static_cast<size_t>(y0 - y + r) * p->pitch + static_cast<size_t>(x0 - x) * 4;
    std::memcpy(dst, src, static_cast<size_t>(w) * 4);
    if (opaque)
      for (int i = 0; i < w; i++) dst[i * 4 + 3] = 255;
  }
}

class TGLDraw2DDriver : public TDraw2DDriver {
 public:
  std::vector<TGraphicsMode> GraphicsModes() override { return GLGraphicsModes(); }
  std::shared_ptr<TGraphics> CreateGraphics(int width, int height, int depth, int hertz, int flags) override;
  void SetGraphics(TGraphics* graphics) override { GLSetGraphics(dynamic_cast<TGLGraphics*>(graphics)); }
  void Flip(int sync) override { GLPresent(sync); }

  std::shared_ptr<TImageFrame> CreateFrameFromPixmap(const TPixmap& pixmap, int flags) override {
    return GLCreateFrame(pixmap, flags);
  }
  void SetBlend(int mode) override;
  void SetAlpha(float alpha) override;
  void SetColor(int red, int green, int blue) override;
  void SetClsColor(int red, int green, int blue) override;
  void SetViewport(int x, int y, int width, int height) override;
  void SetTransform(float ix, float iy, float jx, float jy) override { GL.ix = ix, GL.iy = iy, GL.jx = jx, GL.jy = jy; }
  void SetLineWidth(float width) override;
  void Cls() override;
  void Plot(float x, float y) override;
  void DrawLine(float x0, float y0, float x1, float y1, float tx, float ty) override;
  void DrawRect(float x0, float y0, float x1, float y1, float tx, float ty) override;
  std::shared_ptr<TPixmap> GrabPixmap(int x, int y, int width, int height) override;
  void ResetContext() override;
};

// NOTE: made before main, so it outlives the exit sequence even when the audio arranged
// that before the first display was opened.
TGLDraw2DDriver GL_DRIVER;

}  // namespace

void SetGLWindowTitle(const std::string& title) { GL.title = title; }

std::shared_ptr<TGraphics> TGLDraw2DDriver::CreateGraphics(int width, int height, int depth, int hertz, int flags) {
  return GLCreateGraphics(width, height, depth, hertz, flags, GL.title);
}

// The mode reaches GL with the next shape (see BeginShape): one set and replaced before
// anything is drawn, as a stereo pass does, would otherwise end a batch for nothing.
void TGLDraw2DDriver::SetBlend(int mode) { GL.blend = mode; }

// The colour reaches GL with each shape (see BeginShape), not here.
void TGLDraw2DDriver::SetAlpha(float alpha) {
  if (alpha > 1.0f) alpha = 1.0f;
  if (!(alpha >= 0.0f)) alpha = 0.0f;  // negative or NaN
  GL.rgba[3] = static_cast<GLubyte>(alpha * 255.0f);
}

void TGLDraw2DDriver::SetColor(int red, int green, int blue) {
  GL.rgba[0] = static_cast<GLubyte>(std::clamp(red, 0, 255));
  GL.rgba[1] = static_cast<GLubyte>(std::clamp(green, 0, 255));
  GL.rgba[2] = static_cast<GLubyte>(std::clamp(blue, 0, 255));
}

void TGLDraw2DDriver::SetClsColor(int red, int green, int blue) {
  GL.cls[0] = std::clamp(red, 0, 255) / 255.0f;
  GL.cls[1] = std::clamp(green, 0, 255) / 255.0f;
  GL.cls[2] = std::clamp(blue, 0, 255) / 255.0f;
  glClearColor(GL.cls[0], GL.cls[1], GL.cls[2], 1.0f);
}

void TGLDraw2DDriver::SetViewport(int x, int y, int width, int height) {
  GL.vp_x = x, GL.vp_y = y, GL.vp_w = width, GL.vp_h = height;
  ApplyScissor();
}

void TGLDraw2DDriver::Cls() {
  glClear(GL_COLOR_BUFFER_BIT);
  if (!GL.recorder) return;
  TGLDrawRecord r;
  r.kind = GLREC_CLEAR;
  for (int i = 0; i < 3; i++) r.rgba[i] = static_cast<unsigned char>(GL.cls[i] * 255.0f + 0.5f);
  r.rgba[3] = 255;
  GL.recorder(r);
}

void TGLDraw2DDriver::SetLineWidth(float width) {
  GL.line_width = width;
  if (width > 0) glLineWidth(width);
}

void TGLDraw2DDriver::Plot(float x, float y) {
  UseTexturing(0);
  BeginShape(GL_POINTS);
  glVertex2f(x + 0.5f, y + 0.5f);
  glEnd();
  if (GL.recorder) {
    const float at[2] = {0, 0};
    Record(GLREC_POINT, 0, at, 1, x + 0.5f, y + 0.5f);
  }
}

void TGLDraw2DDriver::DrawLine(float x0, float y0, float x1, float y1, float tx, float ty) {
  UseTexturing(0);
  BeginShape(GL_LINES);
  Vertex(x0, y0, tx + 0.5f, ty + 0.5f);
  Vertex(x1, y1, tx + 0.5f, ty + 0.5f);
  glEnd();
  if (GL.recorder) {
    const float ends[4] = {x0, y0, x1, y1};
    Record(GLREC_LINE, 0, ends, 2, tx + 0.5f, ty + 0.5f);
  }
}

void TGLDraw2DDriver::DrawRect(float x0, float y0, float x1, float y1, float tx, float ty) {
  UseTexturing(0);
  BeginShape(GL_QUADS, 2);
  Vertex(x0, y0, tx, ty);
  Vertex(x1, y0, tx, ty);
  Vertex(x1, y1, tx, ty);
  Vertex(x0, y1, tx, ty);
  glEnd();
  if (GL.recorder) {
    const float corners[8] = {x0, y0, x1, y0, x1, y1, x0, y1};
    Record(GLREC_QUAD, 0, corners, 4, tx, ty);
  }
}

// The blend mode is left alone: it reaches GL only with a shape, and a read-back draws none.
std::shared_ptr<TPixmap> TGLDraw2DDriver::GrabPixmap(int x, int y, int width, int height) {
  if (width <= 0 || height <= 0 || !GLCurrentGraphics()) return nullptr;
  auto p = BlackPixmap(width, height);
  if (p) ReadPicture(p.get(), x, y);
  return p;
}

// After a context is made current: projection, pixel packing, and a cache that knows nothing.
void TGLDraw2DDriver::ResetContext() {
  ApplyProjection();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  GL.blend = GL.applied = -1, GL.texturing = -1, GL.bound = ~0u;
  UseTexturing(0);
  GL.vp_x = GL.vp_y = 0, GL.vp_w = PictureWidth(), GL.vp_h = PictureHeight();
}

void GLRestoreDrawState() {
  ApplyProjection();
  ApplyScissor();
  if (GL.applied != -1) ApplyBlend(GL.applied);
  GL.texturing == 1 ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, GL.bound == ~0u ? 0 : GL.bound);
  glColor4ubv(GL.rgba);
  glClearColor(GL.cls[0], GL.cls[1], GL.cls[2], 1.0f);
}

void GLDrawTexturedQuad(unsigned name, float x0, float y0, float x1, float y1, float tx, float ty,
                        float u0, float v0, float u1, float v1, int source_alpha) {
  BindTexture(name);
  BeginShape(GL_QUADS, source_alpha);
  glTexCoord2f(u0, v0), Vertex(x0, y0, tx, ty);
  glTexCoord2f(u1, v0), Vertex(x1, y0, tx, ty);
  glTexCoord2f(u1, v1), Vertex(x1, y1, tx, ty);
  glTexCoord2f(u0, v1), Vertex(x0, y1, tx, ty);
  glEnd();
  if (GL.recorder) {
    const float corners[8] = {x0, y0, x1, y0, x1, y1, x0, y1}, uv[4] = {u0, v0, u1, v1};
    Record(GLREC_QUAD, name, corners, 4, tx, ty, uv);
  }
}

void GLBindTexture(unsigned name) { BindTexture(name); }

int GLSolidDrawnPlainly() { return GL.rgba[3] == 255 && (GL.blend == 1 || GL.blend == 3); }

// Mask drops a clear texel, alpha and additive blending weigh it by its alpha of 0; solid
// and multiply would write it.
int GLClearTexelsLeaveScreen() { return GL.blend == 1 || GL.blend == 3 || GL.blend == 4; }

void SetGLDrawRecorder(void (*recorder)(const TGLDrawRecord&)) { GL.recorder = recorder; }

void GLForgetTexture(unsigned name) {
  if (GL.bound == name) GL.bound = ~0u;
}

TGLDriverStats GLDriverStats() { return GL.stats; }

TDraw2DDriver* GLDraw2DDriver() { return &GL_DRIVER; }
