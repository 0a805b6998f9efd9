// The demo viewer's rasteriser and scenes, drawn into plain memory: smooth
// shading, anti-aliased silhouettes, picking, and hostile model scales.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "rasteriser.h"
#include "scenes.h"
#include "vertex_normals.h"

namespace {

using qo::Camera;
using qo::Rasteriser;
using qo::Scene;
using qo::Triangle;
using qo::Vec3;

constexpr uint32_t kBlackSky = 0x000000;  // a black sky has no gradient
constexpr uint32_t kWhite = 0xFFFFFF;

struct Picture {
    int width, height;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Picture render(const Scene& scene, const Camera& camera, int width, int height, int samplesPerAxis,
               Vec3 scale = {1, 1, 1}) {
    Picture picture{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height, 0xDEADBEEF)};
    Rasteriser rasteriser;
    rasteriser.bind(picture.pixels.data(), width, height, samplesPerAxis);
    rasteriser.clear(kBlackSky);
    rasteriser.draw(scene, camera, scale, 0);
    rasteriser.resolve();
    return picture;
}

// A camera at z = -4 looking along +z at the origin.
Camera frontCamera() {
    Camera camera;
    camera.place({0, 0, 0}, 0, 0, 4, false);
    return camera;
}

void addQuad(Scene& scene, Vec3 a, Vec3 b, Vec3 c, Vec3 d, uint32_t colour) {
    scene.triangles.push_back({{a, b, c}, colour, 0, {}});
    scene.triangles.push_back({{a, c, d}, colour, 0, {}});
}

Scene oneObject(const char* name) {
    Scene scene;
    scene.objectNames.push_back(name);
    return scene;
}

// A white quad facing the camera, lit as fully as the light allows from the
// front, with one slanted edge.
Scene slantedCard() {
    Scene scene = oneObject("card");
    addQuad(scene, {-1, -1, 0}, {0.2f, 1, 0}, {1, 1, 0}, {1, -1, 0}, kWhite);
    qo::assignVertexNormals(scene.triangles);
    return scene;
}

// An upright cylinder of many facets, one colour.
Scene cylinder(int sides) {
    Scene scene = oneObject("cylinder");
    const float pi = 3.14159265f;
    for (int i = 0; i < sides; ++i) {
        const float a0 = 2 * pi * i / sides, a1 = 2 * pi * ((i + 1) % sides) / sides;
        const Vec3 p0{std::cos(a0), -1, std::sin(a0)}, p1{std::cos(a1), -1, std::sin(a1)};
        addQuad(scene, p0, {p0.x, 1, p0.z}, {p1.x, 1, p1.z}, p1, 0xC0C0C0);
    }
    qo::assignVertexNormals(scene.triangles);
    return scene;
}

TEST(DemoVertexNormals, RoundWhereFacesMeetShallowlySharpWhereTheyMeetSteeply) {
    // The prism: its sides shade as one round surface, its floor stays flat.
    const Scene prism = qo::buildScene(2);
    int sideCorners = 0, bottomCorners = 0;
    for (const Triangle& t : prism.triangles) {
        for (int i = 0; i < 3; ++i) {
            const Vec3 p = t.corners[i], n = t.normals[i];
            EXPECT_NEAR(1.0f, std::sqrt(qo::dot(n, n)), 1e-4f);
            const bool side = t.corners[0].y != t.corners[1].y || t.corners[1].y != t.corners[2].y;
            const bool bottom = !side && p.y < 0;
            if (side && p.y < 0) {
                // Bottom corners of the sides: the normal points away from the axis.
                const Vec3 radial = qo::normalized({p.x, 0, p.z});
                EXPECT_NEAR(1.0f, std::fabs(qo::dot(n, radial)), 1e-4f) << p.x << "," << p.y << "," << p.z;
                ++sideCorners;
            } else if (bottom) {
                EXPECT_NEAR(1.0f, std::fabs(n.y), 1e-4f);
                ++bottomCorners;
            }
        }
    }
    EXPECT_EQ(12 * 3, sideCorners);  // each side quad: three of its six corners at the bottom
    EXPECT_EQ(12 * 3, bottomCorners);

    // A box (the chair's seat) keeps every corner's normal that of its face.
    const Scene chair = qo::buildScene(0);
    int seatCorners = 0;
    for (const Triangle& t : chair.triangles) {
        if (chair.objectNames[static_cast<size_t>(t.object)] != "seat")
            continue;
        const Vec3 face = qo::normalized(qo::cross(t.corners[1] - t.corners[0], t.corners[2] - t.corners[0]));
        for (const Vec3& n : t.normals) {
            EXPECT_NEAR(1.0f, qo::dot(n, face), 1e-4f);
            ++seatCorners;
        }
    }
    EXPECT_EQ(6 * 2 * 3, seatCorners);
}

TEST(DemoRasteriser, ShadesACurvedSurfaceSmoothly) {
    // Across the cylinder's middle row the brightness changes a little from
    // pixel to pixel; faceted shading would give one value a facet.
    const Picture picture = render(cylinder(16), frontCamera(), 320, 240, 1);
    std::set<uint32_t> colours;
    int covered = 0;
    for (int x = 0; x < picture.width; ++x) {
        const uint32_t colour = picture.at(x, picture.height / 2);
        if (colour != kBlackSky) {
            colours.insert(colour);
            ++covered;
        }
    }
    ASSERT_GT(covered, 60);
    EXPECT_GT(colours.size(), 30u) << "over " << covered << " pixels";
}

TEST(DemoRasteriser, BlendsSilhouettesWithMoreSamples) {
    struct Case {
        int samplesPerAxis;
        bool blended;
    };
    for (const Case c : {Case{1, false}, Case{2, true}}) {
        const Picture picture = render(slantedCard(), frontCamera(), 200, 160, c.samplesPerAxis);
        const uint32_t inside = picture.at(120, 80);
        ASSERT_NE(kBlackSky, inside);
        int between = 0, edgeRows = 0;
        for (int y = 0; y < picture.height; ++y) {
            bool rowHasCard = false;
            for (int x = 0; x < picture.width; ++x) {
                const uint32_t colour = picture.at(x, y);
                rowHasCard |= colour != kBlackSky;
                if (colour == kBlackSky || colour == inside)
                    continue;
                ++between;
                // A blend of the card and the sky: every channel between them.
                for (int shift : {0, 8, 16})
                    EXPECT_LT((colour >> shift) & 0xFF, (inside >> shift) & 0xFF) << x << "," << y;
            }
            edgeRows += rowHasCard;
        }
        // Where the edge crosses a pixel's samples in a row, it blends.
        if (c.blended)
            EXPECT_GE(2 * between, edgeRows) << "of " << edgeRows << " rows";
        else
            EXPECT_EQ(0, between);
    }
}

TEST(DemoRasteriser, MoreSamplesCoverTheSameArea) {
    auto ink = [](const Picture& picture) {
        double sum = 0;
        for (uint32_t colour : picture.pixels)
            sum += static_cast<double>((colour >> 8) & 0xFF);
        return sum;
    };
    const Scene card = slantedCard();
    const double one = ink(render(card, frontCamera(), 200, 160, 1));
    const double four = ink(render(card, frontCamera(), 200, 160, 2));
    ASSERT_GT(one, 0);
    EXPECT_NEAR(1.0, four / one, 0.01);
}

TEST(DemoRasteriser, LeavesNoGapBetweenTrianglesThatShareAnEdge) {
    // A quad far larger than the view: every pixel is covered, including
    // those along the diagonal the two triangles share.
    Scene wall = oneObject("wall");
    addQuad(wall, {-30, -20, 1}, {-25, 20, 1}, {30, 21, 1}, {27, -19, 1}, kWhite);
    qo::assignVertexNormals(wall.triangles);
    for (int samples : {1, 2}) {
        const Picture picture = render(wall, frontCamera(), 160, 120, samples);
        int gaps = 0;
        for (uint32_t colour : picture.pixels)
            gaps += colour == kBlackSky;
        EXPECT_EQ(0, gaps) << samples << "x" << samples << " samples";
    }
}

TEST(DemoRasteriser, PicksTheObjectUnderAPixelWithAnySampleCount) {
    // The chair as the viewer first shows it: its seat lies under the centre.
    const Scene chair = qo::buildScene(0);
    const Camera camera = qo::overviewCamera(chair.radius);
    struct Case {
        qo::Pixel pixel;
        const char* expected;  // null: nothing
    };
    const Case cases[] = {{{320, 240}, "seat"}, {{5, 5}, nullptr}, {{640, 0}, nullptr}, {{-1, 240}, nullptr}};
    for (int samples : {1, 2}) {
        for (const Case& c : cases) {
            std::vector<uint32_t> pixels(640 * 480);
            Rasteriser rasteriser;
            rasteriser.bind(pixels.data(), 640, 480, samples);
            rasteriser.clear(kBlackSky);
            const int object = rasteriser.draw(chair, camera, {1, 1, 1}, 0, &c.pixel);
            const std::string name =
                object == qo::kNoObject ? "(nothing)" : chair.objectNames.at(static_cast<size_t>(object));
            EXPECT_EQ(c.expected ? c.expected : "(nothing)", name) << c.pixel.x << "," << c.pixel.y << " " << samples;
        }
    }
}

TEST(DemoRasteriser, DrawsNothingForAModelScaleThatIsNotARealSize) {
    // The scale comes from a launch parameter, which may say anything.
    const float infinity = std::numeric_limits<float>::infinity();
    const float notANumber = std::numeric_limits<float>::quiet_NaN();
    const Vec3 scales[] = {{0, 0, 0}, {infinity, 1, 1}, {1, -infinity, 1}, {notANumber, 1, 1}, {1, 1, notANumber}};
    const Scene chair = qo::buildScene(0);
    const Camera camera = qo::overviewCamera(chair.radius);
    for (const Vec3& scale : scales) {
        for (int samples : {1, 2}) {
            const Picture picture = render(chair, camera, 64, 48, samples, scale);
            for (uint32_t colour : picture.pixels)
                ASSERT_EQ(kBlackSky, colour) << scale.x << "," << scale.y << "," << scale.z << " " << samples;
        }
    }
}

}  // namespace
