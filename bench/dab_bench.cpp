// Dabs on a 4096 x 4096 layer: round brushes of side 8, 32 and 128 with plain paint, with grit and
// texture, as a smudge brush (mix then dab, carried paint remixed) and with the Soft Light rule;
// beside them the libmypaint library's opaque round dab and its smudge step (colour pick, then
// dab) of the same diameter on its fixed tiled surface. Counters: dabs per second and megapixels
// of dab area (side^2) per second. Last, the undo commit of one dab's rectangle next to a
// whole-canvas commit.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "engine/undo_store.h"
#include "palmora/palmora.h"

#ifdef PALMORA_HAVE_LIBMYPAINT
extern "C" {
#include <mypaint-fixed-tiled-surface.h>
#include <mypaint-surface.h>
}
#endif

namespace {

constexpr int32_t kSide = 4096;

enum class Brush { kPlain, kGritTexture, kSmudge, kSoftLight };

void SetUpCanvas(int32_t size, Brush brush) {
  PMR_DeleteImage();
  PMR_CreateImage(nullptr, kSide, kSide, 128, 0);
  for (int32_t index = 0; index <= 3; ++index) {
    PMR_CreateLayer(index, kSide, kSide);
    PMR_SetLayerOptions(index, 1, 0, 100, "Normal");
  }
  PMR_SetLayer(2);
  PMR_SetSize(size);
  PMR_SetAlpha(100);
  switch (brush) {
    case Brush::kPlain:
      PMR_SetTool(1.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
      break;
    case Brush::kGritTexture:
      PMR_SetLayerOptions(3, 1, 0, 100, "Texturize3");
      PMR_CreateTexture(1);
      PMR_SetTool(1.0f, 2, 160, 200, 0, 0, 4, 0, 0, 0, 0, 0, 0, "", "", 0);
      PMR_SetDensity(200);
      break;
    case Brush::kSmudge:
      PMR_SetTool(1.0f, 0, 0, 0, 0, 0, 0, 200, 0, 1, 0, 0, 0, "", "", 0);
      PMR_CopyBlendBufferSurface(kSide / 2, kSide / 2, 0, 0);
      break;
    case Brush::kSoftLight:
      PMR_SetTool(1.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
      PMR_SetMixMode(42, 160);
      break;
  }
}

// Dab centres walk over the canvas in small steps, as a stroke does.
struct Walk {
  int32_t x = 200, y = 200;
  void Step(int32_t size) {
    x += size / 4 + 1;
    if (x > kSide - 200) x = 200, y = y > kSide - 200 ? 200 : y + size / 2 + 1;
  }
};

void SetCounters(benchmark::State& state, int32_t size) {
  state.counters["dabs/s"] =
      benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["Mpix/s"] = benchmark::Counter(double(state.iterations()) * size * size / 1e6,
                                                benchmark::Counter::kIsRate);
}

void RunOurs(benchmark::State& state, Brush brush) {
  const int32_t size = int32_t(state.range(0));
  SetUpCanvas(size, brush);
  Walk walk;
  for (auto _ : state) {
    if (brush == Brush::kSmudge) PMR_MixBlendBufferSurface(walk.x, walk.y, 200);
    PMR_DrawDabGrit(walk.x, walk.y, 0x4000, 0x8000, 0xC000);
    walk.Step(size);
  }
  SetCounters(state, size);
  PMR_DeleteImage();
}

void BM_DabPlain(benchmark::State& state) { RunOurs(state, Brush::kPlain); }
void BM_DabGritTexture(benchmark::State& state) { RunOurs(state, Brush::kGritTexture); }
void BM_DabSmudge(benchmark::State& state) { RunOurs(state, Brush::kSmudge); }
void BM_DabSoftLight(benchmark::State& state) { RunOurs(state, Brush::kSoftLight); }
BENCHMARK(BM_DabPlain)->Arg(8)->Arg(32)->Arg(128);
BENCHMARK(BM_DabGritTexture)->Arg(8)->Arg(32)->Arg(128);
BENCHMARK(BM_DabSmudge)->Arg(8)->Arg(32)->Arg(128);
BENCHMARK(BM_DabSoftLight)->Arg(8)->Arg(32)->Arg(128);

#ifdef PALMORA_HAVE_LIBMYPAINT
// One opaque, hard round dab of the same diameter per iteration, rendered before the next.
void RunMypaint(benchmark::State& state, bool smudge) {
  const int32_t size = int32_t(state.range(0));
  MyPaintFixedTiledSurface* fixed = mypaint_fixed_tiled_surface_new(kSide, kSide);
  MyPaintSurface* surface = reinterpret_cast<MyPaintSurface*>(fixed);
  Walk walk;
  float r = 0.25f, g = 0.5f, b = 0.75f, a = 1.0f;
  for (auto _ : state) {
    mypaint_surface_begin_atomic(surface);
    if (smudge) {
      // The smudge step of a brush with smudge 0.8: pick the colour under the dab, carry 80 % of
      // it into the dab colour.
      float pr, pg, pb, pa;
      mypaint_surface_get_color(surface, float(walk.x), float(walk.y), size * 0.5f, &pr, &pg, &pb,
                                &pa);
      r = 0.8f * pr + 0.2f * r, g = 0.8f * pg + 0.2f * g, b = 0.8f * pb + 0.2f * b;
      a = 0.8f * pa + 0.2f;
    }
    mypaint_surface_draw_dab(surface, float(walk.x), float(walk.y), size * 0.5f, r, g, b, 1.0f,
                             1.0f, a, 1.0f, 0.0f, 0.0f, 0.0f);
    mypaint_surface_end_atomic(surface, nullptr);
    walk.Step(size);
  }
  SetCounters(state, size);
  mypaint_surface_unref(surface);
}
void BM_MypaintDab(benchmark::State& state) { RunMypaint(state, false); }
void BM_MypaintSmudge(benchmark::State& state) { RunMypaint(state, true); }
BENCHMARK(BM_MypaintDab)->Arg(8)->Arg(32)->Arg(128);
BENCHMARK(BM_MypaintSmudge)->Arg(8)->Arg(32)->Arg(128);
#endif

// The undo commit after one dab of side 32 saves that rectangle; a commit without one saves the
// whole canvas.
void RunCommit(benchmark::State& state, bool wholeCanvas) {
  SetUpCanvas(32, Brush::kPlain);
  PMR_SetUndoLevels(4);
  PMR_SetUndoMB(4096);
  for (int i = 0; i < 4; ++i) PMR_SaveUndoBuffer(1, 0);
  Walk walk;
  for (auto _ : state) {
    state.PauseTiming();
    PMR_DrawDabGrit(walk.x, walk.y, 0, 0, 0);
    walk.Step(32);
    if (wholeCanvas) engine::EmptyPendingRect();
    state.ResumeTiming();
    PMR_SaveUndoBuffer(1, 0);
  }
  PMR_DeleteImage();
}
void BM_SaveUndoAfterDab(benchmark::State& state) { RunCommit(state, false); }
void BM_SaveUndoWholeCanvas(benchmark::State& state) { RunCommit(state, true); }
BENCHMARK(BM_SaveUndoAfterDab)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveUndoWholeCanvas)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
