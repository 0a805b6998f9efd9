#include "render_scale.h"

#include <algorithm>

namespace qo {
namespace {

// Below this width the picture falls apart; a client narrower than it is
// drawn at its own size.
constexpr int kMinBackWidth = 320;
// A larger level is taken only when it is predicted to need at most this
// share of the budget, so that the level a machine just left for being too
// slow is not taken again at once: the gap between stepping down (over the
// budget) and stepping up is the hysteresis.
constexpr double kClimbShare = 0.7;
// Frames this far over the budget, twice in a row, step down at once rather
// than after a whole window: a slow machine starting at full size should not
// wait seconds for a fluid picture. One such frame alone is a stall.
constexpr double kStallFactor = 2;
constexpr int kStallsToStepDown = 2;

template <size_t N>
double median(std::array<double, N> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

BackBufferSize backBufferSize(int clientWidth, int clientHeight, int level) {
    const long long width = std::max(clientWidth, 1), height = std::max(clientHeight, 1);
    const ScaleLevel& scale = kScaleLevels[static_cast<size_t>(std::clamp(level, 0, int(kScaleLevels.size()) - 1))];
    const long long backWidth = std::min(width, std::max<long long>(kMinBackWidth, width * scale.percent / 100));
    BackBufferSize size;
    size.width = static_cast<int>(backWidth);
    size.height = static_cast<int>(std::max<long long>(1, height * backWidth / width));
    size.samplesPerAxis = scale.samplesPerAxis;
    return size;
}

void ScaleController::fitClient(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width == width_ && height == height_)
        return;
    width_ = width;
    height_ = height;
    level_ = lowestIndexOfSameSize(level_);
    restart();
}

bool ScaleController::addFrame(double milliseconds) {
    if (framesToSkip_ > 0) {
        --framesToSkip_;
        return false;
    }
    framesOverBudget_ = milliseconds > kStallFactor * kFrameBudgetMs ? framesOverBudget_ + 1 : 0;
    window_[static_cast<size_t>(framesInWindow_++)] = milliseconds;
    int next = level_;
    if (framesOverBudget_ >= kStallsToStepDown) {
        next = stepDown(milliseconds);
    } else if (framesInWindow_ == static_cast<int>(window_.size())) {
        // The median: one stall in a window (another program, a page fault)
        // moves nothing.
        const double typical = median(window_);
        framesInWindow_ = 0;
        next = typical > kFrameBudgetMs ? stepDown(typical) : stepUp(typical);
    }
    if (next == level_)
        return false;
    level_ = next;
    restart();
    return true;
}

void ScaleController::restart() {
    framesToSkip_ = 1;
    framesOverBudget_ = 0;
    framesInWindow_ = 0;
}

// Drawing time grows with the samples drawn; what does not (the overlay, the
// copy to the window) makes this overestimate a larger level, which only
// makes climbing more careful.
double ScaleController::predicted(double milliseconds, int level) const {
    return milliseconds * static_cast<double>(backBufferSize(width_, height_, level).samples()) /
           static_cast<double>(backBuffer().samples());
}

// Small clients make neighbouring levels the same size: they count as one.
int ScaleController::lowestIndexOfSameSize(int level) const {
    while (level > 0 && backBufferSize(width_, height_, level - 1) == backBufferSize(width_, height_, level))
        --level;
    return level;
}

// The largest smaller level predicted within the budget, else the smallest.
int ScaleController::stepDown(double milliseconds) const {
    const long long now = backBuffer().samples();
    int chosen = level_;
    for (int level = level_ + 1; level < static_cast<int>(kScaleLevels.size()); ++level) {
        if (backBufferSize(width_, height_, level).samples() >= now)
            continue;
        chosen = level;
        if (predicted(milliseconds, level) <= kFrameBudgetMs)
            break;
    }
    return lowestIndexOfSameSize(chosen);
}

// One level up, when it is predicted to leave room in the budget.
int ScaleController::stepUp(double milliseconds) const {
    const long long now = backBuffer().samples();
    for (int level = level_ - 1; level >= 0; --level) {
        if (backBufferSize(width_, height_, level).samples() <= now)
            continue;
        level = lowestIndexOfSameSize(level);
        return predicted(milliseconds, level) <= kClimbShare * kFrameBudgetMs ? level : level_;
    }
    return level_;
}

}  // namespace qo
