// datafiles: the best score and the stereo mode, kept between runs in two 4-byte files.
#pragma once

int BestScoreFile(int save);   // 0 loads, non-zero saves
int StereoModeFile(int mode);  // 1 loads, 2 saves, 0 no file; then sets the eye colours
