// The lower case: six rows to the x-height, two below the baseline for descenders.
#include "font/alphabet.h"

const std::vector<GlyphSheet>& LowerCaseSheets() {
  static const std::vector<GlyphSheet> sheets = {
      {"abcdefgh",
       {"........ XX...... ........ ......XX ........ ...XXXX ........ XX......",
        "........ XX...... ........ ......XX ........ ..XX... ........ XX......",
        "........ XX...... ........ ......XX ........ ..XX... ........ XX......",
        ".XXXXXX. XXXXXXX. .XXXXXX. .XXXXXXX .XXXXXX. XXXXXX. .XXXXXXX XXXXXXX.",
        "......XX XX....XX XX....XX XX....XX XX....XX ..XX... XX....XX XX....XX",
        ".XXXXXXX XX....XX XX...... XX....XX XX....XX ..XX... XX....XX XX....XX",
        "XX....XX XX....XX XX...... XX....XX XXXXXXXX ..XX... XX....XX XX....XX",
        "XX....XX XX....XX XX....XX XX....XX XX...... ..XX... XX....XX XX....XX",
        ".XXXXXXX XXXXXXX. .XXXXXX. .XXXXXXX .XXXXXX. ..XX... .XXXXXXX XX....XX",  // baseline
        "........ ........ ........ ........ ........ ....... ......XX ........",
        "........ ........ ........ ........ ........ ....... .XXXXXX. ........"}},
      {"ijklmnop",
       {"...... ...... XX...... XXXX.. .......... ........ ........ ........",
        "..XX.. ....XX XX...... ..XX.. .......... ........ ........ ........",
        "...... ...... XX...... ..XX.. .......... ........ ........ ........",
        "XXXX.. ..XXXX XX...XX. ..XX.. XXXXXXXXX. XXXXXXX. .XXXXXX. XXXXXXX.",
        "..XX.. ....XX XX..XX.. ..XX.. XX..XX..XX XX....XX XX....XX XX....XX",
        "..XX.. ....XX XXXXX... ..XX.. XX..XX..XX XX....XX XX....XX XX....XX",
        "..XX.. ....XX XX.XX... ..XX.. XX..XX..XX XX....XX XX....XX XX....XX",
        "..XX.. ....XX XX..XX.. ..XX.. XX..XX..XX XX....XX XX....XX XX....XX",
        "XXXXXX ....XX XX...XX. XXXXXX XX..XX..XX XX....XX .XXXXXX. XXXXXXX.",  // baseline
        "...... XX..XX ........ ...... .......... ........ ........ XX......",
        "...... .XXXX. ........ ...... .......... ........ ........ XX......"}},
      {"qrstuvwx",
       {"........ ........ ........ ...... ........ ........ .......... ........",
        "........ ........ ........ ..XX.. ........ ........ .......... ........",
        "........ ........ ........ ..XX.. ........ ........ .......... ........",
        ".XXXXXXX XX.XXXX. .XXXXXXX XXXXXX XX....XX XX....XX XX......XX XX....XX",
        "XX....XX XXXX..XX XX...... ..XX.. XX....XX XX....XX XX......XX .XX..XX.",
        "XX....XX XXX..... .XXXXXX. ..XX.. XX....XX XX....XX XX..XX..XX ..XXXX..",
        "XX....XX XX...... ......XX ..XX.. XX....XX .XX..XX. XX..XX..XX ..XXXX..",
        "XX....XX XX...... ......XX ..XX.. XX....XX ..XXXX.. XX..XX..XX .XX..XX.",
        ".XXXXXXX XX...... XXXXXXX. ...XXX .XXXXXXX ...XX... .XXX..XXX. XX....XX",  // baseline
        "......XX ........ ........ ...... ........ ........ .......... ........",
        "......XX ........ ........ ...... ........ ........ .......... ........"}},
      {"yz",
       {"........ ........",
        "........ ........",
        "........ ........",
        "XX....XX XXXXXXXX",
        "XX....XX .....XX.",
        "XX....XX ....XX..",
        "XX....XX ...XX...",
        "XX....XX ..XX....",
        ".XXXXXXX XXXXXXXX",  // baseline
        "......XX ........",
        ".XXXXXX. ........"}},
  };
  return sheets;
}
