// draw: the current 2D drawing state (colour, alpha, blend, rotation and scale) and
// the shapes drawn under it. The back-end interface below is what images and text draw
// through too; the OpenGL back-end is the one the game uses.
#pragma once
#include <memory>
#include <string>
#include <vector>
#include "platform/display.h"
#include "platform/pixmap.h"

class TImageFont;

// Blend modes, as SetBlendMode and twdraw.sip take them.
enum { BLEND_MASK = 1, BLEND_SOLID = 2, BLEND_ALPHA = 3, BLEND_ADDITIVE = 4, BLEND_MULTIPLY = 5 };

// One image frame's copy on the device.
class TImageFrame {
 public:
  virtual ~TImageFrame() = default;
  virtual void Draw(float x0, float y0, float x1, float y1, float tx, float ty) = 0;
};

class TDraw2DDriver : public TGraphicsDriver {
 public:
  virtual std::shared_ptr<TImageFrame> CreateFrameFromPixmap(const TPixmap& pixmap, int flags) = 0;
  virtual void SetBlend(int mode) = 0;
  virtual void SetAlpha(float alpha) = 0;
  virtual void SetColor(int red, int green, int blue) = 0;
  virtual void SetClsColor(int red, int green, int blue) = 0;
  virtual void SetViewport(int x, int y, int width, int height) = 0;
  virtual void SetTransform(float ix, float iy, float jx, float jy) = 0;
  virtual void SetLineWidth(float width) = 0;
  virtual void Cls() = 0;
  virtual void Plot(float x, float y) = 0;
  virtual void DrawLine(float x0, float y0, float x1, float y1, float tx, float ty) = 0;
  virtual void DrawRect(float x0, float y0, float x1, float y1, float tx, float ty) = 0;
  virtual std::shared_ptr<TPixmap> GrabPixmap(int x, int y, int width, int height) = 0;
  virtual void ResetContext() = 0;  // projection, viewport and cached state after a new context
};

// gl_driver.cpp
TDraw2DDriver* GLDraw2DDriver();  // the OpenGL back-end (one per program)

// draw.cpp
class TDraw2DGraphics : public TGraphics {
 public:
  int color_red = 255, color_green = 255, color_blue = 255;
  float color_alpha = 1.0f;
  int clscolor_red = 0, clscolor_green = 0, clscolor_blue = 0;
  float line_width = 1.0f;
  float tform_rot = 0, tform_scale_x = 1.0f, tform_scale_y = 1.0f;
  float tform_ix = 1, tform_iy = 0, tform_jx = 0, tform_jy = 1;
  int viewport_x = 0, viewport_y = 0, viewport_w = 0, viewport_h = 0;
  float origin_x = 0, origin_y = 0;
  float handle_x = 0, handle_y = 0;  // stored negated
  std::shared_ptr<TImageFont> image_font;  // empty: the built-in font
  int blend_mode = 1;
  std::shared_ptr<TGraphics> _graphics;
  TDraw2DDriver* _driver = nullptr;
  int _setup = 0;

  ~TDraw2DGraphics() override;
  void GetSettings(int* width, int* height, int* depth, int* hertz, int* flags) override;
  void Close() override;
  void Validate();     // re-applies every field through the setters
  void MakeCurrent();  // first activation also clears and presents twice
  static void ClearCurrent();
  static TDraw2DGraphics* Current();
  static std::shared_ptr<TDraw2DGraphics> Create(std::shared_ptr<TGraphics> graphics, TDraw2DDriver* driver);
};

// State setters (stored unclamped, clamped by the back-end)
void SetDrawColor(int red, int green, int blue);
void SetDrawAlpha(float alpha);
void SetBlendMode(int mode);        // a BLEND_ mode; any other draws as solid; the same mode again does nothing
void SetClearColor(int red, int green, int blue);
void SetDrawRotation(float degrees);
float GetDrawRotation();
void SetDrawScale(float sx, float sy);
void SetDrawTransform(float degrees, float sx, float sy);
void SetViewport(int x, int y, int width, int height);
void SetDrawHandle(float x, float y);
void SetDrawOrigin(float x, float y);
void SetLineWidth(float width);

// State getters (for tests and the stereo drawing)
void GetDrawColor(int* red, int* green, int* blue);
float GetDrawAlpha();
int GetBlendMode();
void GetDrawScale(float* sx, float* sy);
float GetDrawScaleX();
float GetDrawScaleY();
void GetDrawMatrix(float* ix, float* iy, float* jx, float* jy);

// Shapes
void ClearScreen();
void FillRect(float x, float y, float width, float height);
void DrawLineSegment(float x1, float y1, float x2, float y2, int last);
std::shared_ptr<TPixmap> GrabPixmap(int x, int y, int width, int height);  // RGBA, top-down; beyond the screen black

// Test seam: each image frame, text, filled rectangle and line as the game asked for it,
// with the drawing state in force, before any back-end shortcut.
enum { DC_IMAGE = 0, DC_TEXT = 1, DC_RECT = 2, DC_LINE = 3 };
struct TDrawCall {
  int kind = DC_IMAGE;
  const void* image = nullptr;       // the TImage of an image frame
  int frame = 0;
  std::string text;
  float x = 0, y = 0, w = 0, h = 0;  // a line's second end in w, h
  int r = 0, g = 0, b = 0, blend = 0;
  float alpha = 0, rotation = 0, sx = 0, sy = 0;
};
void SetDrawCallLog(std::vector<TDrawCall>* log);  // nullptr stops logging
void LogDrawCall(TDrawCall call);                  // adds the drawing state; nothing while no log is set
