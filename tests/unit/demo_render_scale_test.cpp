// The demo viewer's choice of back-buffer size from its frame times: a table
// of simulated machines (frame time as a function of the samples drawn) and
// the levels the controller goes through on each.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render_scale.h"

namespace {

using qo::BackBufferSize;
using qo::ScaleController;

TEST(DemoBackBufferSize, FollowsTheLevelWithinTheClientAndTheFloor) {
    struct Case {
        int clientWidth, clientHeight, level;
        BackBufferSize expected;
    };
    const Case cases[] = {
        {1280, 720, 0, {1280, 720, 2}},  // full size, 2x2 samples
        {1280, 720, 1, {896, 504, 2}},
        {1280, 720, 5, {320, 180, 1}},   // the smallest: a quarter, one sample
        {1920, 1080, 5, {480, 270, 1}},
        {640, 480, 3, {320, 240, 2}},    // never narrower than 320
        {300, 200, 4, {300, 200, 2}},    // nor wider than the client
        {0, 0, 0, {1, 1, 2}},            // a minimised window
        {1280, 720, 99, {320, 180, 1}},  // out of the ladder: its ends
        {1280, 720, -1, {1280, 720, 2}},
    };
    for (const Case& c : cases) {
        const BackBufferSize size = qo::backBufferSize(c.clientWidth, c.clientHeight, c.level);
        EXPECT_EQ(c.expected.width, size.width) << c.clientWidth << "x" << c.clientHeight << " level " << c.level;
        EXPECT_EQ(c.expected.height, size.height) << c.clientWidth << "x" << c.clientHeight << " level " << c.level;
        EXPECT_EQ(c.expected.samplesPerAxis, size.samplesPerAxis) << c.clientWidth << "x" << c.clientHeight
                                                                  << " level " << c.level;
    }
}

// A stretch of frames on one simulated machine: each frame draws for
// msPerMegaSample * (samples drawn / 10^6) ^ growth and spends fixedMs on the
// rest, plus jitterMs on odd frames and minus it on even ones.
struct Phase {
    int frames;
    int clientWidth, clientHeight;
    double fixedMs, msPerMegaSample;
    double jitterMs = 0;
    double growth = 1;  // above 1: large buffers cost more a sample (caches)
};

// The levels the controller is at, in order, without repeats.
std::vector<int> levelsVisited(const std::vector<Phase>& phases) {
    ScaleController controller;
    std::vector<int> visited = {controller.level()};
    int frame = 0;
    for (const Phase& phase : phases) {
        for (int i = 0; i < phase.frames; ++i, ++frame) {
            controller.fitClient(phase.clientWidth, phase.clientHeight);
            const double megaSamples = static_cast<double>(controller.backBuffer().samples()) / 1e6;
            const double jitter = frame % 2 ? phase.jitterMs : -phase.jitterMs;
            controller.addFrame({phase.msPerMegaSample * std::pow(megaSamples, phase.growth), phase.fixedMs + jitter});
            if (controller.level() != visited.back())
                visited.push_back(controller.level());
        }
    }
    return visited;
}

// `first` and `second` in turn, `times` times each, then `after`.
std::vector<Phase> inTurn(const Phase& first, const Phase& second, int times, std::vector<Phase> after = {}) {
    std::vector<Phase> phases;
    for (int i = 0; i < times; ++i) {
        phases.push_back(first);
        phases.push_back(second);
    }
    phases.insert(phases.end(), after.begin(), after.end());
    return phases;
}

TEST(DemoScaleController, ClimbsAndDescendsWithHysteresis) {
    // At 1280x720 the levels draw 3.69, 1.81, 0.92, 0.45, 0.23 and 0.06
    // million samples; at 640x480 levels 2 to 4 are all 320x240.
    const Phase fast{100, 1280, 720, 2, 2};           // 9 ms at full size
    const Phase busy{60, 1280, 720, 10, 10};          // 47 ms at full size, 28 ms at level 1
    // Another program busy for about a second, then idle for as long.
    const Phase shortlyFast{30, 1280, 720, 2, 2}, shortlyBusy{30, 1280, 720, 10, 10};
    struct Case {
        const char* name;
        std::vector<Phase> phases;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"a fast machine keeps the full size", {{200, 1280, 720, 2, 2}}, {0}},
        {"frames just within the budget keep the full size", {{200, 1280, 720, 32, 0}}, {0}},
        {"frames alternating about the budget keep the full size", {{200, 1280, 720, 32, 0, 4}}, {0}},
        {"a little over the budget: one level down, and no climbing back", {{200, 1280, 720, 2, 9.5}}, {0, 1}},
        // 36 ms at full size, 15.5 ms one level down, which predicts 31.5 ms
        // at full size: within the budget, but not within the climbing margin.
        {"costs growing faster than the samples: one level down, no flicker", {{200, 1280, 720, 2, 6.24, 0, 1.3}},
         {0, 1}},
        {"an emulator: straight down to the level predicted to fit", {{200, 1280, 720, 5, 120}}, {0, 4}},
        {"slower still: a quarter with one sample", {{200, 1280, 720, 10, 200}}, {0, 5}},
        {"one stall moves nothing", {fast, {1, 1280, 720, 400, 0}, fast}, {0}},
        {"a busy spell steps down, and a free machine climbs back", {fast, busy, fast}, {0, 1, 0}},
        // 12 ms for the copy to the window at every level: four times the
        // samples of the smallest level still fit, and so on up.
        // Each climb the load undoes makes the next wait twice as long: one
        // window of room, then two, then four (which a second of room holds
        // only when the windows fall well), then eight.
        {"a load that comes and goes: climbs wait longer each time", inTurn(shortlyFast, shortlyBusy, 12),
         {0, 1, 0, 1, 0, 1, 0, 1}},
        // After three undone climbs one waits for four windows; once a climb
        // has held for eight, the next again waits for one.
        {"a climb that holds makes the next one quick again",
         inTurn(shortlyFast, shortlyBusy, 3, {{300, 1280, 720, 2, 2}, shortlyBusy, shortlyFast}),
         {0, 1, 0, 1, 0, 1, 0, 1, 0}},
        {"what does not grow with the samples does not hold back climbing",
         {{50, 1280, 720, 10, 200}, {200, 1280, 720, 12, 1}},
         {0, 5, 4, 3, 2, 1, 0}},
        {"levels of one size count as one", {{100, 640, 480, 2, 80}, {100, 640, 480, 2, 150}}, {0, 2, 5}},
        {"a client narrower than the floor only loses samples", {{100, 300, 200, 1, 200}}, {0, 5}},
        {"a larger client steps down, a smaller one climbs back one level at a time",
         {{50, 640, 480, 2, 10}, {100, 1920, 1080, 2, 10}, {100, 640, 480, 2, 10}},
         {0, 2, 1, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, levelsVisited(c.phases)) << c.name;
}

TEST(DemoScaleController, ReactsToStallsAtOnceAndToSlownessAfterAWindow) {
    struct Case {
        const char* name;
        double frameMs;
        int framesUntilChange;  // the first frame after a new size is not counted
    };
    const Case cases[] = {
        {"far over the budget: two frames in a row", 300, 3},
        {"a little over: a window of eight frames", 40, 9},
    };
    for (const Case& c : cases) {
        ScaleController controller;
        controller.fitClient(1280, 720);
        int frames = 0;
        bool changed = false;
        while (!changed && frames < 100) {
            changed = controller.addFrame({c.frameMs, 0});
            ++frames;
        }
        EXPECT_TRUE(changed) << c.name;
        EXPECT_EQ(c.framesUntilChange, frames) << c.name;
    }
}

}  // namespace
