// Cost of an idle pass of the event wait, and of drawing a graph-sized image.
#include <benchmark/benchmark.h>

#include "platform/platform.h"

#include <cstdlib>

using namespace platform;

namespace {

bool ready() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return initPlatform();
}

void idlePoll(benchmark::State& state) {
    if (!ready()) {
        state.SkipWithError("no display");
        return;
    }
    openWindow(1, 0, 0, 1402, 832, "bench", WindowTitleBar);
    while (waitEvent(0) != EventNone) {
    }
    for (auto _ : state) benchmark::DoNotOptimize(waitEvent(0));
    resetPlatform();
}
BENCHMARK(idlePoll);

void idleWaitOneMillisecond(benchmark::State& state) {
    if (!ready()) {
        state.SkipWithError("no display");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(waitEvent(1));
}
BENCHMARK(idleWaitOneMillisecond)->Unit(benchmark::kMicrosecond);

// A graph image as the main window shows it: background, plot area, graticule, a few thousand curve
// segments and the axis texts.
void drawGraphSizedImage(benchmark::State& state) {
    if (!ready()) {
        state.SkipWithError("no display");
        return;
    }
    const int width = 714, height = 800, lines = static_cast<int>(state.range(0));
    Font font("Arial Bold", 10, true, true);
    for (auto _ : state) {
        Image image(width, height, rgb(0, 0, 0));
        fillRect(image, 75, 60, width - 150, height - 120, rgb(46, 54, 46));
        for (int i = 0; i <= 25; ++i) {
            int x = 75 + i * (width - 150) / 25, y = 60 + i * (height - 120) / 25;
            drawLine(image, x, 61, x, height - 61, rgb(0, 51, 0));
            drawLine(image, 76, y, width - 76, y, rgb(0, 51, 0));
        }
        for (int i = 0; i < lines; ++i) {
            int step = i % 24, k = i / 24;
            drawLine(image, 75 + k * 3, height - 60 - step * 25 - k, 78 + k * 3, height - 60 - step * 25 - k - 1,
                     rgb(255, 255, 255));
        }
        for (int i = 0; i <= 5; ++i) drawText(image, font, 75 + i * 112, height - 45, std::to_string(i * 5), 0xffffff);
        drawTextVertical(image, font, 10, 500, "IC (mA) Collector current", 0xffffff);
        benchmark::DoNotOptimize(image.scanLine(0));
    }
}
BENCHMARK(drawGraphSizedImage)->Arg(2000)->Arg(5000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
