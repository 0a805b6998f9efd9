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
// A climb that lasted this many windows was right, and the next one need not
// wait longer; a climb never waits for more than the most windows.
constexpr int kWindowsToProveAClimb = 8;
constexpr int kMostWindowsToClimb = 16;

template <std::size_t N>
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
    windowsToClimb_ = 1;
    windowsSinceClimb_ = -1;
    restart();
}

bool ScaleController::addFrame(const FrameTime& frame) {
    if (framesToSkip_ > 0) {
        --framesToSkip_;
        return false;
    }
    framesOverBudget_ = frame.total() > kStallFactor * kFrameBudgetMs ? framesOverBudget_ + 1 : 0;
    drawTimes_[framesInWindow_] = frame.drawMs;
    otherTimes_[framesInWindow_] = frame.otherMs;
    ++framesInWindow_;
    int next = level_;
    if (framesOverBudget_ >= kStallsToStepDown) {
        next = stepDown(frame);
    } else if (framesInWindow_ == kWindowFrames) {
        // Medians: one stall in a window (another program, a page fault)
        // moves nothing.
        const FrameTime typical = {median(drawTimes_), median(otherTimes_)};
        framesInWindow_ = 0;
        if (windowsSinceClimb_ >= 0 && ++windowsSinceClimb_ >= kWindowsToProveAClimb) {
            windowsToClimb_ = 1;
            windowsSinceClimb_ = -1;
        }
        if (typical.total() > kFrameBudgetMs) {
            next = stepDown(typical);
        } else {
            const int up = stepUp(typical);
            windowsWithRoom_ = up == level_ ? 0 : windowsWithRoom_ + 1;
            if (windowsWithRoom_ >= windowsToClimb_)
                next = up;
        }
    }
    if (next == level_)
        return false;
    moveTo(next);
    return true;
}

void ScaleController::moveTo(int level) {
    const bool climbing = level < level_;
    if (climbing) {
        windowsSinceClimb_ = 0;
    } else if (windowsSinceClimb_ >= 0) {
        windowsToClimb_ = std::min(2 * windowsToClimb_, kMostWindowsToClimb);
        windowsSinceClimb_ = -1;
    }
    level_ = level;
    restart();
}

void ScaleController::restart() {
    framesToSkip_ = 1;
    framesOverBudget_ = 0;
    framesInWindow_ = 0;
    windowsWithRoom_ = 0;
}

// Drawing grows with the samples drawn; the rest is taken as it was, though
// it shrinks a little at full size (a copy instead of a stretch).
double ScaleController::predicted(const FrameTime& frame, int level) const {
    return frame.otherMs + frame.drawMs * static_cast<double>(backBufferSize(width_, height_, level).samples()) /
                               static_cast<double>(backBuffer().samples());
}

// Small clients make neighbouring levels the same size: they count as one.
int ScaleController::lowestIndexOfSameSize(int level) const {
    while (level > 0 && backBufferSize(width_, height_, level - 1) == backBufferSize(width_, height_, level))
        --level;
    return level;
}

// The largest smaller level predicted within the budget, else the smallest:
// when even that does not fit, it is at least the most fluid.
int ScaleController::stepDown(const FrameTime& frame) const {
    const long long now = backBuffer().samples();
    int chosen = level_;
    for (int level = level_ + 1; level < static_cast<int>(kScaleLevels.size()); ++level) {
        if (backBufferSize(width_, height_, level).samples() >= now)
            continue;
        chosen = level;
        if (predicted(frame, level) <= kFrameBudgetMs)
            break;
    }
    return lowestIndexOfSameSize(chosen);
}

// One level up, when it is predicted to leave room in the budget.
int ScaleController::stepUp(const FrameTime& frame) const {
    const long long now = backBuffer().samples();
    for (int level = level_ - 1; level >= 0; --level) {
        if (backBufferSize(width_, height_, level).samples() <= now)
            continue;
        level = lowestIndexOfSameSize(level);
        return predicted(frame, level) <= kClimbShare * kFrameBudgetMs ? level : level_;
    }
    return level_;
}

}  // namespace qo
