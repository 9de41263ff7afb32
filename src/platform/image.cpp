// image: multi-frame images with handles and a mask colour, their device copies (made
// on first draw under each display), cutting them from the back buffer, and the
// overlap test on their pixels.
#include "platform/image.h"
#include "platform/overlap.h"

namespace {

struct {
  int mask_r = 0, mask_g = 0, mask_b = 0;
  int default_flags = IMG_MASKED | IMG_FILTERED;
  int auto_centre_handle = 0;
} IMAGES;

int ValidFrame(const TImage* image, int index) { return image && index >= 0 && index < image->CountFrames(); }

// Placed as DrawImageFrame would place it; the mask only where the pixels carry alpha.
// A frame never filled is the blank transparent pixmap it draws as.
TOverlapShape ShapeOf(TImage& image, int x, int y, int frame) {
  const TPixmap* pixmap = image.Pixels(frame);
  if (pixmap && !TPixmap::HasAlpha(pixmap->format)) pixmap = nullptr;
  return {image.width, image.height, image.handle_x, image.handle_y, pixmap, x, y};
}

}  // namespace

TImageFrame* TImage::Frame(int index) {
  if (!ValidFrame(this, index)) return nullptr;
  if (seqs[index] == graphics_seq) return frames[index].get();
  TDraw2DGraphics* state = TDraw2DGraphics::Current();
  if (!state) return nullptr;
  frames[index] = state->_driver->CreateFrameFromPixmap(*Lock(index, 1, 0), flags);
  seqs[index] = graphics_seq;  // a refused copy is not retried every frame
  return frames[index].get();
}

std::shared_ptr<TPixmap> TImage::Lock(int index, int read, int write) {
  (void)read;
  if (!ValidFrame(this, index)) return nullptr;
  if (!pixmaps[index]) pixmaps[index] = TPixmap::Create(width, height, PF_RGBA8888);
  if (write) {
    frames[index] = nullptr;
    seqs[index] = 0;
  }
  return pixmaps[index];
}

const TPixmap* TImage::Pixels(int index) {
  if (!ValidFrame(this, index)) return nullptr;
  if (!pixmaps[index]) pixmaps[index] = TPixmap::Create(width, height, PF_RGBA8888);
  return pixmaps[index].get();
}

void TImage::SetPixmap(int index, std::shared_ptr<TPixmap> pixmap) {
  if (!ValidFrame(this, index) || !pixmap) return;
  if ((flags & IMG_MASKED) && !TPixmap::HasAlpha(pixmap->format)) pixmap = MaskPixmap(*pixmap, mask_r, mask_g, mask_b);
  pixmaps[index] = std::move(pixmap);
  frames[index] = nullptr;
  seqs[index] = 0;
}

std::shared_ptr<TImage> TImage::Create(int width, int height, int frames, int flags, int mr, int mg, int mb) {
  if (width <= 0 || height <= 0 || frames <= 0) return nullptr;
  auto image = std::make_shared<TImage>();
  image->width = width, image->height = height, image->flags = flags;
  image->mask_r = mr, image->mask_g = mg, image->mask_b = mb;
  image->pixmaps.resize(frames);
  image->frames.resize(frames);
  image->seqs.assign(frames, 0);
  return image;
}

std::shared_ptr<TImage> TImage::Load(const std::string& source, int flags, int mr, int mg, int mb) {
  std::shared_ptr<TPixmap> pixmap = LoadPixmapPng(source);
  if (!pixmap) return nullptr;
  auto image = Create(pixmap->width, pixmap->height, 1, flags, mr, mg, mb);
  if (image) image->SetPixmap(0, pixmap);
  return image;
}

void SetMaskKey(int red, int green, int blue) { IMAGES.mask_r = red, IMAGES.mask_g = green, IMAGES.mask_b = blue; }

void SetDefaultImageFlags(int flags) {
  if (flags != -1) IMAGES.default_flags = flags;
}

int GetDefaultImageFlags() { return IMAGES.default_flags; }

void SetAutoCentreHandle(int on) { IMAGES.auto_centre_handle = on; }

std::shared_ptr<TImage> LoadImageFile(const std::string& source, int flags) {
  if (flags == -1) flags = IMAGES.default_flags;
  auto image = TImage::Load(source, flags, IMAGES.mask_r, IMAGES.mask_g, IMAGES.mask_b);
  if (image && IMAGES.auto_centre_handle) CentreImageHandle(image);
  return image;
}

std::shared_ptr<TImage> CreateBlankImage(int width, int height, int frames, int flags) {
  if (flags == -1) flags = IMAGES.default_flags;
  auto image = TImage::Create(width, height, frames, flags | IMG_DYNAMIC, IMAGES.mask_r, IMAGES.mask_g, IMAGES.mask_b);
  if (image && IMAGES.auto_centre_handle) CentreImageHandle(image);
  return image;
}

void GrabScreenToImage(const std::shared_ptr<TImage>& image, int x, int y, int frame) {
  if (!ValidFrame(image.get(), frame)) return;
  std::shared_ptr<TPixmap> pixmap = GrabPixmap(x, y, image->width, image->height);
  if (!pixmap) return;
  if (image->flags & IMG_MASKED) pixmap = MaskPixmap(*pixmap, IMAGES.mask_r, IMAGES.mask_g, IMAGES.mask_b);
  image->SetPixmap(frame, pixmap);
}

void ReleaseImageFrame(const std::shared_ptr<TImage>& image, int frame) {
  if (!ValidFrame(image.get(), frame)) return;
  image->pixmaps[frame] = nullptr;
  image->frames[frame] = nullptr;
  image->seqs[frame] = 0;
}

void CentreImageHandle(const std::shared_ptr<TImage>& image) {
  if (image) SetImageHandle(image, image->width * 0.5f, image->height * 0.5f);
}

void SetImageHandle(const std::shared_ptr<TImage>& image, float x, float y) {
  if (image) image->handle_x = x, image->handle_y = y;
}

void DrawImageFrame(const std::shared_ptr<TImage>& image, float x, float y, int frame) {
  TDraw2DGraphics* s = TDraw2DGraphics::Current();
  if (!s || !image) return;
  TImageFrame* device = image->Frame(frame);
  if (!device) return;
  float hx = image->handle_x, hy = image->handle_y;
  device->Draw(-hx, -hy, image->width - hx, image->height - hy, x + s->origin_x, y + s->origin_y);
  LogDrawCall({DC_IMAGE, image.get(), frame, "", x, y, static_cast<float>(image->width), static_cast<float>(image->height)});
}

int ImagesOverlap(const std::shared_ptr<TImage>& image1, int x1, int y1, int frame1,
                  const std::shared_ptr<TImage>& image2, int x2, int y2, int frame2) {
  if (!ValidFrame(image1.get(), frame1) || !ValidFrame(image2.get(), frame2)) return 0;
  float ix, iy, jx, jy;
  GetDrawMatrix(&ix, &iy, &jx, &jy);
  TDraw2DGraphics* s = TDraw2DGraphics::Current();
  float ox = s ? s->origin_x : 0, oy = s ? s->origin_y : 0;
  return ShapesOverlap(ShapeOf(*image1, x1, y1, frame1), ShapeOf(*image2, x2, y2, frame2), ix, iy, jx, jy, ox, oy);
}
