// Writing 8-bit RGB and RGBA pictures as PNG files.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Image8 {
  int w = 0, h = 0;
  std::vector<uint8_t> rgb;  // w*h*3, rows top to bottom
  Image8() = default;
  Image8(int w_, int h_) : w(w_), h(h_), rgb(size_t(w_) * h_ * 3, 0) {}
  uint8_t* at(int x, int y) { return &rgb[(size_t(y) * w + x) * 3]; }
  const uint8_t* at(int x, int y) const { return &rgb[(size_t(y) * w + x) * 3]; }
};

bool WritePng(const std::string& path, const Image8& img);           // 8-bit RGB, no alpha, max compression
bool WritePngPixels(const std::string& path, int w, int h, int channels, const uint8_t* pixels);  // 3: RGB, 4: RGBA
void Blit(Image8& dst, const Image8& src, int x, int y);             // copy src with its top-left at (x, y)
Image8 Enlarge(const Image8& src, int factor);                       // nearest-neighbour blow-up
