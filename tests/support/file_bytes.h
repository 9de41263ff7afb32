// file_bytes: a file read or written whole, for tests that check the bytes a save left.
#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// "" for a file that isn't there or can't be read.
inline std::string ReadText(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& p) {
  std::string s = ReadText(p);
  return std::vector<uint8_t>(s.begin(), s.end());
}

// The folders on the way are made when missing; what was there is replaced.
inline void WriteBytes(const std::filesystem::path& p, const std::vector<uint8_t>& bytes) {
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
