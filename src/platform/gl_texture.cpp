// gl_texture: image frames as OpenGL textures. A small picture takes a cell of a shared
// page with a one-texel ring of its own edge around it; a larger one gets its own texture,
// of the picture's size where the system allows, else with sides that are powers of two,
// the picture in the top-left corner with its last column and row repeated once. Either
// way filtering at its edges never reaches other texels. Each frame knows how much its
// texels let through, so that solid ones, or the solid core of a large one, skip blending,
// and where its clear margins are, so that blends which ignore them do not draw them.
#include <SDL2/SDL.h>
#include <GL/gl.h>
#include <algorithm>
#include <cstdio>
#include "platform/gl_driver.h"
#include "platform/image.h"

namespace {

// One source pixel as RGBA: grey and alpha-only pixels widen, formats without alpha are opaque.
void ReadRGBA(const TPixmap& p, int x, int y, uint8_t* out) {
  const uint8_t* s = p.pixels.data() + static_cast<size_t>(y) * p.pitch + static_cast<size_t>(x) * TPixmap::BytesPerPixel(p.format);
  switch (p.format) {
    case PF_I8: out[0] = out[1] = out[2] = s[0], out[3] = 255; break;
    case PF_A8: out[0] = out[1] = out[2] = 255, out[3] = s[0]; break;
    case PF_BGR888: out[0] = s[2], out[1] = s[1], out[2] = s[0], out[3] = 255; break;
    case PF_RGB888: out[0] = s[0], out[1] = s[1], out[2] = s[2], out[3] = 255; break;
    case PF_BGRA8888: out[0] = s[2], out[1] = s[1], out[2] = s[0], out[3] = s[3]; break;
    default: out[0] = s[0], out[1] = s[1], out[2] = s[2], out[3] = s[3]; break;
  }
}

int TextureAccepted(int w, int h) {
  glTexImage2D(GL_PROXY_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  GLint got = 0;
  glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &got);
  return got != 0;
}

// The picture's own size where the system takes any size and no mipmaps are wanted (a
// 640x480 picture would waste 40% of a 1024x512 texture); else the smallest powers of
// two that hold it, halved while the system refuses them.
int ChooseTextureSize(int w, int h, int mipmapped, int* tw, int* th) {
  if (!mipmapped && SDL_GL_ExtensionSupported("GL_ARB_texture_non_power_of_two") && TextureAccepted(w, h)) {
    *tw = w, *th = h;
    return 1;
  }
  *tw = PowerOfTwoAtLeast(w), *th = PowerOfTwoAtLeast(h);
  while (!TextureAccepted(*tw, *th)) {
    if (*tw == 1 && *th == 1) return 0;
    if (*tw > 1) *tw /= 2;
    if (*th > 1) *th /= 2;
  }
  return 1;
}

// Level 0 texels: the picture (scaled down when it is larger) plus its repeated edges.
std::vector<uint8_t> TexturePixels(const TPixmap& p, int tw, int th) {
  std::vector<uint8_t> t(static_cast<size_t>(tw) * th * 4, 0);
  int cw = std::min(p.width, tw), ch = std::min(p.height, th);
  for (int y = 0; y < ch; y++)
    for (int x = 0; x < cw; x++) {
      int sx = p.width > tw ? static_cast<int>(static_cast<int64_t>(x) * p.width / tw) : x;
      int sy = p.height > th ? static_cast<int>(static_cast<int64_t>(y) * p.height / th) : y;
      ReadRGBA(p, sx, sy, &t[(static_cast<size_t>(y) * tw + x) * 4]);
    }
  auto at = [&](int x, int y) { return &t[(static_cast<size_t>(y) * tw + x) * 4]; };
  if (cw < tw)
    for (int y = 0; y < ch; y++) std::copy_n(at(cw - 1, y), 4, at(cw, y));
  if (ch < th)
    for (int x = 0; x < cw; x++) std::copy_n(at(x, ch - 1), 4, at(x, ch));
  if (cw < tw && ch < th) std::copy_n(at(cw - 1, ch - 1), 4, at(cw, ch));
  return t;
}

// How much of what is below the texels can show through: 2 nothing (all opaque), 1 all or
// nothing per texel (alpha only 0 or full, sampled nearest so no edge blends), 0 anything.
int SourceAlpha(const std::vector<uint8_t>& rgba, int flags) {
  int opaque = 1, binary = !(flags & (IMG_FILTERED | IMG_MIPMAPPED));
  for (size_t i = 3; i < rgba.size() && (opaque || binary); i += 4) {
    if (rgba[i] != 255) opaque = 0;
    if (rgba[i] != 0 && rgba[i] != 255) binary = 0;
  }
  return opaque ? 2 : binary;
}

int ClearTexels(const std::vector<uint8_t>& rgba, int tw, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; y++)
    for (int x = x0; x < x1; x++) n += rgba[(static_cast<size_t>(y) * tw + x) * 4 + 3] != 255;
  return n;
}

