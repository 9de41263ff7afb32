// embedded_files: the assembler copies each asset into the program image at build time.
#include "app/embedded_files.h"
#include <cstdint>
#include "platform/stream.h"

#define KELVANE_INCBIN(sym, file)                                          \
  __asm__(".section .rodata\n.global " #sym "_data\n.balign 16\n" #sym   \
          "_data:\n.incbin \"" KELVANE_ASSET_DIR "/" file "\"\n.global " #sym \
          "_end\n" #sym "_end:\n.byte 0\n.previous\n");                    \
  extern "C" const uint8_t sym##_data[];                                   \
  extern "C" const uint8_t sym##_end[];

KELVANE_INCBIN(twlogo_png, "twlogo.png")
KELVANE_INCBIN(joystix_ttf, "joystix.ttf")
KELVANE_INCBIN(dmpointer_png, "dmpointer.png")
KELVANE_INCBIN(sf01_png, "kelvane_sf01.png")
KELVANE_INCBIN(sf02_png, "kelvane_sf02.png")
KELVANE_INCBIN(sf03_png, "kelvane_sf03.png")
KELVANE_INCBIN(icon_png, "icons/kelvane_64.png")

#define KELVANE_REGISTER(sym, file) RegisterEmbeddedFile(file, sym##_data, sym##_end - sym##_data)

void RegisterGameFiles() {
  KELVANE_REGISTER(twlogo_png, "twlogo.png");
  KELVANE_REGISTER(joystix_ttf, "joystix.ttf");
  KELVANE_REGISTER(dmpointer_png, "dmpointer.png");
  KELVANE_REGISTER(sf01_png, "kelvane_sf01.png");
  KELVANE_REGISTER(sf02_png, "kelvane_sf02.png");
  KELVANE_REGISTER(sf03_png, "kelvane_sf03.png");
  KELVANE_REGISTER(icon_png, "kelvane_icon.png");
}
