#include "vertex_normals.h"

#include <cmath>

namespace qo {
namespace {

constexpr float kSamePoint = 1e-5f;
constexpr float kSameDirection = 0.9999f;

Vec3 faceNormal(const Triangle& t) {
    return normalized(cross(t.corners[1] - t.corners[0], t.corners[2] - t.corners[0]));
}

bool samePoint(Vec3 a, Vec3 b) {
    const Vec3 d = a - b;
    return std::fabs(d.x) < kSamePoint && std::fabs(d.y) < kSamePoint && std::fabs(d.z) < kSamePoint;
}

bool touches(const Triangle& t, Vec3 point) {
    return samePoint(t.corners[0], point) || samePoint(t.corners[1], point) || samePoint(t.corners[2], point);
}

}  // namespace

void assignVertexNormals(std::vector<Triangle>& triangles, float creaseDegrees) {
    const float smoothCosine = std::cos(creaseDegrees * 3.14159265f / 180.0f);
    std::vector<Vec3> faces;
    faces.reserve(triangles.size());
    for (const Triangle& t : triangles)
        faces.push_back(faceNormal(t));

    for (size_t i = 0; i < triangles.size(); ++i) {
        Triangle& t = triangles[i];
        for (int corner = 0; corner < 3; ++corner) {
            // Each flat face counts once, however many triangles make it,
            // and every face is turned to the side this triangle faces: the
            // scenes need not agree on winding.
            std::vector<Vec3> counted;
            Vec3 sum{};
            for (size_t j = 0; j < triangles.size(); ++j) {
                if (triangles[j].object != t.object || !touches(triangles[j], t.corners[corner]))
                    continue;
                const float agreement = dot(faces[i], faces[j]);
                if (std::fabs(agreement) < smoothCosine)
                    continue;
                const Vec3 turned = agreement < 0 ? faces[j] * -1.0f : faces[j];
                bool seen = false;
                for (const Vec3& n : counted)
                    seen |= dot(n, turned) > kSameDirection;
                if (seen)
                    continue;
                counted.push_back(turned);
                sum = sum + turned;
            }
            t.normals[corner] = dot(sum, sum) > 0 ? normalized(sum) : faces[i];
        }
    }
}

}  // namespace qo
