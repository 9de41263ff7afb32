// sound_load: sounds loaded by stream name, through each sample loader in turn.
#include <new>
#include <utility>

#include "platform/sound.h"
#include "platform/stream.h"

// Far above any sound the game ships; a larger file is refused before a byte of it is read.
static const int64_t kMaxSoundFileBytes = int64_t(64) << 20;

static std::shared_ptr<TAudioSample> DecodeSample(const std::string& bytes) {
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  return DecodeOggVorbis(data, bytes.size());  // the only loader the game needs
}

static std::shared_ptr<TSound> LoadSound(const std::string& source, int flags) {
  int ok = 0;
  std::string bytes = ReadWholeStream(source, &ok, kMaxSoundFileBytes);
  if (!ok) return nullptr;
  std::shared_ptr<TAudioSample> sample = DecodeSample(bytes);
  bytes = std::string();  // the compressed file is not needed beside the decoded track
  if (!sample) return nullptr;
  return CurrentAudioDriver()->CreateSound(std::move(*sample), flags);
}

// A sound that does not fit in memory is silent, like any other that can't be had.
std::shared_ptr<TSound> TSound::Load(const std::string& source, int flags) {
  try {
    return LoadSound(source, flags);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
