#include "rasteriser.h"

#include <algorithm>
#include <cmath>

namespace qo {
namespace {

constexpr float kNear = 0.1f;
const Vec3 kLight = normalized({-0.4f, 0.8f, -0.5f});

uint32_t shade(uint32_t colour, float brightness) {
    auto channel = [&](int shift) {
        const float value = static_cast<float>((colour >> shift) & 0xFF) * brightness;
        return static_cast<uint32_t>(std::min(255.0f, value)) << shift;
    };
    return channel(16) | channel(8) | channel(0);
}

// Clips a view-space triangle to the near plane: 0, 3 or 4 corners.
int clipNear(const Vec3 in[3], Vec3 out[4]) {
    int count = 0;
    for (int i = 0; i < 3; ++i) {
        const Vec3 a = in[i], b = in[(i + 1) % 3];
        if (a.z >= kNear)
            out[count++] = a;
        if ((a.z >= kNear) != (b.z >= kNear)) {
            const float t = (kNear - a.z) / (b.z - a.z);
            out[count++] = a + (b - a) * t;
        }
    }
    return count;
}

float edge(float ax, float ay, float bx, float by, float px, float py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

}  // namespace

void Rasteriser::bind(uint32_t* pixels, int width, int height) {
    pixels_ = pixels;
    width_ = width;
    height_ = height;
    focal_ = static_cast<float>(height) * 1.2f;
    depth_.resize(static_cast<size_t>(width) * height);
    objects_.resize(static_cast<size_t>(width) * height);
}

void Rasteriser::dropBuffers() {  // clear() refills them after the next bind
    std::vector<float>().swap(depth_);
    std::vector<int16_t>().swap(objects_);
    pixels_ = nullptr;
    width_ = height_ = 0;
}

void Rasteriser::clear(uint32_t colour) {
    if (!pixels_)
        return;
    // A vertical gradient reads as sky and ground.
    for (int y = 0; y < height_; ++y) {
        const uint32_t row = shade(colour, 1.2f - 0.6f * static_cast<float>(y) / static_cast<float>(height_));
        std::fill(pixels_ + static_cast<size_t>(y) * width_, pixels_ + static_cast<size_t>(y + 1) * width_, row);
    }
    std::fill(depth_.begin(), depth_.end(), 0.0f);
    std::fill(objects_.begin(), objects_.end(), static_cast<int16_t>(kNoObject));
}

Rasteriser::ScreenVertex Rasteriser::project(Vec3 v) const {
    return {static_cast<float>(width_) * 0.5f + focal_ * v.x / v.z,
            static_cast<float>(height_) * 0.5f - focal_ * v.y / v.z, 1.0f / v.z};
}

void Rasteriser::draw(const Scene& scene, const Camera& camera, Vec3 scale, float spin) {
    if (!pixels_)
        return;
    const float cs = std::cos(spin), sn = std::sin(spin);
    auto place = [&](Vec3 p) {
        const Vec3 s{p.x * scale.x, p.y * scale.y, p.z * scale.z};
        return Vec3{cs * s.x + sn * s.z, s.y, -sn * s.x + cs * s.z};
    };
    for (const Triangle& t : scene.triangles) {
        const Vec3 world[3] = {place(t.a), place(t.b), place(t.c)};
        // Two-sided lighting: the scenes need not agree on winding.
        const Vec3 normal = normalized(cross(world[1] - world[0], world[2] - world[0]));
        const float brightness = 0.35f + 0.75f * std::fabs(dot(normal, kLight));
        const Vec3 view[3] = {camera.toView(world[0]), camera.toView(world[1]), camera.toView(world[2])};
        Vec3 clipped[4];
        const int corners = clipNear(view, clipped);
        if (corners < 3)
            continue;
        const ScreenVertex s0 = project(clipped[0]);
        for (int i = 1; i + 1 < corners; ++i)
            fill(s0, project(clipped[i]), project(clipped[i + 1]), shade(t.colour, brightness), t.object);
    }
}

void Rasteriser::fill(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, uint32_t colour,
                      int object) {
    const float area = edge(a.x, a.y, b.x, b.y, c.x, c.y);
    if (std::fabs(area) < 1e-6f)
        return;
    const int x0 = std::max(0, static_cast<int>(std::floor(std::min({a.x, b.x, c.x}))));
    const int x1 = std::min(width_ - 1, static_cast<int>(std::ceil(std::max({a.x, b.x, c.x}))));
    const int y0 = std::max(0, static_cast<int>(std::floor(std::min({a.y, b.y, c.y}))));
    const int y1 = std::min(height_ - 1, static_cast<int>(std::ceil(std::max({a.y, b.y, c.y}))));
    const float inverseArea = 1.0f / area;
    for (int y = y0; y <= y1; ++y) {
        const float py = static_cast<float>(y) + 0.5f;
        for (int x = x0; x <= x1; ++x) {
            const float px = static_cast<float>(x) + 0.5f;
            const float w0 = edge(b.x, b.y, c.x, c.y, px, py) * inverseArea;
            const float w1 = edge(c.x, c.y, a.x, a.y, px, py) * inverseArea;
            const float w2 = 1.0f - w0 - w1;
            if (w0 < 0 || w1 < 0 || w2 < 0)
                continue;
            const float inverseZ = w0 * a.inverseZ + w1 * b.inverseZ + w2 * c.inverseZ;
            const size_t at = static_cast<size_t>(y) * width_ + x;
            if (inverseZ <= depth_[at])
                continue;
            depth_[at] = inverseZ;
            pixels_[at] = colour;
            objects_[at] = static_cast<int16_t>(object);
        }
    }
}

int Rasteriser::objectAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || objects_.empty())
        return kNoObject;
    return objects_[static_cast<size_t>(y) * width_ + x];
}

}  // namespace qo
