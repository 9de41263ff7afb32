// datafiles: the best score and the stereo mode, each one 4-byte little-endian integer.
// Reading never fails the game: anything unreadable falls back to 0. Writing goes through
// a temporary file renamed over the old one, so an interrupted exit leaves the old value.
#include "app/datafiles.h"
#include <cstdio>
#include <filesystem>
#include <string>
#include "app/datapaths.h"
#include "game/player.h"
#include "platform/stream.h"
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

// The stored integer, or 0 when the file can't be opened or read.
int ReadStoredInt(const std::string& path) {
  std::shared_ptr<TStream> stream = OpenReadStream(path);
  if (!stream) return 0;
  int value = 0;
  try {
    value = stream->ReadInt();
  } catch (const TStreamError&) {
    value = 0;
  }
  stream->Close();
  return value;
}

// Read back before it replaces the old file: a full disk shows only when the bytes
// leave the buffer, and the stream's close can't say so.
int HoldsExactly(const std::string& path, int value) {
  std::shared_ptr<TStream> stream = OpenReadStream(path);
  if (!stream) return 0;
  int same = 0;
  try {
    same = stream->Size() == 4 && stream->ReadInt() == value;
  } catch (const TStreamError&) {
    same = 0;
  }
  stream->Close();
  return same;
}

int ReportUnsaved(const std::string& path) {
  std::fprintf(stderr, "Kelvane: could not save %s\n", ShownPath(path).c_str());
  return 0;
}

// Both files fail together when the folder itself can't be had; the player hears of it once.
int ReportNoFolder() {
  static int reported = 0;
  if (!reported)
    std::fprintf(stderr, "Kelvane: could not save %s or %s: %s is not a folder\n",
                 ShownPath(SaveFilePath(SAVE_BEST_SCORE)).c_str(), ShownPath(SaveFilePath(SAVE_STEREO_MODE)).c_str(),
                 ShownPath(SaveFolder()).c_str());
  reported = 1;
  return 0;
}

// Writes the value beside the old file, then renames it over the old one.
int WriteStoredInt(const std::string& path, int value) {
  if (!MakeSaveFolder()) return ReportNoFolder();
  std::string temp = std::string(path) + ".tmp";
  std::shared_ptr<TStream> stream = OpenWriteStream(temp);
  if (!stream) return ReportUnsaved(path);
  int written = 1;
  try {
    stream->WriteInt(value);
  } catch (const TStreamError&) {
    written = 0;
  }
  stream->Close();
  if (!written || !HoldsExactly(temp, value) || !RenameFile(temp, path)) {
    std::error_code ignored;
    std::filesystem::remove(ResolvePath(temp), ignored);
    return ReportUnsaved(path);
  }
  return 1;
}

int SetEyeColours() {
  if (stereo_mode < 1 || stereo_mode > 4) return 0;  // mode 0 keeps the colours set before
  const eye_colours& c = kEyeColours[stereo_mode];
  twdraw.slc(c.lr, c.lg, c.lb, c.rr, c.rg, c.rb);
  return 0;
}

}  // namespace

int BestScoreFile(int save) {
  if (save) {
    WriteStoredInt(SaveFilePath(SAVE_BEST_SCORE), player.best_sc);
    return 0;
  }
  player.best_sc = 0;
  std::string path = LoadFilePath(SAVE_BEST_SCORE);
  if (GetFileKind(path) == 1) player.best_sc = ReadStoredInt(path);
  return 0;
}

int StereoModeFile(int mode) {
  std::string path = LoadFilePath(SAVE_STEREO_MODE);
  if (mode == 1 && GetFileKind(path) == 1) {
    stereo_mode = ReadStoredInt(path);
    // NOTE: a damaged file must never reach the mode-name table or the colour table.
    if (stereo_mode < 0 || stereo_mode > 4) stereo_mode = 0;
  } else if (mode == 2) {
    WriteStoredInt(SaveFilePath(SAVE_STEREO_MODE), stereo_mode);
  }
  SetEyeColours();
  return 0;
}
