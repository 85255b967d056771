#pragma once

#include <vector>

#include "tools/content/kit/MeshBuilder.h"
#include "tools/content/kit/Random.h"

// Parametric parts that models are assembled from. Each part is built in the builder's current
// frame; bands name the trim sheet's bands (see TrimSheet). A band of kNone leaves that side out:
// faces nobody sees from above need no triangles.
namespace parts {

constexpr int kNone = -1;

// Which band each side of a box-like part shows.
struct Skin {
    int top = 0;
    int sides = 0;
    int bottom = kNone;
    int edges = 0;                // chamfers and rims
    V3 along{0.0f, 0.0f, 1.0f};  // the direction u runs along on every face
};

// A box between two corners, with chamfered edges and corners of the given width (0: sharp).
void BevelBox(MeshBuilder& mesh, const V3& lo, const V3& hi, float bevel, const Skin& skin);
// A beam of the given width (x) and height (y) from a to b, its top turned towards up.
void Beam(MeshBuilder& mesh, const V3& a, const V3& b, float width, float height, float bevel, const Skin& skin,
          const V3& up = {0, 1, 0});
// A convex outline (x, z of each point) extruded from y0 to y1, the top rim chamfered by bevel.
void Prism(MeshBuilder& mesh, const std::vector<V3>& outline, float y0, float y1, float bevel, const Skin& skin);

// A ring of a loft: points (x, y) around the z axis at one z, the same count in every ring.
struct Ring {
    float z = 0.0f;
    std::vector<V3> points;  // z of each point is ignored
};
// Rings joined by flat quads; sideBands gives a band per side (point j to j + 1), skin.top the
// band of the caps (kNone: open end).
void Loft(MeshBuilder& mesh, const std::vector<Ring>& rings, const std::vector<int>& sideBands, int frontCap,
          int backCap);
// An outline of count points on an ellipse of half-widths rx, ry, the first on +x, flattened
// below by bottom (0..1: how far the lower half is squeezed).
std::vector<V3> EllipseOutline(int count, float rx, float ry, float bottom = 1.0f);

// A round part from a (radius ra) to b (radius rb), smooth-shaded, u along its axis and the band
// wrapped once around it; capA and capB give the bands of flat end caps (kNone: open).
void Cylinder(MeshBuilder& mesh, const V3& a, const V3& b, float ra, float rb, int segments, int band, int capA,
              int capB);
// A pipe along a path of points: straight runs with a collar at every joint and end.
void Pipe(MeshBuilder& mesh, const std::vector<V3>& path, float radius, int segments, int band, int collarBand);
// A girder from a to b: two rails width apart and braces zig-zagging between them every bay.
void Truss(MeshBuilder& mesh, const V3& a, const V3& b, float width, float rail, int bays, const Skin& skin);
// Small boxes and stacks scattered over the rectangle [x0, x1] × [z0, z1] at height y.
void Greebles(MeshBuilder& mesh, float x0, float x1, float z0, float z1, float y, int count, float size, Random& random,
              const Skin& skin);

}  // namespace parts
