// datafiles: the best score and the stereo mode, each one 4-byte little-endian integer.
// Reading never fails the game: anything unreadable falls back to 0, and is then left as
// it is at exit. Writing replaces the file whole (safe_file), so an interrupted exit, a
// power cut or a planted link leaves the old value.
#include "app/datafiles.h"
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include "app/datapaths.h"
#include "game/player.h"
#include "platform/safe_file.h"
#include "render/twdraw.h"

namespace {

struct eye_colours {
  int lr, lg, lb, rr, rg, rb;
};

// Modes 1..4: "M\G", "R\G", "R\C", "R\B"
const eye_colours kEyeColours[5] = {
    {0, 0, 0, 0, 0, 0},
    {140, 4, 40, 4, 100, 20},
    {4, 100, 20, 140, 4, 10},
    {4, 80, 60, 140, 4, 10},
    {4, 20, 140, 140, 4, 20},
};

// What the load found in each file: one that exists but could not be read is never
// replaced at exit, since it may well hold a value the player cares about.
struct stored_file {
  int which;       // SAVE_BEST_SCORE or SAVE_STEREO_MODE
  int unreadable;  // the file read at start-up is the one saved at exit, and could not be read
  std::string why;
};

stored_file best_file{SAVE_BEST_SCORE, 0, ""};
stored_file mode_file{SAVE_STEREO_MODE, 0, ""};
int folder_reported = 0;  // both files fail together when the folder can't be had: one line

// Little-endian; a short file's missing high bytes are 0.
int IntFromBytes(const std::string& bytes) {
  uint32_t v = 0;
  for (size_t i = 0; i < bytes.size() && i < 4; i++) v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[i])) << (8 * i);
  return static_cast<int32_t>(v);
}

std::string BytesOfInt(int value) {
  uint32_t v = static_cast<uint32_t>(value);
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

// FILE_READ with the stored integer in *value; otherwise *value is left alone.
int ReadStoredInt(stored_file* f, int* value) {
  std::string path = LoadFilePath(f->which);
  TFileRead r = ReadSmallFile(path, 4);
  folder_reported = 0;
  f->unreadable = r.status == FILE_UNREADABLE && path == SaveFilePath(f->which);
  f->why = r.why;
  if (r.status == FILE_READ) *value = IntFromBytes(r.bytes);
  return r.status;
}

int ReportKept(const std::string& path, const std::string& why) {
  std::fprintf(stderr, "Kelvane: left %s as it was: it could not be read (%s)\n", ShownPath(path).c_str(), why.c_str());
  return 0;
}

int ReportUnsaved(const std::string& path, const std::string& why) {
  std::fprintf(stderr, "Kelvane: could not save %s: %s\n", ShownPath(path).c_str(), why.c_str());
  return 0;
}

int ReportNoFolder(const std::string& why) {
  if (!folder_reported)
    std::fprintf(stderr, "Kelvane: could not save %s or %s: %s\n", ShownPath(SaveFilePath(SAVE_BEST_SCORE)).c_str(),
                 ShownPath(SaveFilePath(SAVE_STEREO_MODE)).c_str(), why.c_str());
  folder_reported = 1;
  return 0;
}

int WriteStoredInt(stored_file* f, const TFileCompose& compose) {
  std::string path = SaveFilePath(f->which), why;
  if (f->unreadable) return ReportKept(path, f->why);
  if (!MakeSaveFolder(&why)) return ReportNoFolder(why);
  int done = ReplaceFile(path, compose, &why);
  if (done == FILE_UNREADABLE) return ReportKept(path, why);
  return done ? 1 : ReportUnsaved(path, why);
}

// Two copies of the game in one folder: the higher best score stands, whichever exits last.
std::string HigherBestScore(const TFileRead& now) {
  int stored = now.status == FILE_READ ? IntFromBytes(now.bytes) : player.best_sc;
  return BytesOfInt(std::max(stored, player.best_sc));
}

std::string CurrentStereoMode(const TFileRead&) { return BytesOfInt(stereo_mode); }

int SetEyeColours() {
  if (stereo_mode < 1 || stereo_mode > 4) return 0;  // mode 0 keeps the colours set before
  const eye_colours& c = kEyeColours[stereo_mode];
  twdraw.slc(c.lr, c.lg, c.lb, c.rr, c.rg, c.rb);
  return 0;
}

}  // namespace

int BestScoreFile(int save) {
  if (save) {
    WriteStoredInt(&best_file, HigherBestScore);
    return 0;
  }
  player.best_sc = 0;
  ReadStoredInt(&best_file, &player.best_sc);
  return 0;
}

int StereoModeFile(int mode) {
  int stored = 0;
  if (mode == 1 && ReadStoredInt(&mode_file, &stored) == FILE_READ) {
    // NOTE: a damaged file must never reach the mode-name table or the colour table.
    stereo_mode = stored >= 0 && stored <= 4 ? stored : 0;
  } else if (mode == 2) {
    WriteStoredInt(&mode_file, CurrentStereoMode);
  }
  SetEyeColours();
  return 0;
}
