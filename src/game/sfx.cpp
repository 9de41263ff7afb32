// sfx: starting effects and the music, and emptying the entity lists.
#include "game/explode.h"
#include "game/globals.h"
#include "game/pshot.h"
#include "game/stage.h"
#include "game/virus.h"

int PlaySfx(const std::shared_ptr<TSound>& sound) {
  if (!sound) return 0;  // a sound that failed to load plays as silence
  std::shared_ptr<TChannel> channel = sound->Cue(nullptr);
  if (!channel) return 0;
  channel->SetVolume(sfx_volume);
  channel->SetPaused(0);
  return 0;
}

// Decoded on first use and kept: decoding the whole track again stalled the first frame
// of every stage for a tenth of a second or more, and each copy cost 10 MB until freed.
// A track that failed is not tried again: reading and rejecting it cost seconds per stage.
static std::shared_ptr<TSound> music_track;
static int music_tried = 0;

int StartMusic(int which) {
  (void)which;  // the stage music is the only track
  if (!music_tried) music_track = TSound::Load("data\\virus.ogg", SOUND_LOOP);
  music_tried = 1;
  std::shared_ptr<TSound> music = music_track;
  if (!music) return 0;
  std::shared_ptr<TChannel> channel = music->Cue(nullptr);
  if (!channel) return 0;
  music_channel = channel;
  music_channel->SetVolume(music_volume);
  music_channel->SetPaused(0);
  return 0;
}

int ClearEntities() {
  pshot_tag::destroy_all();
  virus_tag::destroy_all();
  explode_tag::destroy_all();
  return 0;
}
