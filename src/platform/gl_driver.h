// gl_driver: the OpenGL back-end's own types: its display (an SDL window and GL context
// drawing into an off-screen picture that a present shows scaled to fit) and its image
// frames (textures). Only the platform layer and tests look inside.
#pragma once
#include "platform/draw.h"

struct SDL_Window;

// gl_display.cpp
class TGLGraphics : public TGraphics {
 public:
  SDL_Window* window = nullptr;
  void* context = nullptr;
  int width = 0, height = 0, depth = 0, hertz = 0, flags = 0;
  unsigned fbo = 0, fbo_tex = 0;  // the off-screen picture; 0 when drawing straight to the window
  int fbo_tex_w = 0, fbo_tex_h = 0;
  int straight = 0;               // 1: drawn straight into the window, whose back buffer survives a present
  int swap_interval = -1;         // last value set, -1 before the first present

  ~TGLGraphics() override;
  void GetSettings(int* w, int* h, int* d, int* hz, int* f) override;
  void Close() override;           // destroys the context and window; safe twice
};
std::shared_ptr<TGLGraphics> GLCreateGraphics(int width, int height, int depth, int hertz, int flags,
                                              const std::string& title);  // nullptr, with one line on stderr
void GLSetGraphics(TGLGraphics* graphics);  // makes its context current and binds its picture
TGLGraphics* GLCurrentGraphics();
void GLPresent(int sync);                   // shows the picture in the window and swaps
std::vector<TGraphicsMode> GLGraphicsModes();  // for the driver's GraphicsModes slot
int GLIsFullScreen(TGLGraphics* g);         // 1 while its window covers the screen
int GLSetFullScreen(TGLGraphics* g, int on);  // full screen, or a window of its own size; 0 when refused

// gl_texture_page.cpp: small frames live in cells of shared textures (pages).
class TGLTexturePage;
constexpr int GL_PAGE_WIDTH = 512, GL_PAGE_HEIGHT = 256, GL_PAGE_LEVELS = 2;
constexpr int GL_SMALLEST_CELL = 8, GL_LARGEST_CELL = 64;
struct TGLPageCell {
  std::shared_ptr<TGLTexturePage> page;  // nullptr: not in a page
  int x = 0, y = 0, size = 0;            // its square of texels in the page's first level
};
TGLPageCell GLTakeCell(int size, int flags);  // a free cell, its page bound; no page when refused
void GLGiveBackCell(const TGLPageCell& cell);
unsigned GLPageTexture(const TGLTexturePage& page);

// gl_texture.cpp
class TGLImageFrame : public TImageFrame {
 public:
  float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
  unsigned name = 0;               // the texture: its own, or its page's
  int seq = 0;                     // graphics_seq it was made under
  int tex_w = 0, tex_h = 0;
  int source_alpha = 0;            // 2: all texels opaque; 1: each alpha 0 or full, sampled nearest
  float core[4] = {};              // of a frame of kind 1, an opaque rectangle as fractions of the
                                   // picture (left, top, right, bottom); empty when it has none worth it
  float content[4] = {0, 0, 1, 1}; // the part outside which every texel is clear, as fractions; empty
                                   // when all of them are
  TGLPageCell cell;

  ~TGLImageFrame() override;       // gives back its cell, or deletes its own texture while its context lives
  void Draw(float x0, float y0, float x1, float y1, float tx, float ty) override;
  void DrawRingAndCore(float x0, float y0, float x1, float y1, float tx, float ty);
  void DrawContent(float x0, float y0, float x1, float y1, float tx, float ty);
};
std::shared_ptr<TImageFrame> GLCreateFrame(const TPixmap& pixmap, int flags);  // nullptr when refused
int PowerOfTwoAtLeast(int n);               // texture sides where the system wants powers of two
void GLSetTextureParameters(int flags);     // filtering and wrapping of the bound texture, from image flags

// gl_driver.cpp
// Counts of real GL state changes, to check that redundant ones are skipped.
struct TGLDriverStats {
  int blend_changes = 0, texture_binds = 0, texture_switches = 0;
};
TGLDriverStats GLDriverStats();

// What reached GL, for tools that replay a frame elsewhere: one record per clear, quad
// (texture 0: untextured), line or point, in screen pixels after the drawing matrix.
enum { GLREC_CLEAR = 0, GLREC_QUAD = 1, GLREC_LINE = 2, GLREC_POINT = 3 };
struct TGLDrawRecord {
  int kind = GLREC_QUAD;
  unsigned texture = 0;
  float x[4] = {}, y[4] = {};      // corners in drawing order (a line uses 2, a point 1)
  float u0 = 0, v0 = 0, u1 = 0, v1 = 0;
  unsigned char rgba[4] = {};      // colour and alpha as sent, or the clear colour
  int blend = 0;                   // blend mode in force
  float line_width = 1;
};
void SetGLDrawRecorder(void (*recorder)(const TGLDrawRecord&));  // nullptr stops recording

void GLRestoreDrawState();                  // re-issues the cached drawing state after a present
void GLDrawTexturedQuad(unsigned name, float x0, float y0, float x1, float y1, float tx, float ty,
                        float u0, float v0, float u1, float v1,
                        int source_alpha);  // under the current matrix; source_alpha as a frame's
int GLSolidDrawnPlainly();                  // 1: a solid source now skips blending (see GLDrawTexturedQuad)
int GLClearTexelsLeaveScreen();             // 1: the blend mode leaves the screen alone under a clear texel
void GLBindTexture(unsigned name);          // binds (and turns texturing on) only on change
void GLForgetTexture(unsigned name);        // the bind cache drops a deleted texture
void SetGLWindowTitle(const std::string& title);  // caption of windows created afterwards
