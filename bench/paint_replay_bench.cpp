// Stroke throughput and peak memory of a whole painting: the demo's paint script (about 600
// strokes and 36,000 dabs with every brush) replayed through the host onto a fresh sheet, and the
// same script parsed alone.
//
// The peak-memory figures replay at 800 x 600 in a child process each and read the child's peak
// resident size from the system: "host" with the host's own undo limits, "500 steps 256 MB" with
// the limits the host used to set (the undo history then grows to its budget), and, for scale,
// "no undo" with the history off. Run the memory figures first (--benchmark_filter=Peak) so that
// the parent is still small when it forks.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "canvas.h"
#include "data_folder.h"
#include "paint_replay.h"
#include "palmora/palmora.h"

namespace {

const host::PaintScript& DemoScript() {
  static const host::PaintScript script = host::ReadPaintScript(host::DataPath("paint/demo.srp"));
  return script;
}

// Undo limits to put in place of the host's after the canvas is made; levels < 0 keeps the host's.
struct UndoLimits {
  int levels, megabytes;
};

// Replays the demo at 800 x 600 in a child; returns its peak resident size and the undo memory at
// the end, both in MiB (negative when the child failed).
void PeakOfReplay(UndoLimits limits, double& peakMB, double& undoMB) {
  const host::PaintScript& script = DemoScript();
  int pipeEnds[2];
  peakMB = undoMB = -1;
  if (pipe(pipeEnds) != 0) return;
  const pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    int32_t undo = -1;
    try {
      host::Canvas canvas(800, 600, script.seed);
      if (limits.levels >= 0) {
        PMR_SetUndoLevels(limits.levels);
        PMR_SetUndoMB(limits.megabytes);
      }
      PMR_Clear(255, 255, 255, 255);
      host::ReplayPaintScript(canvas, script, "demo.srp", nullptr);
      undo = PMR_GetCurrentUndoMemory();
    } catch (...) {
    }
    const ssize_t written = write(pipeEnds[1], &undo, sizeof undo);
    _exit(written == sizeof undo && undo >= 0 ? 0 : 1);
  }
  close(pipeEnds[1]);
  int32_t undo = -1;
  const bool read_ok = child > 0 && read(pipeEnds[0], &undo, sizeof undo) == sizeof undo;
  close(pipeEnds[0]);
  if (child <= 0) return;
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
      !read_ok)
    return;
  peakMB = double(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
  undoMB = undo;
}

void PeakMemory(benchmark::State& state, UndoLimits limits) {
  DemoScript();
  double peak = 0, undo = 0;
  for (auto _ : state) PeakOfReplay(limits, peak, undo);
  if (peak < 0) state.SkipWithError("the replay in the child failed");
  state.counters["peak_MB"] = peak;
  state.counters["undo_MB"] = undo;
}

void PeakMemoryHost(benchmark::State& state) { PeakMemory(state, {-1, 0}); }
void PeakMemoryOldLimits(benchmark::State& state) { PeakMemory(state, {500, 256}); }
void PeakMemoryNoUndo(benchmark::State& state) { PeakMemory(state, {0, 256}); }
BENCHMARK(PeakMemoryHost)->Name("PeakMemory800x600/host")->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(PeakMemoryOldLimits)
    ->Name("PeakMemory800x600/500_steps_256_MB")
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK(PeakMemoryNoUndo)
    ->Name("PeakMemory800x600/no_undo")
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

void ParseDemoScript(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(host::ReadPaintScript(host::DataPath("paint/demo.srp")));
}
BENCHMARK(ParseDemoScript)->Unit(benchmark::kMillisecond);

void ReplayDemoScript(benchmark::State& state) {
  const host::PaintScript& script = DemoScript();
  std::size_t dabs = 0;
  for (auto _ : state) {
    host::Canvas canvas(960, 640, script.seed);
    PMR_Clear(255, 255, 255, 255);
    dabs += host::ReplayPaintScript(canvas, script, "demo.srp", nullptr).dabs;
  }
  state.counters["dabs/s"] = benchmark::Counter(double(dabs), benchmark::Counter::kIsRate);
}
BENCHMARK(ReplayDemoScript)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
