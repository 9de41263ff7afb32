// music: the stage music on the program's one music channel.
#include "game/music.h"
#include "game/globals.h"
#include "platform/sound.h"

// Decoded on first use and kept: decoding the whole track again stalled the first frame
// of every stage for a tenth of a second or more, and each copy cost 10 MB until freed.
// A track that failed is not tried again: reading and rejecting it cost seconds per stage.
static std::shared_ptr<TSound> music_track;
static int music_tried = 0;

int OpenMusicChannel() {
  music_channel = AllocChannel();
  return 0;
}

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

int StopMusic() {
  if (music_channel) music_channel->Stop();
  return 0;
}

int MusicPlaying() { return music_channel && music_channel->Playing(); }

int PauseMusic(int paused) {
  if (music_channel) music_channel->SetPaused(paused);
  return 0;
}

int ApplyMusicVolume() {
  if (music_channel) music_channel->SetVolume(music_volume);
  return 0;
}
