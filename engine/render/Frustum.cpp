#include "engine/render/Frustum.h"

namespace {

Vec4 PlaneThrough(const Vec4& a, const Vec4& b, const Vec4& c)
{
    Vec4 normal = (b - a).Cross(c - a);
    const float length = normal.Length();
    if (length > 0.0f) normal = normal * (1.0f / length);
    return Vec4(normal.x, normal.y, normal.z, -normal.Dot(a));
}

// Corner triples of each face, listed as bits of the corner index (x: 1, y: 2, depth: 4).
constexpr int kFaceCorners[6][3] = {
    {0, 1, 2},  // near: depth 0
    {4, 5, 6},  // far: depth 1
    {0, 2, 4},  // left: x -1
    {1, 3, 5},  // right: x 1
    {0, 1, 4},  // bottom: y -1
    {2, 3, 6},  // top: y 1
};

}  // namespace

bool InvertMatrix(const Matrix& matrix, Matrix* inverse)
{
    // (k M)⁻¹ = M⁻¹ / k: scaling up lifts a small determinant over Matrix::Invert's threshold.
    float scale = 1.0f;
    for (int attempt = 0; attempt < 6; ++attempt, scale *= 10.0f) {
        Matrix scaled = matrix;
        for (float& e : scaled.m) e *= scale;
        if (scaled.Invert()) {
            for (float& e : scaled.m) e *= scale;
            *inverse = scaled;
            return true;
        }
    }
    return false;
}

bool Frustum::Build(const Matrix& viewProjection)
{
    Matrix inverse;
    if (!InvertMatrix(viewProjection, &inverse)) return false;
    Vec4 world[8];
    for (int i = 0; i < 8; ++i) {
        const Vec4 clip((i & 1) ? 1.0f : -1.0f, (i & 2) ? 1.0f : -1.0f, (i & 4) ? 1.0f : 0.0f, 1.0f);
        const Vec4 p = inverse.Transform(clip);
        if (p.w == 0.0f) return false;
        world[i] = Vec4(p.x / p.w, p.y / p.w, p.z / p.w, 1.0f);
    }
    Vec4 centre(0.0f, 0.0f, 0.0f, 1.0f);
    for (const Vec4& corner : world) centre += corner * 0.125f;
    for (int i = 0; i < 8; ++i) corners[i] = world[i];
    for (int face = 0; face < 6; ++face) {
        const int* c = kFaceCorners[face];
        Vec4 plane = PlaneThrough(world[c[0]], world[c[1]], world[c[2]]);
        // Whichever winding the triple has, the centre of the volume decides the inside.
        if (plane.x * centre.x + plane.y * centre.y + plane.z * centre.z + plane.w < 0.0f) {
            plane = Vec4(-plane.x, -plane.y, -plane.z, -plane.w);
        }
        planes[face] = plane;
    }
    return true;
}

float Frustum::DistanceTo(int plane, const Vec4& point) const
{
    const Vec4& p = planes[plane];
    return p.x * point.x + p.y * point.y + p.z * point.z + p.w;
}

bool Frustum::BoxOutside(const Vec4 points[8]) const
{
    for (int plane = 0; plane < 6; ++plane) {
        bool allOutside = true;
        for (int i = 0; i < 8 && allOutside; ++i) allOutside = DistanceTo(plane, points[i]) < 0.0f;
        if (allOutside) return true;
    }
    return false;
}

bool Frustum::SphereOutside(const Vec4& centre, float radius) const
{
    for (int plane = 0; plane < 6; ++plane) {
        if (DistanceTo(plane, centre) < -radius) return true;
    }
    return false;
}
