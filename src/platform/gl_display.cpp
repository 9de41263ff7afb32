// gl_display: the OpenGL back-end's displays. Each is an SDL window with a GL context;
// frames are drawn into an off-screen picture of the display's size (a framebuffer
// object), and a present shows that picture scaled to fit the window with black bars.
// A double-buffered window of exactly the display's size whose back buffer survives a
// present is drawn into straight, which spares the renderer a whole pass per frame.
#include <SDL2/SDL.h>
#include <GL/gl.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "platform/display_guard.h"
#include "platform/gl_driver.h"

namespace {

typedef void(APIENTRY* PfnGenFramebuffers)(GLsizei, GLuint*);
typedef void(APIENTRY* PfnDeleteFramebuffers)(GLsizei, const GLuint*);
typedef void(APIENTRY* PfnBindFramebuffer)(GLenum, GLuint);
typedef void(APIENTRY* PfnFramebufferTexture2D)(GLenum, GLenum, GLenum, GLuint, GLint);
typedef GLenum(APIENTRY* PfnCheckFramebufferStatus)(GLenum);

struct {
  TGLGraphics* current = nullptr;
  PfnGenFramebuffers gen_fb = nullptr;
  PfnDeleteFramebuffers delete_fb = nullptr;
  PfnBindFramebuffer bind_fb = nullptr;
  PfnFramebufferTexture2D fb_texture = nullptr;
  PfnCheckFramebufferStatus check_fb = nullptr;
} GLD;

const GLenum kFramebuffer = 0x8D40;       // GL_FRAMEBUFFER, same value for the EXT names
const GLenum kColorAttachment0 = 0x8CE0;
const GLenum kFramebufferComplete = 0x8CD5;

int InitVideo() {
  if (SDL_WasInit(SDL_INIT_VIDEO)) return 1;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "Kelvane: cannot open the display: %s\n", SDL_GetError());
    return 0;
  }
  if (!VideoDriverIsUsable()) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return 0;
  }
  WatchDisplayConnection();
  return 1;
}

int ForcedWindowed() {
  const char* v = std::getenv("KELVANE_WINDOWED");
  return v && std::strcmp(v, "1") == 0;
}

// A 32-bit request accepts the 24-bit formats SDL reports for 32-bit modes.
int DepthMatches(int mode_bpp, int depth) {
  return mode_bpp == depth || (depth == 32 && mode_bpp == 24);
}

int FindExactMode(int w, int h, int depth, int hertz, SDL_DisplayMode* found) {
  int n = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < n; i++) {
    SDL_DisplayMode m;
    if (SDL_GetDisplayMode(0, i, &m) != 0) continue;
    if (m.w != w || m.h != h || !DepthMatches(SDL_BITSPERPIXEL(m.format), depth)) continue;
    if (hertz && m.refresh_rate != hertz) continue;
    *found = m;
    return 1;
  }
  return 0;
}

// The exact mode when the system offers it, else the desktop's mode with the picture
// letterboxed; depth 0 (or KELVANE_WINDOWED=1) a plain window.
SDL_Window* OpenWindow(const std::string& title, int w, int h, int depth, int hertz) {
  Uint32 gl = SDL_WINDOW_OPENGL;
  if (depth == 0 || ForcedWindowed()) return SDL_CreateWindow(title.c_str(), 32, 32, w, h, gl | SDL_WINDOW_SHOWN);
  SDL_DisplayMode mode;
  if (FindExactMode(w, h, depth, hertz, &mode)) {
    SDL_Window* win = SDL_CreateWindow(title.c_str(), 0, 0, w, h, gl | SDL_WINDOW_FULLSCREEN | SDL_WINDOW_HIDDEN);
    if (win && SDL_SetWindowDisplayMode(win, &mode) == 0) {
      SDL_ShowWindow(win);
      return win;
    }
    if (win) SDL_DestroyWindow(win);
  }
  // Made at the desktop's size, so it covers the screen even where no window manager
  // carries out the full-screen request.
  SDL_DisplayMode desktop;
  if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) w = desktop.w, h = desktop.h;
  return SDL_CreateWindow(title.c_str(), 0, 0, w, h, gl | SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_SHOWN);
}

void SetContextAttributes(int flags) {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (flags & 2) ? 1 : 0);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, (flags & 4) ? 8 : 0);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, (flags & 8) ? 24 : 0);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, (flags & 16) ? 8 : 0);
  int accum = (flags & 32) ? 16 : 0;
  SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, accum);
  SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, accum);
  SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, accum);
  SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, accum);
}

