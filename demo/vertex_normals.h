#pragma once
// Normals at the corners of a scene's triangles, for smooth shading: a
// corner takes the mean of the faces of its object that meet there at a
// shallow angle, so that a prism's sides shade as one round surface while a
// box keeps its sharp edges.
#include <vector>

#include "scenes.h"

namespace qo {

// Faces meeting at more than this angle keep a sharp edge between them.
constexpr float kCreaseDegrees = 45.0f;

void assignVertexNormals(std::vector<Triangle>& triangles, float creaseDegrees = kCreaseDegrees);

}  // namespace qo
