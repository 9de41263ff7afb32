// splash: the maker's logo fading in and out before the title menu.
#pragma once

int ShowSplash(int y_offset);