template <typename T>
T Proc(const char* core_name, const char* ext_name, int use_core) {
  return reinterpret_cast<T>(SDL_GL_GetProcAddress(use_core ? core_name : ext_name));
}

int LoadFramebufferFunctions() {
  int core = SDL_GL_ExtensionSupported("GL_ARB_framebuffer_object");
  if (!core && !SDL_GL_ExtensionSupported("GL_EXT_framebuffer_object")) return 0;
  GLD.gen_fb = Proc<PfnGenFramebuffers>("glGenFramebuffers", "glGenFramebuffersEXT", core);
  GLD.delete_fb = Proc<PfnDeleteFramebuffers>("glDeleteFramebuffers", "glDeleteFramebuffersEXT", core);
  GLD.bind_fb = Proc<PfnBindFramebuffer>("glBindFramebuffer", "glBindFramebufferEXT", core);
  GLD.fb_texture = Proc<PfnFramebufferTexture2D>("glFramebufferTexture2D", "glFramebufferTexture2DEXT", core);
  GLD.check_fb = Proc<PfnCheckFramebufferStatus>("glCheckFramebufferStatus", "glCheckFramebufferStatusEXT", core);
  return GLD.gen_fb && GLD.delete_fb && GLD.bind_fb && GLD.fb_texture && GLD.check_fb;
}

void DeletePicture(TGLGraphics* g) {
  if (g->fbo) {
    GLD.bind_fb(kFramebuffer, 0);
    GLD.delete_fb(1, &g->fbo);
  }
  if (g->fbo_tex) glDeleteTextures(1, &g->fbo_tex);
  g->fbo = g->fbo_tex = 0;
}

