// assets: the font, the sprites cut from the sheet, the sounds, and the maker's splash.
#pragma once

void CreateBlankImages();  // the blank images start-up makes before loading
int LoadAssets();
int ShowSplash(int y_offset);
