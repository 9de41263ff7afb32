// Changing the sample rate of a looping sound without a seam.
#pragma once
#include "sound/ogg_out.h"

// The loop at `rate`, band-limited below the new Nyquist frequency; the loop's length in
// seconds must be a whole number of samples at both rates. Samples past the ends wrap round,
// so the result loops as seamlessly as the input.
Pcm ResampleLoop(const Pcm& in, int rate);
