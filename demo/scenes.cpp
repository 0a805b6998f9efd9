#include "scenes.h"

#include <cmath>

#include "vertex_normals.h"

namespace qo {
namespace {

constexpr float kPi = 3.14159265f;

class SceneBuilder {
public:
    explicit SceneBuilder(Scene& scene) : scene_(scene) {}

    int object(const char* name) {
        scene_.objectNames.push_back(name);
        return static_cast<int>(scene_.objectNames.size()) - 1;
    }

    // An axis-aligned box from `low` to `high`, faces wound outwards.
    void box(int id, Vec3 low, Vec3 high, uint32_t colour) {
        const Vec3 p[8] = {{low.x, low.y, low.z},   {high.x, low.y, low.z},   {high.x, high.y, low.z},
                           {low.x, high.y, low.z},  {low.x, low.y, high.z},   {high.x, low.y, high.z},
                           {high.x, high.y, high.z}, {low.x, high.y, high.z}};
        static const int faces[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                                        {3, 7, 6, 2}, {0, 4, 7, 3}, {1, 2, 6, 5}};
        for (const auto& f : faces)
            quad(id, p[f[0]], p[f[1]], p[f[2]], p[f[3]], colour);
    }

    void quad(int id, Vec3 a, Vec3 b, Vec3 c, Vec3 d, uint32_t colour) {
        triangle(id, a, b, c, colour);
        triangle(id, a, c, d, colour);
    }

    void triangle(int id, Vec3 a, Vec3 b, Vec3 c, uint32_t colour) {
        scene_.triangles.push_back({{a, b, c}, colour, id, {}});
    }

    // An upright cylinder of `sides` facets, closed at both ends.
    void cylinder(int id, Vec3 bottomCentre, float radius, float height, int sides, uint32_t colour) {
        const Vec3 top = bottomCentre + Vec3{0, height, 0};
        for (int i = 0; i < sides; ++i) {
            const Vec3 r0 = around(radius, i, sides), r1 = around(radius, i + 1, sides);
            quad(id, bottomCentre + r0, top + r0, top + r1, bottomCentre + r1, colour);
            triangle(id, top + r0, top, top + r1, colour);
            triangle(id, bottomCentre + r0, bottomCentre + r1, bottomCentre, colour);
        }
    }

    // The corner `i` of a regular polygon of `sides` corners, about the origin.
    static Vec3 around(float radius, int i, int sides) {
        const float angle = 2 * kPi * static_cast<float>(i % sides) / static_cast<float>(sides);
        return {radius * std::cos(angle), 0, radius * std::sin(angle)};
    }

private:
    Scene& scene_;
};

void buildChair(Scene& scene) {
    SceneBuilder b(scene);
    const uint32_t wood = 0xB5773A, cushion = 0x2F6FB0;
    const int legs = b.object("legs");
    for (float x : {-0.4f, 0.4f})
        for (float z : {-0.4f, 0.4f})
            b.cylinder(legs, {x, -1.0f, z}, 0.055f, 1.0f, 12, wood);
    b.box(b.object("seat"), {-0.5f, 0.0f, -0.5f}, {0.5f, 0.12f, 0.5f}, cushion);
    b.box(b.object("back"), {-0.5f, 0.12f, 0.38f}, {0.5f, 1.1f, 0.5f}, wood);
    b.box(b.object("floor"), {-1.4f, -1.05f, -1.4f}, {1.4f, -1.0f, 1.4f}, 0x7A7A70);
    scene.radius = 1.6f;
}

void buildRoom(Scene& scene) {
    SceneBuilder b(scene);
    b.box(b.object("floor"), {-3, -1.05f, -3}, {3, -1, 3}, 0x8C6A4A);
    b.box(b.object("back wall"), {-3, -1, 2.9f}, {3, 1.5f, 3}, 0xD8D0B8);
    b.box(b.object("side wall"), {-3, -1, -3}, {-2.9f, 1.5f, 3}, 0xC8C0A8);
    b.box(b.object("table"), {-0.8f, -0.25f, -0.5f}, {0.8f, -0.15f, 0.5f}, 0x6B3E1E);
    const int tableLegs = b.object("table legs");
    for (float x : {-0.75f, 0.65f})
        for (float z : {-0.45f, 0.35f})
            b.box(tableLegs, {x, -1, z}, {x + 0.1f, -0.25f, z + 0.1f}, 0x4A2A12);
    b.box(b.object("cupboard"), {1.6f, -1, 1.6f}, {2.8f, 0.9f, 2.8f}, 0x3C7A4E);
    b.box(b.object("lamp"), {-0.1f, -0.15f, -0.1f}, {0.1f, 0.3f, 0.1f}, 0xF0D040);
    scene.radius = 4.2f;
    scene.walkStart = {0, 0.3f, -2.5f};
}

void buildSpinningObject(Scene& scene) {
    SceneBuilder b(scene);
    // A twelve-sided prism with a roof, coloured by facet.
    const int body = b.object("prism");
    const int sides = 12;
    const Vec3 bottom{0, -0.7f, 0}, eaves{0, 0.5f, 0}, apex{0, 1.2f, 0};
    for (int i = 0; i < sides; ++i) {
        const Vec3 r0 = SceneBuilder::around(1, i, sides), r1 = SceneBuilder::around(1, i + 1, sides);
        const uint32_t colour = (i % 2) ? 0xD04040 : 0xE0A030;
        b.quad(body, bottom + r0, eaves + r0, eaves + r1, bottom + r1, colour);
        b.triangle(body, eaves + r0, apex, eaves + r1, 0x40A0D0);
        b.triangle(body, bottom + r0, bottom + r1, bottom, 0x505050);
    }
    scene.radius = 1.6f;
    scene.spins = true;
    scene.walkStart = {0, 0.2f, -4};
}

}  // namespace

Scene buildScene(int number) {
    Scene scene;
    scene.number = number < 0 ? 0 : number % kSceneCount;
    switch (scene.number) {
    case 0: scene.name = "chair"; buildChair(scene); break;
    case 1: scene.name = "room"; buildRoom(scene); break;
    default: scene.name = "spinner"; buildSpinningObject(scene); break;
    }
    assignVertexNormals(scene.triangles);
    scene.solid = true;
    return scene;
}

}  // namespace qo
