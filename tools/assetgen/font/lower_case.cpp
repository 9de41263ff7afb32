// The lower case: six rows to the x-height, ascenders two rows above it and descenders one
// below the baseline, their bowls lifted a row so the tails still read.
#include "font/alphabet.h"

const std::vector<GlyphSheet>& LowerCaseSheets() {
  static const std::vector<GlyphSheet> sheets = {
      {"abcdefgh",
       {"........ XX...... ........ ......XX ........ ...XXXX ........ XX......",
        "........ XX...... ........ ......XX ........ ..XX... ........ XX......",
        ".XXXXXX. XXXXXXX. .XXXXXX. .XXXXXXX .XXXXXX. XXXXXX. .XXXXXXX XXXXXXX.",
        "......XX XX....XX XX....XX XX....XX XX....XX ..XX... XX....XX XX....XX",
        ".XXXXXXX XX....XX XX...... XX....XX XX....XX ..XX... XX....XX XX....XX",
        "XX....XX XX....XX XX...... XX....XX XXXXXXXX ..XX... XX....XX XX....XX",
        "XX....XX XX....XX XX....XX XX....XX XX...... ..XX... .XXXXXXX XX....XX",
        ".XXXXXXX XXXXXXX. .XXXXXX. .XXXXXXX .XXXXXX. ..XX... ......XX XX....XX",  // baseline
        "........ ........ ........ ........ ........ ....... .XXXXXX. ........"}},
      {"ijklmnop",
       {"..XX.. ....XX XX...... XXXX.. .......... ........ ........ ........",
        "...... ...... XX...... ..XX.. .......... ........ ........ ........",
        "XXXX.. ..XXXX XX...XX. ..XX.. XXXXXXXXX. XXXXXXX. .XXXXXX. XXXXXXX.",
        "..XX.. ....XX XX..XX.. ..XX.. XX..XX..XX XX....XX XX....XX XX....XX",
        "..XX.. ....XX XXXXX... ..XX.. XX..XX..XX XX....XX XX....XX XX....XX",
        "..XX.. ....XX XX.XX... ..XX.. XX..XX..XX XX....XX XX....XX XX....XX",
        "..XX.. ....XX XX..XX.. ..XX.. XX..XX..XX XX....XX XX....XX XXXXXXX.",
        "XXXXXX XX..XX XX...XX. XXXXXX XX..XX..XX XX....XX .XXXXXX. XX......",  // baseline
        "...... .XXXX. ........ ...... .......... ........ ........ XX......"}},
      {"qrstuvwx",
       {"........ ........ ........ ..XX.. ........ ........ .......... ........",
        "........ ........ ........ ..XX.. ........ ........ .......... ........",
        ".XXXXXXX XX.XXXX. .XXXXXXX XXXXXX XX....XX XX....XX XX......XX XX....XX",
        "XX....XX XXXX..XX XX...... ..XX.. XX....XX XX....XX XX......XX .XX..XX.",
        "XX....XX XXX..... .XXXXXX. ..XX.. XX....XX XX....XX XX..XX..XX ..XXXX..",
        "XX....XX XX...... ......XX ..XX.. XX....XX .XX..XX. XX..XX..XX ..XXXX..",
        ".XXXXXXX XX...... ......XX ..XX.. XX....XX ..XXXX.. XX..XX..XX .XX..XX.",
        "......XX XX...... XXXXXXX. ...XXX .XXXXXXX ...XX... .XXX..XXX. XX....XX",  // baseline
        "......XX ........ ........ ...... ........ ........ .......... ........"}},
      {"yz",
       {"........ ........",
        "........ ........",
        "XX....XX XXXXXXXX",
        "XX....XX .....XX.",
        "XX....XX ....XX..",
        "XX....XX ...XX...",
        ".XXXXXXX ..XX....",
        "......XX XXXXXXXX",  // baseline
        ".XXXXXX. ........"}},
  };
  return sheets;
}
