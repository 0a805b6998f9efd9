#pragma once
// Where the viewer looks from: orbiting a target, or walking about.
#include "geometry.h"

namespace qo {

class Camera;

// How far the viewer's orbit starts from a model's centre: all of it in view.
inline float overviewDistance(float modelRadius) { return modelRadius * 2.6f; }
// The orbit the viewer starts in when given no position: the model's centre
// from above and aside.
Camera overviewCamera(float modelRadius);

class Camera {
public:
    // Orbit: turns about `target` at `distance`. Walk: stands at `target`.
    void place(Vec3 target, float yawDegrees, float pitchDegrees, float distance, bool walk);
    void turn(float dxPixels, float dyPixels);
    void zoom(float wheelSteps);  // orbit: nearer or farther; walk: steps forward or back
    void spin(float radians) { yaw_ += radians; }

    Vec3 eye() const;
    // A world point in view space: x right, y up, z ahead.
    Vec3 toView(Vec3 world) const;
    bool walking() const { return walk_; }

private:
    Vec3 forward() const;

    Vec3 target_;
    float yaw_ = 0, pitch_ = 0, distance_ = 4;
    bool walk_ = false;
};

}  // namespace qo