// A rectangle of opaque texels inside the first w x h texels: the whole, shrunk from the side
// with the most see-through texels until none is left. Kept only when it is most of the picture.
void FindSolidCore(const std::vector<uint8_t>& rgba, int tw, int w, int h, TGLImageFrame* f) {
  int x0 = 0, y0 = 0, x1 = w, y1 = h;
  while (x0 < x1 && y0 < y1) {
    int side[4] = {ClearTexels(rgba, tw, x0, y0, x0 + 1, y1), ClearTexels(rgba, tw, x1 - 1, y0, x1, y1),
                   ClearTexels(rgba, tw, x0, y0, x1, y0 + 1), ClearTexels(rgba, tw, x0, y1 - 1, x1, y1)};
    int most = static_cast<int>(std::max_element(side, side + 4) - side);
    if (side[most] == 0) break;
    most == 0 ? x0++ : most == 1 ? x1-- : most == 2 ? y0++ : y1--;
  }
  if (2 * (x1 - x0) * (y1 - y0) < w * h) return;
  f->core[0] = static_cast<float>(x0) / w, f->core[1] = static_cast<float>(y0) / h;
  f->core[2] = static_cast<float>(x1) / w, f->core[3] = static_cast<float>(y1) / h;
}

// The smallest rectangle of the w x h picture at (ox, oy) in the texels that holds every texel
// that is not clear, widened by the one texel a filtered sample reaches past it. A mipmapped
// frame keeps the whole: its smaller levels reach further.
void FindContent(const std::vector<uint8_t>& rgba, int tw, int ox, int oy, int w, int h, int flags,
                 TGLImageFrame* f) {
  if (flags & IMG_MIPMAPPED) return;
  int x0 = w, y0 = h, x1 = 0, y1 = 0;
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      if (rgba[(static_cast<size_t>(y + oy) * tw + x + ox) * 4 + 3] == 0) continue;
      x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x + 1), y1 = std::max(y1, y + 1);
    }
  if (x0 >= x1) {
    std::fill_n(f->content, 4, 0.0f);
    return;
  }
  int reach = (flags & IMG_FILTERED) ? 1 : 0;
  x0 = std::max(x0 - reach, 0), y0 = std::max(y0 - reach, 0);
  x1 = std::min(x1 + reach, w), y1 = std::min(y1 + reach, h);
  f->content[0] = static_cast<float>(x0) / w, f->content[1] = static_cast<float>(y0) / h;
  f->content[2] = static_cast<float>(x1) / w, f->content[3] = static_cast<float>(y1) / h;
}

float Between(float a, float b, float f) { return a * (1 - f) + b * f; }  // exactly a at 0, b at 1

// The next mipmap level: each texel the average of the (up to) 2x2 texels above it.
std::vector<uint8_t> HalveLevel(const std::vector<uint8_t>& src, int w, int h, int* nw, int* nh) {
  *nw = std::max(w / 2, 1), *nh = std::max(h / 2, 1);
  std::vector<uint8_t> dst(static_cast<size_t>(*nw) * *nh * 4);
  for (int y = 0; y < *nh; y++)
    for (int x = 0; x < *nw; x++)
      for (int c = 0; c < 4; c++) {
        int x0 = std::min(x * 2, w - 1), x1 = std::min(x * 2 + 1, w - 1);
        int y0 = std::min(y * 2, h - 1), y1 = std::min(y * 2 + 1, h - 1);
        int sum = src[(y0 * w + x0) * 4 + c] + src[(y0 * w + x1) * 4 + c] + src[(y1 * w + x0) * 4 + c] +
                  src[(y1 * w + x1) * 4 + c];
        dst[(static_cast<size_t>(y) * *nw + x) * 4 + c] = static_cast<uint8_t>((sum + 2) / 4);
      }
  return dst;
}

