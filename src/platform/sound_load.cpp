// sound_load: sounds loaded by stream name, through each sample loader in turn.
#include "platform/sound.h"
#include "platform/stream.h"

#include <utility>

static std::shared_ptr<TAudioSample> DecodeSample(const std::string& bytes) {
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  return DecodeOggVorbis(data, bytes.size());  // the only loader the game needs
}

std::shared_ptr<TSound> TSound::Load(const std::string& source, int flags) {
  int ok = 0;
  std::string bytes = ReadWholeStream(source, &ok);
  if (!ok) return nullptr;
  std::shared_ptr<TAudioSample> sample = DecodeSample(bytes);
  bytes = std::string();  // the compressed file is not needed beside the decoded track
  if (!sample) return nullptr;
  return CurrentAudioDriver()->CreateSound(std::move(*sample), flags);
}
