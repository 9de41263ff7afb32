// ogg: whole Ogg Vorbis streams decoded at load into 16-bit little-endian samples.
#include <ogg/ogg.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/sound.h"

// Types

namespace {

struct TMemSource {
  const uint8_t* data;
  size_t size, pos;
};

// What the page check learns: the links, and the sample frames their last pages claim.
struct TStreamShape {
  int links = 0;
  int64_t frames = 0;
};

}  // namespace

// Longer than any game sound; keeps a hostile stream from expanding without bound.
static constexpr size_t MAX_DECODED_BYTES = size_t(1) << 28;

// Module Internal Functions

static size_t ReadMem(void* ptr, size_t size, size_t count, void* source) {
  auto* src = static_cast<TMemSource*>(source);
  errno = 0;  // vorbisfile takes a 0 with errno set for a failed read rather than the end
  if (size == 0) return 0;
  size_t n = std::min(count, (src->size - src->pos) / size);
  std::memcpy(ptr, src->data + src->pos, n * size);
  src->pos += n * size;
  return n;
}

// vorbisfile skips damaged pages and stops quietly where a file was cut short, so check
// first that every page is whole and passes its checksum, that each link's pages run in
// sequence, and that the last page ends the stream. Gives no links if damaged.
static TStreamShape CheckPages(const uint8_t* data, size_t size) {
  TStreamShape shape;
  if (size == 0 || size > INT_MAX) return shape;
  ogg_sync_state sync;
  ogg_sync_init(&sync);
  char* room = ogg_sync_buffer(&sync, long(size));
  if (!room) {  // out of memory: as good as damaged
    ogg_sync_clear(&sync);
    return shape;
  }
  std::memcpy(room, data, size);
  ogg_sync_wrote(&sync, long(size));
  ogg_page page;
  int result, links = 0, ended = 1, serial = 0;
  long seq = 0;
  bool ok = true;
  while (ok && (result = ogg_sync_pageout(&sync, &page)) == 1) {
    bool starts = ended && ogg_page_bos(&page), follows = !ended && ogg_page_serialno(&page) == serial &&
                                                       ogg_page_pageno(&page) == seq + 1;
    ok = starts || follows;
    links += starts;
    serial = ogg_page_serialno(&page), seq = ogg_page_pageno(&page), ended = ogg_page_eos(&page);
    int64_t end = ogg_page_granulepos(&page);
    if (ended && end > 0 && shape.frames < INT64_MAX - end) shape.frames += end;
  }
  ok = ok && result == 0 && ended && sync.returned == sync.fill;
  ogg_sync_clear(&sync);
  shape.links = ok ? links : 0;
  return shape;
}

// Room for the whole decoded stream up front, so loading a long track never holds two
// copies while the buffer grows. The pages' claim is only believed when it is plausible.
static void ReserveDecoded(const TStreamShape& shape, int channels, size_t compressed, std::vector<uint8_t>* out) {
  uint64_t bytes = uint64_t(shape.frames) * 2 * uint64_t(channels);
  uint64_t plausible = std::min<uint64_t>(64 * uint64_t(compressed) + (1 << 20), MAX_DECODED_BYTES);
  if (bytes > 0 && bytes <= plausible) out->reserve(size_t(bytes));
}

// Every link of a chained stream must match the first, since the sample has one format.
static bool SameShape(OggVorbis_File* vf, const vorbis_info& first) {
  vorbis_info* info = ov_info(vf, -1);
  return info && info->channels == first.channels && info->rate == first.rate;
}

// The pages were checked whole and in sequence, so the only hole left is a link boundary.
static bool DecodeAll(OggVorbis_File* vf, const vorbis_info& first, int links, std::vector<uint8_t>* out) {
  char buffer[8192];
  int link = 0, holes = 0;
  for (;;) {
    long n = ov_read(vf, buffer, sizeof buffer, 0, 2, 1, &link);  // little-endian, 16-bit, signed
    if (n == 0) return true;
    if (n == OV_HOLE && ++holes < links) continue;
    if (n < 0 || !SameShape(vf, first)) return false;
    if (out->size() + size_t(n) > MAX_DECODED_BYTES) return false;
    out->insert(out->end(), buffer, buffer + n);
  }
}

static std::shared_ptr<TAudioSample> DecodeOpened(OggVorbis_File* vf, const TStreamShape& shape, size_t compressed) {
  vorbis_info* info = ov_info(vf, -1);
  if (!info || (info->channels != 1 && info->channels != 2) || info->rate <= 0 || info->rate > INT_MAX) return nullptr;
  vorbis_info first = *info;
  auto sample = std::make_shared<TAudioSample>();
  ReserveDecoded(shape, first.channels, compressed, &sample->data);
  if (!DecodeAll(vf, first, shape.links, &sample->data)) return nullptr;
  size_t frame_bytes = 2 * size_t(first.channels);
  if (sample->data.empty() || sample->data.size() % frame_bytes) return nullptr;
  sample->format = first.channels == 1 ? SF_MONO16LE : SF_STEREO16LE;
  sample->hertz = int(first.rate);
  sample->length = int(sample->data.size() / frame_bytes);
  return sample;
}

// Module Functions

std::shared_ptr<TAudioSample> DecodeOggVorbis(const uint8_t* data, size_t size) {
  TStreamShape shape = data ? CheckPages(data, size) : TStreamShape{};
  if (!shape.links) return nullptr;
  TMemSource source{data, size, 0};
  // NOTE: opened as a plain unseekable stream: the seekable opening scans for links, starts a
  // chained stream in its last link, and leaks on some damaged files.
  ov_callbacks callbacks{ReadMem, nullptr, nullptr, nullptr};
  OggVorbis_File vf;
  if (ov_open_callbacks(&source, &vf, nullptr, 0, callbacks) != 0) return nullptr;
  std::shared_ptr<TAudioSample> sample = DecodeOpened(&vf, shape, size);
  ov_clear(&vf);
  return sample;
}
