#pragma once
// A z-buffered, flat-shaded triangle rasteriser into a 32-bit pixel buffer
// (top-down rows, 0x00RRGGBB) that also records which object covers each
// pixel, for picking.
#include <cstdint>
#include <vector>

#include "camera.h"
#include "scenes.h"

namespace qo {

constexpr int kNoObject = -1;

class Rasteriser {
public:
    // `pixels` has width * height entries and outlives the calls below.
    void bind(uint32_t* pixels, int width, int height);
    void clear(uint32_t colour);
    // Draws the scene, scaled by `scale` and turned by `spin` about its
    // vertical axis, as seen by `camera`.
    void draw(const Scene& scene, const Camera& camera, Vec3 scale, float spin);
    int objectAt(int x, int y) const;
    // Frees the depth and object buffers; the next bind makes them again.
    void dropBuffers();

private:
    struct ScreenVertex {
        float x, y, inverseZ;
    };
    void fill(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, uint32_t colour, int object);
    ScreenVertex project(Vec3 view) const;

    uint32_t* pixels_ = nullptr;
    int width_ = 0, height_ = 0;
    float focal_ = 1;
    std::vector<float> depth_;  // 1/z of the nearest surface so far, 0 for none
    std::vector<int16_t> objects_;
};

}  // namespace qo