// The off-screen picture: a texture of the display's size, or where the system wants
// powers of two one whose bottom-left width x height pixels are drawn into; it keeps the
// last frame after a present.
int CreatePicture(TGLGraphics* g) {
  if (!LoadFramebufferFunctions()) return 0;
  int any_size = SDL_GL_ExtensionSupported("GL_ARB_texture_non_power_of_two");
  g->fbo_tex_w = any_size ? g->width : PowerOfTwoAtLeast(g->width);
  g->fbo_tex_h = any_size ? g->height : PowerOfTwoAtLeast(g->height);
  glGenTextures(1, &g->fbo_tex);
  glBindTexture(GL_TEXTURE_2D, g->fbo_tex);
  GLSetTextureParameters(0);  // nearest and clamped, as an unfiltered image frame
  GLint internal = (g->flags & 4) ? GL_RGBA8 : GL_RGB8;
  glTexImage2D(GL_TEXTURE_2D, 0, internal, g->fbo_tex_w, g->fbo_tex_h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glBindTexture(GL_TEXTURE_2D, 0);
  GLD.gen_fb(1, &g->fbo);
  GLD.bind_fb(kFramebuffer, g->fbo);
  GLD.fb_texture(kFramebuffer, kColorAttachment0, GL_TEXTURE_2D, g->fbo_tex, 0);
  if (GLD.check_fb(kFramebuffer) == kFramebufferComplete) return 1;
  DeletePicture(g);
  return 0;
}

// The back buffer still holding what was shown: near-black clears, each read back
// after its present. A swap that exchanges buffers shows up as the older colour or none.
int BackBufferSurvivesPresent(TGLGraphics* g) {
  SDL_GL_SetSwapInterval(0);
  const int blues[2] = {8, 16};
  int kept = 1;
  for (int b : blues) {
    glClearColor(0, 0, b / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    SDL_GL_SwapWindow(g->window);
    GLubyte px[4] = {};
    glReadPixels(g->width / 2, g->height / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    if (px[0] > 4 || px[1] > 4 || std::abs(px[2] - b) > 4) kept = 0;
  }
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  return kept;
}

int FillsDrawable(TGLGraphics* g) {
  int dw = 0, dh = 0;
  SDL_GL_GetDrawableSize(g->window, &dw, &dh);
  return dw == g->width && dh == g->height;
}

int DrawsStraight(TGLGraphics* g) {
  return (g->flags & 2) && FillsDrawable(g) && BackBufferSurvivesPresent(g);
}

// The window changed size under a display drawn straight: the frame drawn so far moves
// into a picture, and later frames are drawn there.
void MoveIntoPicture(TGLGraphics* g) {
  g->straight = 0;
  if (!CreatePicture(g)) return;
  GLD.bind_fb(kFramebuffer, 0);
  glBindTexture(GL_TEXTURE_2D, g->fbo_tex);
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, g->width, g->height);
}

// The picture's place in a window of ww x wh pixels: as large as fits, aspect kept, centred.
void FitPicture(int pw, int ph, int ww, int wh, int* x, int* y, int* w, int* h) {
  if (pw <= 0 || ph <= 0 || ww <= 0 || wh <= 0) {
    *x = *y = 0, *w = pw, *h = ph;
    return;
  }
  double s = std::min(static_cast<double>(ww) / pw, static_cast<double>(wh) / ph);
  *w = static_cast<int>(pw * s + 0.5);
  *h = static_cast<int>(ph * s + 0.5);
  *x = (ww - *w) / 2;
  *y = (wh - *h) / 2;
}

void ShowPicture(TGLGraphics* g) {
  int dw = 0, dh = 0, x, y, w, h;
  SDL_GL_GetDrawableSize(g->window, &dw, &dh);
  FitPicture(g->width, g->height, dw, dh, &x, &y, &w, &h);
  GLD.bind_fb(kFramebuffer, 0);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glViewport(0, 0, dw, dh);
  if (w != dw || h != dh) {  // black bars; a picture that fills the window covers it all
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, dw, dh, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, g->fbo_tex);
  GLint filter = (w == g->width && h == g->height) ? GL_NEAREST : GL_LINEAR;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);  // llvmpipe copies faster than it multiplies by white
  float u = static_cast<float>(g->width) / g->fbo_tex_w, v = static_cast<float>(g->height) / g->fbo_tex_h;
  // NOTE: the picture's rows run bottom-up in the texture, so its top is v.
  glBegin(GL_QUADS);
  glTexCoord2f(0, v), glVertex2i(x, y);
  glTexCoord2f(u, v), glVertex2i(x + w, y);
  glTexCoord2f(u, 0), glVertex2i(x + w, y + h);
  glTexCoord2f(0, 0), glVertex2i(x, y + h);
  glEnd();
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

}  // namespace

TGLGraphics::~TGLGraphics() { Close(); }

void TGLGraphics::GetSettings(int* w, int* h, int* d, int* hz, int* f) {
  *w = width, *h = height, *d = depth, *hz = hertz, *f = flags;
}

void TGLGraphics::Close() {
  if (!window) return;
  if (context) {
    SDL_GL_MakeCurrent(window, context);
    DeletePicture(this);
    SDL_GL_DeleteContext(context);
  }
  SDL_DestroyWindow(window);
  window = nullptr, context = nullptr;
  if (GLD.current == this) GLD.current = nullptr;
}

std::shared_ptr<TGLGraphics> GLCreateGraphics(int width, int height, int depth, int hertz, int flags,
                                              const std::string& title) {
  if (width <= 0 || height <= 0 || !InitVideo()) return nullptr;
  SetContextAttributes(flags);
  auto g = std::make_shared<TGLGraphics>();
  g->width = width, g->height = height, g->depth = depth, g->hertz = hertz, g->flags = flags;
  g->window = OpenWindow(title, width, height, depth, hertz);
  if (g->window) g->context = SDL_GL_CreateContext(g->window);
  if (!g->context) {
    std::fprintf(stderr, "Kelvane: cannot open the display: %s\n", SDL_GetError());
    return nullptr;  // the destructor closes the window
  }
  g->straight = DrawsStraight(g.get());
  if (!g->straight && !CreatePicture(g.get()))
    std::fprintf(stderr, "Kelvane: no framebuffer objects; drawing straight to the window\n");
  GLD.current = g.get();
  return g;
}

void GLSetGraphics(TGLGraphics* graphics) {
  GLD.current = graphics;
  if (!graphics || !graphics->window) {
    GLD.current = nullptr;
    return;
  }
  SDL_GL_MakeCurrent(graphics->window, graphics->context);
  if (graphics->fbo) GLD.bind_fb(kFramebuffer, graphics->fbo);
}

TGLGraphics* GLCurrentGraphics() { return GLD.current; }

void GLPresent(int sync) {
  TGLGraphics* g = GLD.current;
  if (!g) return;
  sync = sync ? 1 : 0;
  if (sync != g->swap_interval) {
    SDL_GL_SetSwapInterval(sync);
    g->swap_interval = sync;
  }
  if (g->straight && !FillsDrawable(g)) MoveIntoPicture(g);
  if (g->fbo) ShowPicture(g);
  if (g->straight) glFlush();  // an off-screen surface's swap does not even flush, and frames would pile up
  SDL_GL_SwapWindow(g->window);
  if (g->fbo) {
    GLD.bind_fb(kFramebuffer, g->fbo);
    GLRestoreDrawState();
  }
}

// The window is about to change size: a display drawn straight moves its last frame into
// a picture, and later frames are drawn there and scaled to fit.
static void LeaveStraight(TGLGraphics* g) {
  if (!g->straight) return;
  MoveIntoPicture(g);
  if (g->fbo) GLD.bind_fb(kFramebuffer, g->fbo);
  GLRestoreDrawState();
}

// The exact mode where the system has it, else the desktop's with the picture letterboxed,
// as the display would have opened.
static int EnterFullScreen(TGLGraphics* g) {
  SDL_DisplayMode mode;
  int depth = g->depth ? g->depth : 32;
  if (FindExactMode(g->width, g->height, depth, g->hertz, &mode) && SDL_SetWindowDisplayMode(g->window, &mode) == 0 &&
      SDL_SetWindowFullscreen(g->window, SDL_WINDOW_FULLSCREEN) == 0)
    return 1;
  SDL_DisplayMode desktop;
  if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
    SDL_SetWindowPosition(g->window, 0, 0);
    SDL_SetWindowSize(g->window, desktop.w, desktop.h);
  }
  return SDL_SetWindowFullscreen(g->window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
}

// A window of the display's own size, where a window display opens.
static int LeaveFullScreen(TGLGraphics* g) {
  if (SDL_SetWindowFullscreen(g->window, 0) != 0) return 0;
  SDL_SetWindowSize(g->window, g->width, g->height);
  SDL_SetWindowPosition(g->window, 32, 32);
  return 1;
}

int GLIsFullScreen(TGLGraphics* g) {
  return g && g->window && (SDL_GetWindowFlags(g->window) & SDL_WINDOW_FULLSCREEN) != 0;
}

int GLSetFullScreen(TGLGraphics* g, int on) {
  if (!g || !g->window) return 0;
  if (GLIsFullScreen(g) == (on != 0)) return 1;
  LeaveStraight(g);
  if (!g->fbo) return 0;  // no picture to scale: the window keeps its size
  return on ? EnterFullScreen(g) : LeaveFullScreen(g);
}

std::vector<TGraphicsMode> GLGraphicsModes() {
  std::vector<TGraphicsMode> modes;
  if (!InitVideo()) return modes;
  int n = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < n; i++) {
    SDL_DisplayMode m;
    if (SDL_GetDisplayMode(0, i, &m) == 0) modes.push_back({m.w, m.h, static_cast<int>(SDL_BITSPERPIXEL(m.format)), m.refresh_rate});
  }
  return modes;
}

