// Frames per second of the demo viewer's rasteriser, natively: each scene
// as the viewer first shows it, at three window sizes, drawn the way the
// viewer draws at full scale (2x2 samples a pixel) and with one sample. A
// frame is the whole of the rasteriser's work (clear, draw, resolve); the
// copy to a window is the platform's and not counted. The rasteriser runs on
// one thread, so the rate is per second of processor time: what one free
// core gives, whatever else a shared machine runs meanwhile.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "rasteriser.h"
#include "scenes.h"

namespace {

constexpr uint32_t kSky = 0x6080B0;
constexpr float kSpinPerFrame = 0.03f;  // the spinner turns as it does on screen

void drawFrames(benchmark::State& state, int sceneNumber, int width, int height, int samplesPerAxis) {
    const qo::Scene scene = qo::buildScene(sceneNumber);
    const qo::Camera camera = qo::overviewCamera(scene.radius);
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    qo::Rasteriser rasteriser;
    rasteriser.bind(pixels.data(), width, height, samplesPerAxis);
    float spin = 0;
    for (auto _ : state) {
        rasteriser.clear(kSky);
        rasteriser.draw(scene, camera, {1, 1, 1}, spin);
        rasteriser.resolve();
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
        if (scene.spins)
            spin += kSpinPerFrame;
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

int main(int argc, char** argv) {
    struct Size {
        int width, height;
    };
    for (int scene = 0; scene < qo::kSceneCount; ++scene) {
        for (const Size size : {Size{640, 360}, Size{1280, 720}, Size{1920, 1080}}) {
            for (int samples : {2, 1}) {
                const std::string name = std::string("frame/") + qo::buildScene(scene).name + "/" +
                                         std::to_string(size.width) + "x" + std::to_string(size.height) + "/" +
                                         std::to_string(samples) + "x" + std::to_string(samples) + "_samples";
                benchmark::RegisterBenchmark(name.c_str(), drawFrames, scene, size.width, size.height, samples)
                    ->Unit(benchmark::kMillisecond);
            }
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
