#pragma once
// A z-buffered triangle rasteriser into a 32-bit pixel buffer (top-down
// rows, 0x00RRGGBB): smooth shading from the triangles' corner normals under
// one directional light and an ambient term, and 2x2 samples a pixel when
// asked, resolved to their mean so that silhouettes come out smooth. It also
// tells which object it drew at one pixel, for picking.
#include <cstdint>
#include <vector>

#include "camera.h"
#include "scenes.h"

namespace qo {

constexpr int kNoObject = -1;
constexpr int kMaxSamplesPerAxis = 2;

struct Pixel {
    int x, y;
};

class Rasteriser {
public:
    // `pixels` has width * height entries and outlives the calls below; each
    // pixel is drawn as samplesPerAxis x samplesPerAxis samples (1 or 2).
    void bind(uint32_t* pixels, int width, int height, int samplesPerAxis = 1);
    // Starts a frame: a sky of `colour`, nothing drawn yet.
    void clear(uint32_t colour);
    // Draws the scene, scaled by `scale` and turned by `spin` about its
    // vertical axis, as seen by `camera`. Answers the object now drawn at
    // the centre of `pick`, or kNoObject (sky, outside, or no pick asked).
    int draw(const Scene& scene, const Camera& camera, Vec3 scale, float spin, const Pixel* pick = nullptr);
    // Writes the frame into the pixels; needed only with more than one
    // sample a pixel.
    void resolve();
    // Frees the buffers of samples; the next bind makes them again.
    void dropBuffers();

private:
    struct ScreenVertex {
        float x, y;        // in samples
        float inverseZ;
        float lightOverZ;  // the corner's brightness times inverseZ, for perspective-correct shading
    };
    void fill(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, uint32_t colour, int object);
    size_t sampleAtCentre(const Pixel& pixel) const;

    uint32_t* pixels_ = nullptr;
    int width_ = 0, height_ = 0;
    int samplesPerAxis_ = 1;
    int sampleWidth_ = 0, sampleHeight_ = 0;
    float focal_ = 1;
    uint32_t* colours_ = nullptr;      // the pixels themselves, or samples_ with more than one a pixel
    std::vector<uint32_t> samples_;
    std::vector<float> depth_;         // 1/z of the nearest surface so far, 0 for none
    // The sample a pick asks about, and the object last drawn there: the
    // depth test makes the last the nearest.
    static constexpr size_t kNoSample = ~size_t(0);
    size_t pickSample_ = kNoSample;
    int picked_ = kNoObject;
};

}  // namespace qo
