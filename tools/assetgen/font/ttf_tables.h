// Big-endian table building blocks for the TrueType writer.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Bytes {
  std::vector<uint8_t> b;
  void u8(int v) { b.push_back(uint8_t(v)); }
  void u16(int v) { u8(v >> 8), u8(v); }
  void s16(int v) { u16(v & 0xFFFF); }
  void u32(uint32_t v) { u16(int(v >> 16)), u16(int(v & 0xFFFF)); }
  void zeros(int n) { b.insert(b.end(), size_t(n), 0); }
  void pad4() { while (b.size() % 4) u8(0); }
  void put16(size_t at, int v) { b[at] = uint8_t(v >> 8), b[at + 1] = uint8_t(v); }
  void put32(size_t at, uint32_t v) { put16(at, int(v >> 16)), put16(at + 2, int(v & 0xFFFF)); }
  void append(const Bytes& o) { b.insert(b.end(), o.b.begin(), o.b.end()); }
};

uint32_t TableChecksum(const std::vector<uint8_t>& data);  // sum of big-endian words, zero-padded
