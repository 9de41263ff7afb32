// png: decoding PNG bytes into pixmaps through libpng, reading from memory.
// Depends on: libpng, stream (for loading by name).
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "platform/pixmap.h"
#include "platform/stream.h"

namespace {

// Types

struct TPngSource {
  const uint8_t* data;
  size_t size, pos;
};

struct TPngHeader {
  png_uint_32 width, height;
  int channels, depth;
};

// Module Internal Functions

constexpr png_uint_32 kMaxSide = 16384;
// Deflate can't expand data more than about 1032 times; a picture bigger than that
// bound of its own file is damaged, and is refused before its memory is taken.
constexpr uint64_t kMaxInflate = 1100;

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* src = static_cast<TPngSource*>(png_get_io_ptr(png));
  if (count > src->size - src->pos) png_error(png, "truncated");
  std::memcpy(out, src->data + src->pos, count);
  src->pos += count;
}

// Chunks the game has no use for are skipped unread, so a damaged length in one of them
// can't make libpng set aside gigabytes for it.
const png_byte kIgnoredChunks[] =
    "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0sBIT\0sCAL\0sPLT\0sRGB\0tEXt\0tIME\0zTXt";
constexpr png_alloc_size_t kMaxChunk = 8 << 20;

void GuardChunks(png_structp png) {
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kIgnoredChunks, sizeof kIgnoredChunks / 5);
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
  png_set_chunk_malloc_max(png, kMaxChunk);
}

// libpng would print to stderr; a damaged picture is reported by the empty result instead.
void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

// The game's conversions: 8 bits per channel, palettes and low depths expanded,
// grey with alpha spread to RGBA.
void ChooseTransforms(png_structp png, png_infop info) {
  int type = png_get_color_type(png, info);
  png_set_strip_16(png);
  png_set_expand(png);
  int grey = type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA;
  if (grey && (type == PNG_COLOR_TYPE_GRAY_ALPHA || png_get_valid(png, info, PNG_INFO_tRNS)))
    png_set_gray_to_rgb(png);
  png_set_interlace_handling(png);
}

// NOTE: only plain locals here; libpng leaves by longjmp, which skips destructors.
int ReadHeader(png_structp png, png_infop info, TPngHeader* hdr) {
  if (setjmp(png_jmpbuf(png))) return 0;
  png_read_info(png, info);
  ChooseTransforms(png, info);
  png_read_update_info(png, info);
  hdr->width = png_get_image_width(png, info);
  hdr->height = png_get_image_height(png, info);
  hdr->channels = png_get_channels(png, info);
  hdr->depth = png_get_bit_depth(png, info);
  return 1;
}

int ReadRows(png_structp png, png_infop info, png_bytep* rows) {
  if (setjmp(png_jmpbuf(png))) return 0;
  png_read_image(png, rows);
  png_read_end(png, info);
  return 1;
}

int FormatFor(int channels) {
  switch (channels) {
    case 1: return PF_I8;
    case 3: return PF_RGB888;
    case 4: return PF_RGBA8888;
    default: return 0;
  }
}

// Least bytes the compressed data must inflate to: one filter byte per row plus the
// pixels at their stored depth.
int Plausible(const TPngHeader& hdr, size_t file_size) {
  uint64_t need = static_cast<uint64_t>(hdr.height) * (1 + (static_cast<uint64_t>(hdr.width) * hdr.channels * 8 + 7) / 8);
  return need <= kMaxInflate * file_size + 1024;
}

std::shared_ptr<TPixmap> Decode(png_structp png, png_infop info, TPngSource* src) {
  png_set_read_fn(png, src, ReadFromMemory);
  png_set_user_limits(png, kMaxSide, kMaxSide);
  GuardChunks(png);
  TPngHeader hdr{};
  if (!ReadHeader(png, info, &hdr)) return nullptr;
  int format = FormatFor(hdr.channels);
  if (hdr.depth != 8 || format == 0 || !Plausible(hdr, src->size)) return nullptr;
  auto pm = TPixmap::Create(static_cast<int>(hdr.width), static_cast<int>(hdr.height), format);
  if (!pm || png_get_rowbytes(png, info) != static_cast<size_t>(pm->pitch)) return nullptr;
  std::vector<png_bytep> rows(hdr.height);
  for (png_uint_32 y = 0; y < hdr.height; y++) rows[y] = pm->PixelPtr(0, static_cast<int>(y));
  if (!ReadRows(png, info, rows.data())) return nullptr;
  return pm;
}

}  // namespace

// Module Functions

std::shared_ptr<TPixmap> DecodePng(const uint8_t* data, size_t size) {
  if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0) return nullptr;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (!png) return nullptr;
  png_infop info = png_create_info_struct(png);
  std::shared_ptr<TPixmap> pm;
  if (info) {
    TPngSource src{data, size, 0};
    pm = Decode(png, info, &src);
  }
  png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  return pm;
}

std::shared_ptr<TPixmap> LoadPixmapPng(const std::string& source) {
  int ok = 0;
  std::string bytes = ReadWholeStream(source, &ok);
  if (!ok) return nullptr;
  return DecodePng(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}
