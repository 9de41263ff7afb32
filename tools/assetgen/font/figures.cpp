// Digits, all eight columns wide so numbers line up, then the space and the signs.
#include "font/alphabet.h"

const std::vector<GlyphSheet>& FigureSheets() {
  static const std::vector<GlyphSheet> sheets = {
      {"01234567",
       {".XXXXXX. ...XX... .XXXXXX. .XXXXXX. ....XXX. XXXXXXXX ..XXXXX. XXXXXXXX",
        "XX...XXX ..XXX... XX....XX XX....XX ...XXXX. XX...... .XX..... ......XX",
        "XX..XXXX .XXXX... ......XX ......XX ..XX.XX. XXXXXXX. XX...... .....XX.",
        "XX.XX.XX ...XX... .....XX. ...XXXX. .XX..XX. ......XX XXXXXXX. ....XX..",
        "XXXX..XX ...XX... ...XXX.. ......XX XX...XX. ......XX XX....XX ...XX...",
        "XXX...XX ...XX... .XXX.... ......XX XXXXXXXX ......XX XX....XX ...XX...",
        "XX....XX ...XX... XX...... XX....XX .....XX. XX....XX XX....XX ...XX...",
        ".XXXXXX. .XXXXXX. XXXXXXXX .XXXXXX. .....XX. .XXXXXX. .XXXXXX. ...XX...",  // baseline
        "........ ........ ........ ........ ........ ........ ........ ........"}},
      {"89",
       {".XXXXXX. .XXXXXX.",
        "XX....XX XX....XX",
        "XX....XX XX....XX",
        ".XXXXXX. .XXXXXXX",
        "XX....XX ......XX",
        "XX....XX ......XX",
        "XX....XX .....XX.",
        ".XXXXXX. .XXXXX..",  // baseline
        "........ ........"}},
      {" !\"#$%&'",
       {".... XX XX..XX .XX..XX. ...XX... XX...... .XXXX... XX",
        ".... XX XX..XX .XX..XX. .XXXXXXX XX....XX XX..XX.. XX",
        ".... XX ...... XXXXXXXX XX.XX... .....XX. .XXXX... ..",
        ".... XX ...... .XX..XX. .XXXXXX. ....XX.. .XXX..XX ..",
        ".... XX ...... .XX..XX. ...XX.XX ...XX... XX.XX.XX ..",
        ".... .. ...... XXXXXXXX ...XX.XX ..XX.... XX..XXX. ..",
        ".... XX ...... .XX..XX. XXXXXXX. .XX...XX XX...XX. ..",
        ".... XX ...... .XX..XX. ...XX... XX....XX .XXXX.XX ..",  // baseline
        ".... .. ...... ........ ........ ........ ........ .."}},
      {"()*+,-./",
       {"..XX XX.. ........ ........ ... ...... .. ......XX",
        ".XX. .XX. .XX..XX. ...XX... ... ...... .. .....XX.",
        "XX.. ..XX ..XXXX.. ...XX... ... ...... .. ....XX..",
        "XX.. ..XX XXXXXXXX XXXXXXXX ... XXXXXX .. ...XX...",
        "XX.. ..XX ..XXXX.. ...XX... ... ...... .. ..XX....",
        "XX.. ..XX .XX..XX. ...XX... ... ...... .. .XX.....",
        ".XX. .XX. ........ ........ .XX ...... XX XX......",
        "..XX XX.. ........ ........ .XX ...... XX XX......",  // baseline
        ".... .... ........ ........ XX. ...... .. ........"}},
      {":;<=>?@[",
       {".. ... ...XX ........ XX... .XXXXXX. .XXXXXX. XXXX",
        ".. ... ..XX. ........ .XX.. XX....XX XX....XX XX..",
        "XX .XX .XX.. XXXXXXXX ..XX. ......XX XX.XXXXX XX..",
        "XX .XX XX... ........ ...XX .....XX. XX.XX.XX XX..",
        ".. ... .XX.. ........ ..XX. ....XX.. XX.XXXX. XX..",
        ".. ... ..XX. XXXXXXXX .XX.. ...XX... XX...... XX..",
        "XX .XX ...XX ........ XX... ........ XX....XX XX..",
        "XX .XX ..... ........ ..... ...XX... .XXXXXX. XXXX",  // baseline
        ".. XX. ..... ........ ..... ........ ........ ...."}},
      {"\\]^_`{|}~",
       {"XX...... XXXX ...XX... ........ XX. ..XXX XX XXX.. ........",
        ".XX..... ..XX ..XXXX.. ........ .XX .XX.. XX ..XX. ........",
        "..XX.... ..XX .XX..XX. ........ ... .XX.. XX ..XX. .XXX..XX",
        "...XX... ..XX XX....XX ........ ... XX... XX ...XX XX..XXX.",
        "....XX.. ..XX ........ ........ ... .XX.. XX ..XX. ........",
        ".....XX. ..XX ........ ........ ... .XX.. XX ..XX. ........",
        "......XX ..XX ........ ........ ... .XX.. XX ..XX. ........",
        "......XX XXXX ........ ........ ... ..XXX XX XXX.. ........",  // baseline
        "........ .... ........ XXXXXXXX ... ..... XX ..... ........"}},
  };
  return sheets;
}
