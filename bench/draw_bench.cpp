// Drawing and overlap costs at the game's heaviest: thousands of additive 30x20 sprites
// per frame, and pixel overlap between a shot's glow and a virus.
#include <benchmark/benchmark.h>
#include <GL/gl.h>
#include <cmath>
#include <cstdio>
#include "platform/display.h"
#include "platform/draw.h"
#include "platform/image.h"

namespace {

// A 30x20 glow: bright in the middle, fading to black (transparent) towards the edges.
std::shared_ptr<TImage> GlowImage() {
  auto p = TPixmap::Create(30, 20, PF_RGB888);
  for (int y = 0; y < 20; y++)
    for (int x = 0; x < 30; x++) {
      double dx = (x + 0.5 - 15) / 15, dy = (y + 0.5 - 10) / 10;
      int v = static_cast<int>(255 * std::fmax(0.0, 1 - std::sqrt(dx * dx + dy * dy)));
      uint8_t* px = p->PixelPtr(x, y);
      px[0] = static_cast<uint8_t>(v / 2), px[1] = static_cast<uint8_t>(v), px[2] = static_cast<uint8_t>(v);
    }
  auto image = TImage::Create(30, 20, 1, IMG_MASKED | IMG_DYNAMIC, 0, 0, 0);
  image->SetPixmap(0, p);
  CentreImageHandle(image);
  return image;
}

// A 54x33 virus: a round body with eight spikes, on black.
std::shared_ptr<TImage> SpikyImage() {
  auto p = TPixmap::Create(54, 33, PF_RGB888);
  for (int y = 0; y < 33; y++)
    for (int x = 0; x < 54; x++) {
      double dx = (x + 0.5 - 27) / 27, dy = (y + 0.5 - 16.5) / 16.5;
      double reach = 0.55 + 0.45 * std::pow(std::fabs(std::cos(4 * std::atan2(dy, dx))), 8);
      if (std::sqrt(dx * dx + dy * dy) < reach) p->PixelPtr(x, y)[0] = 220, p->PixelPtr(x, y)[1] = 40;
    }
  auto image = TImage::Create(54, 33, 1, IMG_MASKED | IMG_DYNAMIC, 0, 0, 0);
  image->SetPixmap(0, p);
  CentreImageHandle(image);
  return image;
}

void TenThousandAdditiveSprites(benchmark::State& state) {
  if (!OpenGraphics(640, 480, 0, 0, 0)) {
    state.SkipWithError("no display");
    return;
  }
  auto glow = GlowImage();
  for (auto _ : state) {
    ClearScreen();
    SetBlendMode(4);
    for (int i = 0; i < 10000; i++) {
      SetDrawColor(255, 128 + i % 128, 255);
      SetDrawAlpha(0.25f + (i % 4) * 0.25f);
      DrawImageFrame(glow, static_cast<float>((i * 37) % 640), static_cast<float>((i * 91) % 480), 0);
    }
    glFinish();
  }
  state.SetItemsProcessed(state.iterations() * 10000);
  state.SetLabel(GraphicsRendererName());
  CloseGraphics();
}
BENCHMARK(TenThousandAdditiveSprites)->Unit(benchmark::kMillisecond);

// Arg 0: boxes apart; 1: boxes meet but only transparent pixels touch; 2: solid pixels meet.
void GlowAgainstVirus(benchmark::State& state) {
  auto glow = GlowImage(), virus = SpikyImage();
  const int dx[] = {100, 38, 10}, dy[] = {0, 22, 0};
  int x = dx[state.range(0)], y = dy[state.range(0)], hit = 0;
  for (auto _ : state) {
    hit = ImagesOverlap(glow, 200 + x, 200 + y, 0, virus, 200, 200, 0);
    benchmark::DoNotOptimize(hit);
  }
  state.SetLabel(hit ? "overlap" : "apart");
}
BENCHMARK(GlowAgainstVirus)->Arg(0)->Arg(1)->Arg(2);

}  // namespace

BENCHMARK_MAIN();
