// sfx: starting a sound effect.
#include "game/sfx.h"
#include "game/globals.h"

int PlaySfx(const std::shared_ptr<TSound>& sound) {
  if (!sound) return 0;  // a sound that failed to load plays as silence
  std::shared_ptr<TChannel> channel = sound->Cue(nullptr);
  if (!channel) return 0;
  channel->SetVolume(sfx_volume);
  channel->SetPaused(0);
  return 0;
}