// Where the picture sits in the window, in window coordinates; 0 when there is no window.
static int PictureInWindow(TGLGraphics* g, int* x, int* y, int* w, int* h) {
  if (!g || !g->window) return 0;
  int ww, wh;
  SDL_GetWindowSize(g->window, &ww, &wh);
  FitPicture(g->width, g->height, ww, wh, x, y, w, h);
  return 1;
}

// Window and picture coordinates, for the pointer (window coordinates, not drawable pixels).
void WindowToPicture(int wx, int wy, int* px, int* py) {
  TGLGraphics* g = GLD.current;
  int x, y, w, h;
  if (!PictureInWindow(g, &x, &y, &w, &h)) {
    *px = wx, *py = wy;
    return;
  }
  int mx = w > 0 ? static_cast<int>(static_cast<int64_t>(wx - x) * g->width / w) : wx;
  int my = h > 0 ? static_cast<int>(static_cast<int64_t>(wy - y) * g->height / h) : wy;
  *px = std::clamp(mx, 0, g->width - 1);
  *py = std::clamp(my, 0, g->height - 1);
}

void PictureToWindow(int px, int py, int* wx, int* wy) {
  TGLGraphics* g = GLD.current;
  int x, y, w, h;
  if (!PictureInWindow(g, &x, &y, &w, &h)) {
    *wx = px, *wy = py;
    return;
  }
  *wx = x + static_cast<int>(static_cast<int64_t>(px) * w / g->width);
  *wy = y + static_cast<int>(static_cast<int64_t>(py) * h / g->height);
}

SDL_Window* DisplayWindow() { return GLD.current ? GLD.current->window : nullptr; }
