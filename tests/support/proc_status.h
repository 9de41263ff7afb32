// proc_status: this process's anonymous resident memory, as the kernel counts it.
#pragma once
#include <cstdlib>
#include <fstream>
#include <string>

inline long AnonymousKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("RssAnon:", 0) == 0) return std::atol(line.c_str() + 8);
  return -1;
}
