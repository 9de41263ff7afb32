#include "sound/ogg_out.h"

#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

void Flush(ogg_stream_state& os, std::vector<uint8_t>& out, bool force) {
  ogg_page page;
  while (force ? ogg_stream_flush(&os, &page) : ogg_stream_pageout(&os, &page)) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
  }
}

void Drain(vorbis_dsp_state& vd, vorbis_block& vb, ogg_stream_state& os, std::vector<uint8_t>& out) {
  ogg_packet op;
  while (vorbis_analysis_blockout(&vd, &vb) == 1) {
    vorbis_analysis(&vb, nullptr);
    vorbis_bitrate_addblock(&vb);
    while (vorbis_bitrate_flushpacket(&vd, &op)) {
      ogg_stream_packetin(&os, &op);
      Flush(os, out, false);
    }
  }
}

struct MemReader {
  const std::vector<uint8_t>* data;
  size_t pos;
};

size_t MemRead(void* dst, size_t size, size_t n, void* src) {
  MemReader* m = static_cast<MemReader*>(src);
  size_t want = std::min(size * n, m->data->size() - m->pos);
  std::memcpy(dst, m->data->data() + m->pos, want);
  m->pos += want;
  return size ? want / size : 0;
}

}  // namespace

std::vector<uint8_t> EncodeOgg(const Pcm& pcm, float quality, uint32_t serial) {
  vorbis_info vi;
  vorbis_info_init(&vi);
  vorbis_encode_init_vbr(&vi, pcm.channels, pcm.rate, quality);
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, int(serial));  // fixed serial: same input, same bytes
  std::vector<uint8_t> out;
  ogg_packet h0, h1, h2;
  vorbis_analysis_headerout(&vd, &vc, &h0, &h1, &h2);
  ogg_stream_packetin(&os, &h0), ogg_stream_packetin(&os, &h1), ogg_stream_packetin(&os, &h2);
  Flush(os, out, true);
  const size_t chunk = 4096;
  for (size_t f = 0; f < pcm.frames(); f += chunk) {
    size_t n = std::min(chunk, pcm.frames() - f);
    float** buf = vorbis_analysis_buffer(&vd, int(n));
    for (size_t i = 0; i < n; i++)
      for (int c = 0; c < pcm.channels; c++) buf[c][i] = pcm.s[(f + i) * pcm.channels + c];
    vorbis_analysis_wrote(&vd, int(n));
    Drain(vd, vb, os, out);
  }
  vorbis_analysis_wrote(&vd, 0);
  Drain(vd, vb, os, out);
  Flush(os, out, true);
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return out;
}

Pcm DecodeOgg(const std::vector<uint8_t>& ogg) {
  MemReader m{&ogg, 0};
  OggVorbis_File vf;
  ov_callbacks cb{MemRead, nullptr, nullptr, nullptr};
  Pcm pcm;
  if (ov_open_callbacks(&m, &vf, nullptr, 0, cb) != 0) return pcm;
  pcm.channels = ov_info(&vf, -1)->channels;
  pcm.rate = int(ov_info(&vf, -1)->rate);
  for (;;) {
    float** data;
    int section;
    long n = ov_read_float(&vf, &data, 4096, &section);
    if (n <= 0) break;
    for (long i = 0; i < n; i++)
      for (int c = 0; c < pcm.channels; c++) pcm.s.push_back(data[c][i]);
  }
  ov_clear(&vf);
  return pcm;
}

float Peak(const Pcm& pcm) {
  float p = 0;
  for (float v : pcm.s) p = std::max(p, std::fabs(v));
  return p;
}

Pcm WriteOgg(const std::string& path, Pcm pcm, float quality, float peak_db) {
  uint32_t serial = 0x4B454C56u;  // derived from the name so each file has its own stream id
  for (char c : path.substr(path.find_last_of('/') + 1)) serial = serial * 31u + uint8_t(c);
  float target = std::pow(10.f, peak_db / 20.f);
  std::vector<uint8_t> ogg, tried;
  Pcm heard, got;
  float best = 1e9f;
  // The codec moves peaks a little and not smoothly: measure, correct, keep the closest try.
  for (int pass = 0; pass < 6; pass++) {
    float p = Peak(pass ? got : pcm);
    if (p > 0)
      for (float& v : pcm.s) v *= target / p;
    tried = EncodeOgg(pcm, quality, serial);
    got = DecodeOgg(tried);
    float miss = std::fabs(20 * std::log10(Peak(got) / target));
    if (miss < best) best = miss, ogg = tried, heard = got;
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || std::fwrite(ogg.data(), 1, ogg.size(), f) != ogg.size()) std::fprintf(stderr, "cannot write %s\n", path.c_str());
  if (f) std::fclose(f);
  std::printf("%s: %zu bytes, %.3f s, %d ch, peak %.2f dBFS\n", path.c_str(), ogg.size(),
              double(heard.frames()) / heard.rate, heard.channels, 20 * std::log10(Peak(heard)));
  return heard;
}
