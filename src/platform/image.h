// image: multi-frame images with handles and a mask colour, their device copies,
// drawing them under the current state, cutting them from the back buffer, and the
// pixel-exact overlap test the game's collisions use.
#pragma once
#include <memory>
#include <string>
#include <vector>
#include "platform/draw.h"
#include "platform/pixmap.h"

enum { IMG_MASKED = 1, IMG_FILTERED = 2, IMG_MIPMAPPED = 4, IMG_DYNAMIC = 8 };

class TImage {
 public:
  int width = 0, height = 0, flags = 0;
  int mask_r = 0, mask_g = 0, mask_b = 0;
  float handle_x = 0, handle_y = 0;
  std::vector<std::shared_ptr<TPixmap>> pixmaps;
  std::vector<std::shared_ptr<TImageFrame>> frames;
  std::vector<int> seqs;

  int CountFrames() const { return static_cast<int>(pixmaps.size()); }
  TImageFrame* Frame(int index);  // the device copy, made on demand; nullptr when it can't be
  std::shared_ptr<TPixmap> Lock(int index, int read, int write);
  const TPixmap* Pixels(int index);  // as Lock(index, 1, 0) without taking a share
  void SetPixmap(int index, std::shared_ptr<TPixmap> pixmap);
  static std::shared_ptr<TImage> Create(int width, int height, int frames, int flags, int mr, int mg, int mb);
  static std::shared_ptr<TImage> Load(const std::string& source, int flags, int mr, int mg, int mb);
};

void SetMaskKey(int red, int green, int blue);
void SetDefaultImageFlags(int flags);  // -1 leaves it unchanged
int GetDefaultImageFlags();
void SetAutoCentreHandle(int on);

std::shared_ptr<TImage> LoadImageFile(const std::string& source, int flags);  // -1 = default flags; nullptr on failure
std::shared_ptr<TImage> CreateBlankImage(int width, int height, int frames, int flags);
void GrabScreenToImage(const std::shared_ptr<TImage>& image, int x, int y, int frame);
void ReleaseImageFrame(const std::shared_ptr<TImage>& image, int frame);  // blank again, pixels and device copy freed
void CentreImageHandle(const std::shared_ptr<TImage>& image);
void SetImageHandle(const std::shared_ptr<TImage>& image, float x, float y);
void DrawImageFrame(const std::shared_ptr<TImage>& image, float x, float y, int frame);  // empty image draws nothing

// 1 when the two frames, placed as DrawImageFrame would draw them under the current
// matrix and origin, share a solid pixel.
int ImagesOverlap(const std::shared_ptr<TImage>& image1, int x1, int y1, int frame1,
                  const std::shared_ptr<TImage>& image2, int x2, int y2, int frame2);
