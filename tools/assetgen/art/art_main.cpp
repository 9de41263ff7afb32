// Builds the game's pictures: the sprite sheet, the backdrop tile, the fire wall, the pointer and the makers' logo.
#include <cstdio>
#include <string>

#include "art/art.h"

namespace {

bool Save(const std::string& dir, const char* name, const Image8& img) {
  std::string path = dir + "/" + name;
  if (!WritePng(path, img)) return false;
  FILE* f = std::fopen(path.c_str(), "rb");
  std::fseek(f, 0, SEEK_END);
  std::printf("%s: %dx%d, %ld bytes\n", path.c_str(), img.w, img.h, std::ftell(f));
  std::fclose(f);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: assetgen_art ASSET_DIR DOCS_DIR\n");
    return 2;
  }
  std::string assets = argv[1], docs = argv[2];
  Image8 sheet = BuildSheet();
  bool ok = Save(assets, "kelvane_sf01.png", sheet) && Save(docs, "sheet.png", Enlarge(sheet, 2)) &&
            Save(assets, "kelvane_sf02.png", DrawBoard(0x5eed02u, true)) &&
            Save(assets, "kelvane_sf03.png", DrawFireWall()) && Save(assets, "dmpointer.png", DrawPointer()) &&
            Save(assets, "twlogo.png", DrawTeamLogo()) && WriteIcons(assets + "/icons");
  return ok ? 0 : 1;
}
