// The capitals: eight rows tall, strokes two columns wide.
#include "font/alphabet.h"

const std::vector<GlyphSheet>& CapitalSheets() {
  static const std::vector<GlyphSheet> sheets = {
      {"ABCDEFGH",
       {"...XX... XXXXXXX. .XXXXXX. XXXXXX.. XXXXXXXX XXXXXXXX .XXXXXX. XX....XX",
        "..XXXX.. XX....XX XX....XX XX...XX. XX...... XX...... XX....XX XX....XX",
        ".XX..XX. XX....XX XX...... XX....XX XX...... XX...... XX...... XX....XX",
        "XX....XX XXXXXXX. XX...... XX....XX XXXXXXX. XXXXXXX. XX..XXXX XXXXXXXX",
        "XXXXXXXX XX....XX XX...... XX....XX XX...... XX...... XX....XX XX....XX",
        "XX....XX XX....XX XX...... XX....XX XX...... XX...... XX....XX XX....XX",
        "XX....XX XX....XX XX....XX XX...XX. XX...... XX...... XX....XX XX....XX",
        "XX....XX XXXXXXX. .XXXXXX. XXXXXX.. XXXXXXXX XX...... .XXXXXXX XX....XX",  // baseline
        "........ ........ ........ ........ ........ ........ ........ ........"}},
      {"IJKLMNOP",
       {"XXXXXX ..XXXXXX XX....XX XX...... XX......XX XX....XX .XXXXXX. XXXXXXX.",
        "..XX.. ......XX XX...XX. XX...... XXX....XXX XXX...XX XX....XX XX....XX",
        "..XX.. ......XX XX..XX.. XX...... XXXX..XXXX XXXX..XX XX....XX XX....XX",
        "..XX.. ......XX XXXXX... XX...... XX.XXXX.XX XX.XX.XX XX....XX XXXXXXX.",
        "..XX.. ......XX XXXXX... XX...... XX..XX..XX XX..XXXX XX....XX XX......",
        "..XX.. XX....XX XX..XX.. XX...... XX......XX XX...XXX XX....XX XX......",
        "..XX.. XX....XX XX...XX. XX...... XX......XX XX....XX XX....XX XX......",
        "XXXXXX .XXXXXX. XX....XX XXXXXXXX XX......XX XX....XX .XXXXXX. XX......",  // baseline
        "...... ........ ........ ........ .......... ........ ........ ........"}},
      {"QRSTUVWX",
       {".XXXXXX. XXXXXXX. .XXXXXX. XXXXXXXX XX....XX XX....XX XX......XX XX....XX",
        "XX....XX XX....XX XX....XX ...XX... XX....XX XX....XX XX......XX XX....XX",
        "XX....XX XX....XX XX...... ...XX... XX....XX XX....XX XX......XX .XX..XX.",
        "XX....XX XXXXXXX. .XXXXXX. ...XX... XX....XX XX....XX XX..XX..XX ..XXXX..",
        "XX....XX XX.XX... ......XX ...XX... XX....XX .XX..XX. XX.XXXX.XX ..XXXX..",
        "XX.XX.XX XX..XX.. ......XX ...XX... XX....XX .XX..XX. XXXX..XXXX .XX..XX.",
        "XX..XXX. XX...XX. XX....XX ...XX... XX....XX ..XXXX.. XXX....XXX XX....XX",
        ".XXXX.XX XX....XX .XXXXXX. ...XX... .XXXXXX. ...XX... XX......XX XX....XX",  // baseline
        "........ ........ ........ ........ ........ ........ .......... ........"}},
      {"YZ",
       {"XX....XX XXXXXXXX",
        "XX....XX .....XX.",
        ".XX..XX. ....XX..",
        "..XXXX.. ...XX...",
        "...XX... ..XX....",
        "...XX... .XX.....",
        "...XX... XX......",
        "...XX... XXXXXXXX",  // baseline
        "........ ........"}},
  };
  return sheets;
}
