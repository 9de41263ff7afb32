// assets: the font, the sprites cut from the sheet, and the sounds.
#pragma once

void CreateBlankImages();  // the blank images start-up makes before loading
int LoadAssets();
