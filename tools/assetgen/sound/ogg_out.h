// Ogg Vorbis encoding with fixed stream serials, and decoding back to measure what a player hears.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Pcm {
  int channels = 1;
  int rate = 44100;
  std::vector<float> s;  // interleaved, -1..1
  size_t frames() const { return s.size() / size_t(channels); }
};

std::vector<uint8_t> EncodeOgg(const Pcm& pcm, float quality, uint32_t serial);
Pcm DecodeOgg(const std::vector<uint8_t>& ogg);  // empty on failure
float Peak(const Pcm& pcm);

// Scales the sound so that its decoded peak sits at `peak_db` dBFS, writes it, and returns the
// decoded result for reporting.
Pcm WriteOgg(const std::string& path, Pcm pcm, float quality, float peak_db);