void UploadLevels(std::vector<uint8_t> texels, int tw, int th, int mipmapped) {
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, tw, th, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  for (int level = 1; mipmapped && (tw > 1 || th > 1); level++) {
    texels = HalveLevel(texels, tw, th, &tw, &th);
    glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, tw, th, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  }
}

// The cell's texels: the picture one texel in from the corner, its edges repeated once
// all round, transparent beyond.
std::vector<uint8_t> CellPixels(const TPixmap& p, int size) {
  std::vector<uint8_t> t(static_cast<size_t>(size) * size * 4, 0);
  for (int y = 0; y <= p.height + 1; y++)
    for (int x = 0; x <= p.width + 1; x++)
      ReadRGBA(p, std::clamp(x - 1, 0, p.width - 1), std::clamp(y - 1, 0, p.height - 1),
               &t[(static_cast<size_t>(y) * size + x) * 4]);
  return t;
}

void UploadCell(std::vector<uint8_t> texels, const TGLPageCell& cell, int mipmapped) {
  int side = cell.size;
  glTexSubImage2D(GL_TEXTURE_2D, 0, cell.x, cell.y, side, side, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  for (int level = 1; mipmapped && level < GL_PAGE_LEVELS; level++) {
    texels = HalveLevel(texels, side, side, &side, &side);
    glTexSubImage2D(GL_TEXTURE_2D, level, cell.x >> level, cell.y >> level, side, side, GL_RGBA, GL_UNSIGNED_BYTE,
                    texels.data());
  }
}

std::shared_ptr<TImageFrame> CreatePagedFrame(const TPixmap& pixmap, int flags) {
  int size = PowerOfTwoAtLeast(std::max({pixmap.width, pixmap.height, GL_SMALLEST_CELL - 2}) + 2);
  if (size > GL_LARGEST_CELL) return nullptr;
  TGLPageCell cell = GLTakeCell(size, flags & (IMG_FILTERED | IMG_MIPMAPPED));  // all a page's texels share these
  if (!cell.page) return nullptr;
  auto frame = std::make_shared<TGLImageFrame>();
  frame->name = GLPageTexture(*cell.page), frame->cell = cell, frame->seq = graphics_seq;
  frame->tex_w = GL_PAGE_WIDTH, frame->tex_h = GL_PAGE_HEIGHT;
  const float across = 1.0f / GL_PAGE_WIDTH, down = 1.0f / GL_PAGE_HEIGHT;
  frame->u0 = (cell.x + 1) * across, frame->v0 = (cell.y + 1) * down;
  frame->u1 = (cell.x + 1 + pixmap.width) * across, frame->v1 = (cell.y + 1 + pixmap.height) * down;
  std::vector<uint8_t> texels = CellPixels(pixmap, size);
  frame->source_alpha = SourceAlpha(texels, flags);
  FindContent(texels, size, 1, 1, pixmap.width, pixmap.height, flags, frame.get());
  UploadCell(std::move(texels), cell, flags & IMG_MIPMAPPED);
  return frame;
}

}  // namespace

int PowerOfTwoAtLeast(int n) {
  int p = 1;
  while (p < n) p <<= 1;
  return p;
}

void GLSetTextureParameters(int flags) {
  int filtered = flags & IMG_FILTERED, mipmapped = flags & IMG_MIPMAPPED;
  GLint mag = filtered ? GL_LINEAR : GL_NEAREST;
  GLint min = mipmapped ? (filtered ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST) : mag;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, mag);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, min);
}

TGLImageFrame::~TGLImageFrame() {
  if (cell.page) {
    GLGiveBackCell(cell);
    return;
  }
  if (!name || !GLCurrentGraphics() || seq != graphics_seq) return;  // its context is gone, and the texture with it
  glDeleteTextures(1, &name);
  GLForgetTexture(name);
}

