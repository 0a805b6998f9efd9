#include "camera.h"

#include <algorithm>

namespace qo {
namespace {
constexpr float kRadiansPerPixel = 0.01f;
constexpr float kPitchLimit = 1.5f;
constexpr float kDegrees = 3.14159265f / 180.0f;
}  // namespace

Camera overviewCamera(float modelRadius) {
    Camera camera;
    camera.place({0, 0, 0}, 30, -20, overviewDistance(modelRadius), false);
    return camera;
}

void Camera::place(Vec3 target, float yawDegrees, float pitchDegrees, float distance, bool walk) {
    target_ = target;
    yaw_ = yawDegrees * kDegrees;
    pitch_ = std::clamp(pitchDegrees * kDegrees, -kPitchLimit, kPitchLimit);
    distance_ = std::max(distance, 0.5f);
    walk_ = walk;
}

void Camera::turn(float dxPixels, float dyPixels) {
    yaw_ += dxPixels * kRadiansPerPixel;
    pitch_ = std::clamp(pitch_ + dyPixels * kRadiansPerPixel, -kPitchLimit, kPitchLimit);
}

void Camera::zoom(float wheelSteps) {
    if (walk_)
        target_ = target_ + forward() * (0.3f * wheelSteps);
    else
        distance_ = std::clamp(distance_ * (1.0f - 0.1f * wheelSteps), 0.5f, 50.0f);
}

Vec3 Camera::forward() const {
    // The inverse of toView's rotation applied to "ahead".
    const Vec3 pitched{0, std::sin(pitch_), std::cos(pitch_)};
    const float cy = std::cos(yaw_), sy = std::sin(yaw_);
    return {cy * pitched.x - sy * pitched.z, pitched.y, sy * pitched.x + cy * pitched.z};
}

Vec3 Camera::eye() const {
    return walk_ ? target_ : target_ - forward() * distance_;
}

Vec3 Camera::toView(Vec3 world) const {
    const Vec3 d = world - eye();
    const float cy = std::cos(yaw_), sy = std::sin(yaw_);
    const Vec3 a{cy * d.x + sy * d.z, d.y, -sy * d.x + cy * d.z};
    const float cp = std::cos(pitch_), sp = std::sin(pitch_);
    return {a.x, cp * a.y - sp * a.z, sp * a.y + cp * a.z};
}

}  // namespace qo
