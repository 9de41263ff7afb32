// frame_bench_replay: recording a frame from the back-end and drawing it again with plain GL.
#include "frame_bench_replay.h"
#include <SDL2/SDL.h>
#include <GL/gl.h>
#include <algorithm>

namespace {

typedef void(APIENTRY* PfnBindFramebuffer)(GLenum, GLuint);
const GLenum kFramebuffer = 0x8D40;

// What the replay needs of the display, taken once before any timing.
struct {
  recorded_frame* target = nullptr;
  PfnBindFramebuffer bind_fb = nullptr;
  SDL_Window* window = nullptr;
  GLuint fbo = 0, fbo_tex = 0;
  int width = 0, height = 0, tex_w = 0, tex_h = 0;
} REPLAY;

void Collect(const TGLDrawRecord& r) {
  if (REPLAY.target) REPLAY.target->records.push_back(r);
}

// The state a minimal loop would change between two records, counted like the replay meets it.
void Count(recorded_frame* f) {
  int blend = -2;
  unsigned tex = ~0u;
  for (const TGLDrawRecord& r : f->records) {
    f->clears += r.kind == GLREC_CLEAR;
    f->lines += r.kind == GLREC_LINE;
    f->points += r.kind == GLREC_POINT;
    if (r.kind != GLREC_QUAD) continue;
    f->quads++;
    f->textured += r.texture != 0;
    if (r.blend != blend) blend = r.blend, f->blend_changes++;
    if (r.texture != 0 && r.texture != tex) tex = r.texture, f->texture_changes++;
  }
}

void Blend(int mode) {
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

void Projection(int w, int h) {
  glViewport(0, 0, w, h);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, w, h, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

// The records, setting blend and texture only when they change.
void DrawRecords(const recorded_frame& f) {
  int blend = -2, texturing = -1;
  unsigned tex = ~0u;
  for (const TGLDrawRecord& r : f.records) {
    if (r.kind == GLREC_CLEAR) {
      glClearColor(r.rgba[0] / 255.0f, r.rgba[1] / 255.0f, r.rgba[2] / 255.0f, 1.0f);
      glClear(GL_COLOR_BUFFER_BIT);
      continue;
    }
    if (r.blend != blend) blend = r.blend, Blend(r.blend);
    int textured = r.kind == GLREC_QUAD && r.texture != 0;
    if (textured != texturing) texturing = textured, textured ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
    if (textured && r.texture != tex) tex = r.texture, glBindTexture(GL_TEXTURE_2D, r.texture);
    if (r.kind == GLREC_QUAD) {
      glBegin(GL_QUADS);
      glColor4ubv(r.rgba);
      glTexCoord2f(r.u0, r.v0), glVertex2f(r.x[0], r.y[0]);
      glTexCoord2f(r.u1, r.v0), glVertex2f(r.x[1], r.y[1]);
      glTexCoord2f(r.u1, r.v1), glVertex2f(r.x[2], r.y[2]);
      glTexCoord2f(r.u0, r.v1), glVertex2f(r.x[3], r.y[3]);
      glEnd();
    } else if (r.kind == GLREC_LINE) {
      glLineWidth(r.line_width);
      glBegin(GL_LINES);
      glColor4ubv(r.rgba);
      glVertex2f(r.x[0], r.y[0]), glVertex2f(r.x[1], r.y[1]);
      glEnd();
    } else {
      glBegin(GL_POINTS);
      glColor4ubv(r.rgba);
      glVertex2f(r.x[0], r.y[0]);
      glEnd();
    }
  }
}

// The picture scaled to fit the window, aspect kept, then swapped: what any present costs.
// A window drawn into straight only swaps.
void Present() {
  if (!REPLAY.fbo) {
    SDL_GL_SwapWindow(REPLAY.window);
    return;
  }
  int dw = 0, dh = 0;
  SDL_GL_GetDrawableSize(REPLAY.window, &dw, &dh);
  double s = std::min(static_cast<double>(dw) / REPLAY.width, static_cast<double>(dh) / REPLAY.height);
  int w = static_cast<int>(REPLAY.width * s + 0.5), h = static_cast<int>(REPLAY.height * s + 0.5);
  int x = (dw - w) / 2, y = (dh - h) / 2;
  REPLAY.bind_fb(kFramebuffer, 0);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  Projection(dw, dh);
  if (w != dw || h != dh) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, REPLAY.fbo_tex);
  GLint filter = (w == REPLAY.width && h == REPLAY.height) ? GL_NEAREST : GL_LINEAR;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  float u = static_cast<float>(REPLAY.width) / REPLAY.tex_w, v = static_cast<float>(REPLAY.height) / REPLAY.tex_h;
  glBegin(GL_QUADS);
  glTexCoord2f(0, v), glVertex2i(x, y);
  glTexCoord2f(u, v), glVertex2i(x + w, y);
  glTexCoord2f(u, 0), glVertex2i(x + w, y + h);
  glTexCoord2f(0, 0), glVertex2i(x, y + h);
  glEnd();
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  SDL_GL_SwapWindow(REPLAY.window);
}

}  // namespace

void StartRecording(recorded_frame* frame) {
  *frame = recorded_frame{};
  REPLAY.target = frame;
  SetGLDrawRecorder(Collect);
}

void StopRecording() {
  SetGLDrawRecorder(nullptr);
  if (REPLAY.target) Count(REPLAY.target);
  REPLAY.target = nullptr;
}

int LoadReplayFunctions() {
  TGLGraphics* g = GLCurrentGraphics();
  if (!g || (!g->fbo && !g->straight)) return 0;
  REPLAY.bind_fb = reinterpret_cast<PfnBindFramebuffer>(SDL_GL_GetProcAddress("glBindFramebuffer"));
  REPLAY.window = g->window;
  REPLAY.fbo = g->fbo, REPLAY.fbo_tex = g->fbo_tex;
  REPLAY.width = g->width, REPLAY.height = g->height, REPLAY.tex_w = g->fbo_tex_w, REPLAY.tex_h = g->fbo_tex_h;
  return REPLAY.bind_fb != nullptr;
}

void ReplayFrame(const recorded_frame& frame, int parts) {
  REPLAY.bind_fb(kFramebuffer, REPLAY.fbo);
  Projection(REPLAY.width, REPLAY.height);
  glDisable(GL_SCISSOR_TEST);
  if (parts & REPLAY_DRAW) DrawRecords(frame);
  if (parts & REPLAY_PRESENT) Present();
  REPLAY.bind_fb(kFramebuffer, REPLAY.fbo);
  Projection(REPLAY.width, REPLAY.height);
}
