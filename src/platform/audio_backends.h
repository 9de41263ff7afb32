// audio_backends: the back-ends the sound module registers, and test hooks for the mixer's output.
#pragma once
#include <memory>
#include <string>

#include "platform/sound.h"

// softmix.cpp
std::unique_ptr<TAudioDriver> NewSoftMixDriver(const std::string& name);  // the mixer over SDL's output
void HoldSoftMixOutput(int hold);  // 1: SDL stops calling the mixer, so a test can mix by hand; 0 resumes
int SoftMixBufferFrames();         // frames per buffer of the open output, 0 when none is open

// sound.cpp
std::unique_ptr<TAudioDriver> NewNullDriver();  // accepts everything, plays nothing
