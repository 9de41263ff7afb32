#include "art/art.h"
Image8 DrawTitleLogo() { return Image8(458, 122); }
Image8 DrawFireWall() { return Image8(525, 461); }
Image8 DrawTeamLogo() { return Image8(420, 236); }
