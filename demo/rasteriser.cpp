#include "rasteriser.h"

#include <algorithm>
#include <cmath>

namespace qo {
namespace {

constexpr float kNear = 0.1f;
const Vec3 kLight = normalized({-0.4f, 0.8f, -0.5f});  // towards the light, in the world
constexpr float kAmbient = 0.32f;
constexpr float kDiffuse = 0.8f;

uint32_t shade(uint32_t colour, float brightness) {
    auto channel = [&](int shift) {
        const float value = static_cast<float>((colour >> shift) & 0xFF) * brightness;
        return static_cast<uint32_t>(std::min(255.0f, value)) << shift;
    };
    return channel(16) | channel(8) | channel(0);
}

struct ViewVertex {
    Vec3 position;
    float light;
};

// Clips a view-space triangle to the near plane: 0, 3 or 4 corners.
int clipNear(const ViewVertex in[3], ViewVertex out[4]) {
    int count = 0;
    for (int i = 0; i < 3; ++i) {
        const ViewVertex& a = in[i];
        const ViewVertex& b = in[(i + 1) % 3];
        if (a.position.z >= kNear)
            out[count++] = a;
        if ((a.position.z >= kNear) != (b.position.z >= kNear)) {
            const float t = (kNear - a.position.z) / (b.position.z - a.position.z);
            out[count++] = {a.position + (b.position - a.position) * t, a.light + (b.light - a.light) * t};
        }
    }
    return count;
}

float edge(float ax, float ay, float bx, float by, float px, float py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

// One edge's weight along a row: value at the row's first pixel, change a pixel.
struct EdgeStep {
    float start, step;
};

EdgeStep edgeStep(float ax, float ay, float bx, float by, float px, float py, float inverseArea) {
    return {edge(ax, ay, bx, by, px, py) * inverseArea, -(by - ay) * inverseArea};
}

// Narrows [first, last] to where the edge's weight can be >= 0, with a pixel
// to spare on each side: the exact test is the one made per pixel.
bool narrowSpan(const EdgeStep& e, int origin, int& first, int& last) {
    if (e.step > 0) {
        const float from = std::ceil(-e.start / e.step) - 1;
        if (from > static_cast<float>(last - origin))
            return false;
        first = std::max(first, origin + static_cast<int>(std::max(from, 0.0f)));
    } else if (e.step < 0) {
        const float to = std::floor(e.start / -e.step) + 1;
        if (to < 0)
            return false;
        last = std::min(last, origin + static_cast<int>(std::min(to, static_cast<float>(last - origin))));
    } else if (e.start < 0) {
        return false;
    }
    return first <= last;
}

}  // namespace

void Rasteriser::bind(uint32_t* pixels, int width, int height, int samplesPerAxis) {
    pixels_ = pixels;
    width_ = width;
    height_ = height;
    samplesPerAxis_ = std::clamp(samplesPerAxis, 1, kMaxSamplesPerAxis);
    sampleWidth_ = width * samplesPerAxis_;
    sampleHeight_ = height * samplesPerAxis_;
    focal_ = static_cast<float>(sampleHeight_) * 1.2f;
    const size_t count = static_cast<size_t>(sampleWidth_) * sampleHeight_;
    if (samplesPerAxis_ > 1) {
        samples_.resize(count);
        colours_ = samples_.data();
    } else {
        colours_ = pixels_;
    }
    depth_.resize(count);
}

void Rasteriser::dropBuffers() {  // clear() refills them after the next bind
    std::vector<uint32_t>().swap(samples_);
    std::vector<float>().swap(depth_);
    pixels_ = colours_ = nullptr;
    width_ = height_ = sampleWidth_ = sampleHeight_ = 0;
}

void Rasteriser::clear(uint32_t colour) {
    if (!colours_)
        return;
    // A vertical gradient reads as sky and ground.
    for (int y = 0; y < sampleHeight_; ++y) {
        const float depth = static_cast<float>(y) / static_cast<float>(sampleHeight_);
        uint32_t* row = colours_ + static_cast<size_t>(y) * sampleWidth_;
        std::fill(row, row + sampleWidth_, shade(colour, 1.2f - 0.6f * depth));
    }
    std::fill(depth_.begin(), depth_.end(), 0.0f);
}

size_t Rasteriser::sampleAtCentre(const Pixel& pixel) const {
    if (pixel.x < 0 || pixel.y < 0 || pixel.x >= width_ || pixel.y >= height_)
        return kNoSample;
    const int half = samplesPerAxis_ / 2;
    return static_cast<size_t>(pixel.y * samplesPerAxis_ + half) * sampleWidth_ +
           static_cast<size_t>(pixel.x * samplesPerAxis_ + half);
}

int Rasteriser::draw(const Scene& scene, const Camera& camera, Vec3 scale, float spin, const Pixel* pick) {
    if (!colours_)
        return kNoObject;
    pickSample_ = pick ? sampleAtCentre(*pick) : kNoSample;
    picked_ = kNoObject;
    const float cs = std::cos(spin), sn = std::sin(spin);
    auto turn = [&](Vec3 v) { return Vec3{cs * v.x + sn * v.z, v.y, -sn * v.x + cs * v.z}; };
    auto place = [&](Vec3 p) { return turn({p.x * scale.x, p.y * scale.y, p.z * scale.z}); };
    // Normals follow a scaled model through the cofactors of the scale: the
    // inverse transpose without a division, so a zero scale is harmless.
    const Vec3 normalScale{scale.y * scale.z, scale.x * scale.z, scale.x * scale.y};
    auto placeNormal = [&](Vec3 n) {
        return normalized(turn({n.x * normalScale.x, n.y * normalScale.y, n.z * normalScale.z}));
    };
    auto project = [&](const ViewVertex& v) {
        const float inverseZ = 1.0f / v.position.z;
        return ScreenVertex{static_cast<float>(sampleWidth_) * 0.5f + focal_ * v.position.x * inverseZ,
                            static_cast<float>(sampleHeight_) * 0.5f - focal_ * v.position.y * inverseZ, inverseZ,
                            v.light * inverseZ};
    };
    // A mirroring scale turns the corners' winding inside out.
    const float outwards = scale.x * scale.y * scale.z < 0 ? -1.0f : 1.0f;
    const Vec3 eye = camera.eye();
    for (const Triangle& t : scene.triangles) {
        const Vec3 world[3] = {place(t.corners[0]), place(t.corners[1]), place(t.corners[2])};
        const Vec3 face = cross(world[1] - world[0], world[2] - world[0]);
        const float towardsEye = dot(face, eye - world[0]) * outwards < 0 ? -1.0f : 1.0f;
        // The back of a solid's face is inside it, behind its front faces.
        if (scene.solid && towardsEye < 0)
            continue;
        // Otherwise light the side the camera sees: winding says nothing.
        const float lightSide = towardsEye * outwards;
        ViewVertex view[3];
        for (int i = 0; i < 3; ++i) {
            const float lit = std::max(0.0f, lightSide * dot(placeNormal(t.normals[i]), kLight));
            view[i] = {camera.toView(world[i]), kAmbient + kDiffuse * lit};
        }
        ViewVertex clipped[4];
        const int corners = clipNear(view, clipped);
        if (corners < 3)
            continue;
        const ScreenVertex s0 = project(clipped[0]);
        for (int i = 1; i + 1 < corners; ++i)
            fill(s0, project(clipped[i]), project(clipped[i + 1]), t.colour, t.object);
    }
    return picked_;
}

void Rasteriser::fill(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, uint32_t colour,
                      int object) {
    // A finite area means finite corners: a model scaled to infinity or
    // NaN, which a launch parameter can ask for, draws nothing.
    const float area = edge(a.x, a.y, b.x, b.y, c.x, c.y);
    if (!std::isfinite(area) || std::fabs(area) < 1e-6f)
        return;
    const float right = static_cast<float>(sampleWidth_ - 1), bottom = static_cast<float>(sampleHeight_ - 1);
    const float left = std::floor(std::min({a.x, b.x, c.x})), top = std::floor(std::min({a.y, b.y, c.y}));
    const float last = std::ceil(std::max({a.x, b.x, c.x})), lowest = std::ceil(std::max({a.y, b.y, c.y}));
    if (left > right || top > bottom || last < 0 || lowest < 0)
        return;
    const int x0 = static_cast<int>(std::max(left, 0.0f)), x1 = static_cast<int>(std::min(last, right));
    const int y0 = static_cast<int>(std::max(top, 0.0f)), y1 = static_cast<int>(std::min(lowest, bottom));
    const float inverseArea = 1.0f / area;
    const float red = static_cast<float>((colour >> 16) & 0xFF), green = static_cast<float>((colour >> 8) & 0xFF),
                blue = static_cast<float>(colour & 0xFF);
    const float px0 = static_cast<float>(x0) + 0.5f;
    for (int y = y0; y <= y1; ++y) {
        const float py = static_cast<float>(y) + 0.5f;
        const EdgeStep e0 = edgeStep(b.x, b.y, c.x, c.y, px0, py, inverseArea);
        const EdgeStep e1 = edgeStep(c.x, c.y, a.x, a.y, px0, py, inverseArea);
        const EdgeStep e2 = edgeStep(a.x, a.y, b.x, b.y, px0, py, inverseArea);
        int first = x0, lastX = x1;
        if (!narrowSpan(e0, x0, first, lastX) || !narrowSpan(e1, x0, first, lastX) ||
            !narrowSpan(e2, x0, first, lastX))
            continue;
        const size_t row = static_cast<size_t>(y) * sampleWidth_;
        for (int x = first; x <= lastX; ++x) {
            const float dx = static_cast<float>(x - x0);
            const float w0 = e0.start + e0.step * dx, w1 = e1.start + e1.step * dx, w2 = e2.start + e2.step * dx;
            if (w0 < 0 || w1 < 0 || w2 < 0)
                continue;
            const float inverseZ = w0 * a.inverseZ + w1 * b.inverseZ + w2 * c.inverseZ;
            const size_t at = row + static_cast<size_t>(x);
            if (inverseZ <= depth_[at])
                continue;
            depth_[at] = inverseZ;
            const float light = (w0 * a.lightOverZ + w1 * b.lightOverZ + w2 * c.lightOverZ) / inverseZ;
            colours_[at] = static_cast<uint32_t>(static_cast<int>(std::min(255.0f, red * light)) << 16 |
                                                 static_cast<int>(std::min(255.0f, green * light)) << 8 |
                                                 static_cast<int>(std::min(255.0f, blue * light)));
            if (at == pickSample_)
                picked_ = object;
        }
    }
}

void Rasteriser::resolve() {
    if (!pixels_ || samplesPerAxis_ == 1)
        return;
    // Red and blue add up in one word, green in another: four samples of
    // 255 need ten bits, and the lanes are sixteen apart.
    for (int y = 0; y < height_; ++y) {
        const uint32_t* upper = colours_ + static_cast<size_t>(2 * y) * sampleWidth_;
        const uint32_t* lower = upper + sampleWidth_;
        uint32_t* out = pixels_ + static_cast<size_t>(y) * width_;
        for (int x = 0; x < width_; ++x) {
            const uint32_t s0 = upper[2 * x], s1 = upper[2 * x + 1], s2 = lower[2 * x], s3 = lower[2 * x + 1];
            const uint32_t redBlue = (s0 & 0xFF00FF) + (s1 & 0xFF00FF) + (s2 & 0xFF00FF) + (s3 & 0xFF00FF);
            const uint32_t green = (s0 & 0xFF00) + (s1 & 0xFF00) + (s2 & 0xFF00) + (s3 & 0xFF00);
            out[x] = ((redBlue >> 2) & 0xFF00FF) | ((green >> 2) & 0xFF00);
        }
    }
}

}  // namespace qo
