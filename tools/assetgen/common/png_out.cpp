#include "common/png_out.h"

#include <png.h>

#include <cstdio>

bool WritePngPixels(const std::string& path, int w, int h, int channels, const uint8_t* pixels) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_compression_level(png, 9);
  int type = channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
  png_set_IHDR(png, info, w, h, 8, type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < h; y++) png_write_row(png, pixels + size_t(y) * w * channels);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
  return true;
}

bool WritePng(const std::string& path, const Image8& img) { return WritePngPixels(path, img.w, img.h, 3, img.rgb.data()); }

void Blit(Image8& dst, const Image8& src, int x0, int y0) {
  for (int y = 0; y < src.h; y++)
    for (int x = 0; x < src.w; x++) {
      int dx = x0 + x, dy = y0 + y;
      if (dx < 0 || dy < 0 || dx >= dst.w || dy >= dst.h) continue;
      const uint8_t* s = src.at(x, y);
      uint8_t* d = dst.at(dx, dy);
      d[0] = s[0], d[1] = s[1], d[2] = s[2];
    }
}

Image8 Enlarge(const Image8& src, int k) {
  Image8 out(src.w * k, src.h * k);
  for (int y = 0; y < out.h; y++)
    for (int x = 0; x < out.w; x++) {
      const uint8_t* s = src.at(x / k, y / k);
      uint8_t* d = out.at(x, y);
      d[0] = s[0], d[1] = s[1], d[2] = s[2];
    }
  return out;
}
