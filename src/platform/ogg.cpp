// ogg: whole Ogg Vorbis streams decoded at load into 16-bit little-endian samples.
#include <ogg/ogg.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/sound.h"

// Types

namespace {

struct TMemSource {
  const uint8_t* data;
  size_t size, pos;
};

}  // namespace

// Longer than any game sound; keeps a hostile stream from expanding without bound.
static constexpr size_t MAX_DECODED_BYTES = size_t(1) << 28;

// Module Internal Functions

static size_t ReadMem(void* ptr, size_t size, size_t count, void* source) {
  auto* src = static_cast<TMemSource*>(source);
  if (size == 0) return 0;
  size_t n = std::min(count, (src->size - src->pos) / size);
  std::memcpy(ptr, src->data + src->pos, n * size);
  src->pos += n * size;
  return n;
}

static int SeekMem(void* source, ogg_int64_t offset, int whence) {
  auto* src = static_cast<TMemSource*>(source);
  ogg_int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? ogg_int64_t(src->pos) : ogg_int64_t(src->size);
  if (offset < -base || offset > ogg_int64_t(src->size) - base) return -1;
  src->pos = size_t(base + offset);
  return 0;
}

static long TellMem(void* source) { return long(static_cast<TMemSource*>(source)->pos); }

// vorbisfile skips damaged pages and stops quietly where a file was cut short, so check
// first that every page is whole, passes its checksum, and that the last one ends the stream.
static bool PagesIntact(const uint8_t* data, size_t size) {
  if (size == 0 || size > INT_MAX) return false;
  ogg_sync_state sync;
  ogg_sync_init(&sync);
  std::memcpy(ogg_sync_buffer(&sync, long(size)), data, size);
  ogg_sync_wrote(&sync, long(size));
  ogg_page page;
  int result, pages = 0, eos = 0;
  while ((result = ogg_sync_pageout(&sync, &page)) == 1) pages++, eos = ogg_page_eos(&page);
  bool whole = result == 0 && pages > 0 && eos && sync.returned == sync.fill;
  ogg_sync_clear(&sync);
  return whole;
}

// Every link of a chained stream must match the first, since the sample has one format.
static bool SameShape(OggVorbis_File* vf, int link, const vorbis_info& first) {
  vorbis_info* info = ov_info(vf, link);
  return info && info->channels == first.channels && info->rate == first.rate;
}

static bool DecodeAll(OggVorbis_File* vf, const vorbis_info& first, std::vector<uint8_t>* out) {
  char buffer[8192];
  int link = 0;
  for (;;) {
    long n = ov_read(vf, buffer, sizeof buffer, 0, 2, 1, &link);  // little-endian, 16-bit, signed
    if (n == 0) return true;
    if (n < 0 || !SameShape(vf, link, first)) return false;
    if (out->size() + size_t(n) > MAX_DECODED_BYTES) return false;
    out->insert(out->end(), buffer, buffer + n);
  }
}

static std::shared_ptr<TAudioSample> DecodeOpened(OggVorbis_File* vf) {
  // NOTE: vorbisfile opens a chained stream positioned in its last link; rewind to hear them all.
  if (ov_streams(vf) > 1 && ov_pcm_seek(vf, 0) != 0) return nullptr;
  vorbis_info* info = ov_info(vf, 0);
  if (!info || (info->channels != 1 && info->channels != 2) || info->rate <= 0 || info->rate > INT_MAX) return nullptr;
  vorbis_info first = *info;
  auto sample = std::make_shared<TAudioSample>();
  if (!DecodeAll(vf, first, &sample->data)) return nullptr;
  size_t frame_bytes = 2 * size_t(first.channels);
  if (sample->data.empty() || sample->data.size() % frame_bytes) return nullptr;
  sample->format = first.channels == 1 ? SF_MONO16LE : SF_STEREO16LE;
  sample->hertz = int(first.rate);
  sample->length = int(sample->data.size() / frame_bytes);
  return sample;
}

// Module Functions

std::shared_ptr<TAudioSample> DecodeOggVorbis(const uint8_t* data, size_t size) {
  if (!data || !PagesIntact(data, size)) return nullptr;
  TMemSource source{data, size, 0};
  ov_callbacks callbacks{ReadMem, SeekMem, nullptr, TellMem};
  OggVorbis_File vf;
  if (ov_open_callbacks(&source, &vf, nullptr, 0, callbacks) != 0) return nullptr;
  std::shared_ptr<TAudioSample> sample = DecodeOpened(&vf);
  ov_clear(&vf);
  return sample;
}
