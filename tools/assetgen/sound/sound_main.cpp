// Builds the sound effects and the stage music in data/.
#include <cmath>
#include <cstdio>
#include <string>

#include "sound/resample.h"
#include "sound/sounds.h"

// A bar at 140 beats a minute is 12/7 s: a whole number of samples at this rate too.
constexpr int kMusicRate = 31500;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: assetgen_sound DATA_DIR [effects|music]\n");
    return 2;
  }
  std::string dir = argv[1], only = argc > 2 ? argv[2] : "";
  // Effects peak near -6 dBFS: two at once stay under the mixer's limiter, and over the
  // music they are heard without burying it. The plasma, fired many times a second, lower.
  if (only != "music") {
    WriteOgg(dir + "/plasma.ogg", MakePlasma(), 0.4f, -8.5f);
    WriteOgg(dir + "/firewall.ogg", MakeFireWall(), 0.4f, -6.f);
    WriteOgg(dir + "/explode.ogg", MakeExplode(), 0.4f, -6.5f);
    WriteOgg(dir + "/powerup.ogg", MakePowerUp(), 0.4f, -6.f);
    WriteOgg(dir + "/stageclear.ogg", MakeStageClear(), 0.4f, -6.f);
    WriteOgg(dir + "/gamestart.ogg", MakeGameStart(), 0.4f, -6.f);
  }
  // The game decodes the music whole: at 31500 Hz it holds 3 MB less than at 44100, and the
  // encoder already drops most of what lies above the lower rate's 15.75 kHz.
  if (only != "effects") {
    Pcm heard = WriteOgg(dir + "/virus.ogg", ResampleLoop(MakeMusic(), kMusicRate), 0.2f, -8.3f);
    size_t n = heard.frames();
    float jump = 0;
    for (int c = 0; c < heard.channels; c++)
      jump = std::fmax(jump, std::fabs(heard.s[(n - 1) * heard.channels + c] - heard.s[c]));
    std::printf("music loop: %zu frames (%.4f bars), seam step %.4f\n", n, n / (kMusicRate * 12.0 / 7.0), jump);
  }
  return 0;
}