void TGLImageFrame::Draw(float x0, float y0, float x1, float y1, float tx, float ty) {
  if (core[2] > core[0] && GLSolidDrawnPlainly()) DrawRingAndCore(x0, y0, x1, y1, tx, ty);
  else if (GLClearTexelsLeaveScreen()) DrawContent(x0, y0, x1, y1, tx, ty);
  else GLDrawTexturedQuad(name, x0, y0, x1, y1, tx, ty, u0, v0, u1, v1, source_alpha);
}

// Software GL pays for every pixel of a quad, clear or not: a spark in the middle of its
// frame costs half the pixels drawn alone.
void TGLImageFrame::DrawContent(float x0, float y0, float x1, float y1, float tx, float ty) {
  const float* c = content;
  if (c[2] <= c[0] || c[3] <= c[1]) return;
  GLDrawTexturedQuad(name, Between(x0, x1, c[0]), Between(y0, y1, c[1]), Between(x0, x1, c[2]),
                     Between(y0, y1, c[3]), tx, ty, Between(u0, u1, c[0]), Between(v0, v1, c[1]),
                     Between(u0, u1, c[2]), Between(v0, v1, c[3]), source_alpha);
}

// A grid of 3x3 quads sharing their corners, so no pixel is drawn twice or missed: the ring
// by mask, then the core plainly, so the blend mode changes once.
void TGLImageFrame::DrawRingAndCore(float x0, float y0, float x1, float y1, float tx, float ty) {
  const float f[2][4] = {{0, core[0], core[2], 1}, {0, core[1], core[3], 1}};
  float xs[4] = {x0, 0, 0, x1}, ys[4] = {y0, 0, 0, y1}, us[4] = {u0, 0, 0, u1}, vs[4] = {v0, 0, 0, v1};
  for (int i = 1; i < 3; i++) {
    xs[i] = x0 + (x1 - x0) * f[0][i], us[i] = u0 + (u1 - u0) * f[0][i];
    ys[i] = y0 + (y1 - y0) * f[1][i], vs[i] = v0 + (v1 - v0) * f[1][i];
  }
  static const int kCells[9][2] = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}, {1, 1}};
  for (int i = 0; i < 9; i++) {
    int c = kCells[i][0], r = kCells[i][1];
    if (xs[c] == xs[c + 1] || ys[r] == ys[r + 1]) continue;
    GLDrawTexturedQuad(name, xs[c], ys[r], xs[c + 1], ys[r + 1], tx, ty, us[c], vs[r], us[c + 1], vs[r + 1],
                       i == 8 ? 2 : 1);
  }
}

std::shared_ptr<TImageFrame> GLCreateFrame(const TPixmap& pixmap, int flags) {
  if (!GLCurrentGraphics() || pixmap.width <= 0 || pixmap.height <= 0 || !TPixmap::BytesPerPixel(pixmap.format)) return nullptr;
  if (auto paged = CreatePagedFrame(pixmap, flags)) return paged;
  int tw, th;
  if (!ChooseTextureSize(pixmap.width, pixmap.height, flags & IMG_MIPMAPPED, &tw, &th)) {
    std::fprintf(stderr, "Kelvane: the display refuses even a 1x1 texture\n");
    return nullptr;
  }
  auto frame = std::make_shared<TGLImageFrame>();
  frame->tex_w = tw, frame->tex_h = th, frame->seq = graphics_seq;
  // A picture scaled down to fill the texture reaches its far edge.
  frame->u1 = pixmap.width <= tw ? static_cast<float>(pixmap.width) / tw : 1.0f;
  frame->v1 = pixmap.height <= th ? static_cast<float>(pixmap.height) / th : 1.0f;
  glGenTextures(1, &frame->name);
  GLBindTexture(frame->name);
  GLSetTextureParameters(flags);
  std::vector<uint8_t> texels = TexturePixels(pixmap, tw, th);
  frame->source_alpha = SourceAlpha(texels, flags);
  int cw = std::min(pixmap.width, tw), ch = std::min(pixmap.height, th);
  if (frame->source_alpha == 1) FindSolidCore(texels, tw, cw, ch, frame.get());
  FindContent(texels, tw, 0, 0, cw, ch, flags, frame.get());
  UploadLevels(std::move(texels), tw, th, flags & IMG_MIPMAPPED);
  return frame;
}
