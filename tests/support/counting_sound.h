// counting_sound: a sound that only counts how often it was started; a play gets no channel back.
#pragma once
#include <memory>

#include "platform/sound.h"

struct CountingSound : TSound {
  int cues = 0;
  std::shared_ptr<TChannel> Play(std::shared_ptr<TChannel>) override {
    cues++;
    return nullptr;
  }
  std::shared_ptr<TChannel> Cue(std::shared_ptr<TChannel>) override {
    cues++;
    return nullptr;
  }
};
