#pragma once
// The built-in scenes: boxes, cylinders and prisms in a few colours, each
// triangle tagged with the object it belongs to so that a click can name it,
// with a normal at each corner for smooth shading.
#include <cstdint>
#include <string>
#include <vector>

#include "geometry.h"

namespace qo {

struct Triangle {
    Vec3 corners[3];
    uint32_t colour;  // 0xRRGGBB
    int object;       // index into Scene::objectNames
    Vec3 normals[3];  // unit length, on the side the corners' winding faces
};

struct Scene {
    int number = 0;
    const char* name = "";
    std::vector<Triangle> triangles;
    std::vector<std::string> objectNames;
    float radius = 1.0f;   // how far from the centre the model reaches
    bool spins = false;    // turns by itself while shown
    // Every object is closed and each triangle's cross(b - a, c - a) points
    // out of it: a face turned away from the camera is hidden.
    bool solid = false;
    Vec3 walkStart{0, 0.2f, -3};  // where a walking visitor first stands, looking ahead (+z)
};

constexpr int kSceneCount = 3;

// Scene `number` modulo the count (negative numbers pick the first).
Scene buildScene(int number);

}  // namespace qo
