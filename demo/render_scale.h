#pragma once
// How large the viewer draws: a ladder of back-buffer scales, from the
// client's full size with 2x2 samples a pixel down to a quarter of its width
// with one sample, and the controller that climbs it from measured frame
// times. Pure logic: no clock, no window.
#include <array>
#include <cstddef>

namespace qo {

// Drawing one frame should take at most this long; the viewer also paces its
// frames by it.
constexpr double kFrameBudgetMs = 33;

struct ScaleLevel {
    int percent;         // of the client's width and height
    int samplesPerAxis;  // 2: each pixel is the mean of 2x2 samples
};

constexpr std::array<ScaleLevel, 6> kScaleLevels = {{{100, 2}, {70, 2}, {50, 2}, {35, 2}, {25, 2}, {25, 1}}};
constexpr int kFullScale = 0;

struct BackBufferSize {
    int width = 0, height = 0, samplesPerAxis = 1;

    long long samples() const { return static_cast<long long>(width) * height * samplesPerAxis * samplesPerAxis; }
    bool operator==(const BackBufferSize& other) const {
        return width == other.width && height == other.height && samplesPerAxis == other.samplesPerAxis;
    }
    bool operator!=(const BackBufferSize& other) const { return !(*this == other); }
};

// The back buffer for a client of width x height at `level`: no wider than
// the client and, below that, never narrower than 320 pixels, so that the
// smallest level is what a slow machine could always afford.
BackBufferSize backBufferSize(int clientWidth, int clientHeight, int level);

// What one frame took: drawing its samples, which grows with their number,
// and the rest (scaling up, the overlay, the copy to the window), which
// depends on the window's size rather than the level.
struct FrameTime {
    double drawMs = 0;
    double otherMs = 0;

    double total() const { return drawMs + otherMs; }
};

class ScaleController {
public:
    // Tells the controller the client's size before each frame; a new size
    // starts the measurements anew (the frames to come cost differently).
    void fitClient(int width, int height);
    // One frame's times, at the current level. True when the level changed:
    // the next frame is drawn at the new one.
    bool addFrame(const FrameTime& frame);

    int level() const { return level_; }
    BackBufferSize backBuffer() const { return backBufferSize(width_, height_, level_); }

private:
    static constexpr size_t kWindowFrames = 8;

    void restart();
    void moveTo(int level);
    double predicted(const FrameTime& frame, int level) const;
    int lowestIndexOfSameSize(int level) const;
    int stepDown(const FrameTime& frame) const;
    int stepUp(const FrameTime& frame) const;

    int width_ = 1, height_ = 1;
    int level_ = kFullScale;
    int framesToSkip_ = 1;  // the first frame at a new size pays for its buffers
    int framesOverBudget_ = 0;  // frames in a row far over the budget
    // A climb that the next step down undoes was taken too soon: the next
    // one waits for twice as many windows with room in a row.
    int windowsToClimb_ = 1;
    int windowsWithRoom_ = 0;
    int windowsSinceClimb_ = -1;  // -1: the last change was not a climb
    std::array<double, kWindowFrames> drawTimes_{}, otherTimes_{};
    size_t framesInWindow_ = 0;
};

}  // namespace qo
