// sfx: the sound effects, played once at the effects volume.
#pragma once
#include <memory>
#include "platform/sound.h"

int PlaySfx(const std::shared_ptr<TSound>& sound);  // a sound that failed to load plays as silence
