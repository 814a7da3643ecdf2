// Frames per second of GifDecoder and of giflib on a 468x60 animated banner (10 frames), a
// 468x60 still banner and a 1000x1000 256-colour picture. Both sides produce every frame as a
// 24-bit logical-screen image.
#include <benchmark/benchmark.h>

#include "gif_fixtures.h"
#include "lobby/banner/gif_decoder.h"

namespace {

const std::vector<uint8_t>& File(int which) {
    static const std::vector<uint8_t> files[3] = {
        zrt_test::EncodeGif(zrt_test::AnimatedBanner(10)),
        zrt_test::EncodeGif(zrt_test::StillBanner()),
        zrt_test::EncodeGif(zrt_test::LargePicture()),
    };
    return files[which];
}

const int kFrames[3] = {10, 1, 1};
const char* kNames[3] = {"animated_468x60x10", "still_468x60", "picture_1000x1000"};

void Ours(benchmark::State& state) {
    const int which = static_cast<int>(state.range(0));
    const auto& gif = File(which);
    int64_t frames = 0;
    for (auto _ : state) {
        zrt::GifDecoder decoder;
        for (int i = 0; i < kFrames[which]; ++i) {
            auto f = decoder.DecodeNextFrame(gif.data(), gif.size());
            if (!f) state.SkipWithError("decode failed");
            benchmark::DoNotOptimize(f);
            ++frames;
        }
    }
    state.SetLabel(kNames[which]);
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}

void Giflib(benchmark::State& state) {
    const int which = static_cast<int>(state.range(0));
    const auto& gif = File(which);
    int64_t frames = 0;
    for (auto _ : state) {
        auto f = zrt_test::GiflibFrames(gif);
        if (!f) state.SkipWithError("giflib failed");
        benchmark::DoNotOptimize(f);
        frames += static_cast<int64_t>(f->size());
    }
    state.SetLabel(kNames[which]);
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(Ours)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(Giflib)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
