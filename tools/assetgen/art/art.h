// The game's pictures, each drawn into an image of its final size.
#pragma once
#include <string>

#include "common/png_out.h"

constexpr float kFlightAngle = 43.15f;  // shots fly 8 across and 7.5 up per frame

Image8 DrawShip(int bank, int flicker, float scale, int w, int h);  // bank -1 up-left, 0 level, 1 down-right
Image8 DrawVirus(int phase);                                        // 54x33, two animation phases
Image8 DrawBit(int which);                                          // 30x20: shot, two sparks, debris, flame icon
Image8 DrawBoard(unsigned seed, bool dark);                         // 320x213 circuit-board tile
Image8 DrawHeatSink();                                              // 130x62 CPU cooler with fan
Image8 DrawTitleLogo();                                             // 458x122 "KELVANE"
Image8 DrawFireWall();                                              // 525x461 diagonal wall of flames
Image8 DrawPointer();                                               // 18x18 menu arrow
Image8 DrawTeamLogo();                                              // 420x236 makers' mark
Image8 BuildSheet();                                                // 596x403 sprite sheet
bool WriteIcons(const std::string& dir);                            // kelvane_16.png .. kelvane_256.png, RGBA
