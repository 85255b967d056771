#include "tools/content/kit/Parts.h"
#include "tools/content/kit/Vec3.h"

#include <algorithm>
#include <cmath>

namespace parts {

namespace {

constexpr float kTau = 6.28318530717958647692f;

V3 Axis(int axis, float length)
{
    return axis == 0 ? V3{length, 0, 0} : axis == 1 ? V3{0, length, 0} : V3{0, 0, length};
}

float Component(const V3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

int FaceBand(const Skin& skin, int axis, int sign)
{
    if (axis != 1) return skin.sides;
    return sign > 0 ? skin.top : skin.bottom;
}

// The 2D outward normal (x, z) of the edge a → b of a polygon around centre.
V3 EdgeNormal(const V3& a, const V3& b, const V3& centre)
{
    V3 n = Normalized(V3{b.z - a.z, 0, a.x - b.x});
    if (Dot(n, (a + b) * 0.5f - centre) < 0.0f) n = -n;
    return n;
}

V3 Centroid(const std::vector<V3>& points)
{
    V3 sum;
    for (const V3& p : points) sum += p;
    return sum / static_cast<float>(points.size());
}

}  // namespace

void BevelBox(MeshBuilder& mesh, const V3& lo, const V3& hi, float bevel, const Skin& skin)
{
    const V3 c = (lo + hi) * 0.5f;
    const V3 h = (hi - lo) * 0.5f;
    bevel = std::clamp(bevel, 0.0f, 0.9f * std::min({h.x, h.y, h.z}));
    // The corner of the inner box of axis a pushed out to the full half-size.
    auto corner = [&](int outAxis, int sx, int sy, int sz) {
        const int signs[3] = {sx, sy, sz};
        V3 p = c;
        for (int a = 0; a < 3; ++a) {
            const float reach = Component(h, a) - (a == outAxis ? 0.0f : bevel);
            p += Axis(a, reach * static_cast<float>(signs[a]));
        }
        return p;
    };
    // Main faces.
    for (int a = 0; a < 3; ++a) {
        for (int s : {-1, 1}) {
            const int band = FaceBand(skin, a, s);
            if (band == kNone) continue;
            const int b = (a + 1) % 3, d = (a + 2) % 3;
            std::vector<V3> quad;
            for (auto [sb, sd] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}) {
                int signs[3];
                signs[a] = s;
                signs[b] = sb;
                signs[d] = sd;
                quad.push_back(corner(a, signs[0], signs[1], signs[2]));
            }
            mesh.Face(quad, Axis(a, static_cast<float>(s)), {band, skin.along});
        }
    }
    if (bevel <= 0.0f) return;
    // Chamfers along the twelve edges: between faces of axes a and b, running along axis d.
    for (int a = 0; a < 3; ++a) {
        const int b = (a + 1) % 3, d = (a + 2) % 3;
        for (int sa : {-1, 1}) {
            for (int sb : {-1, 1}) {
                if ((a == 1 && sa < 0 && skin.bottom == kNone) || (b == 1 && sb < 0 && skin.bottom == kNone)) continue;
                std::vector<V3> quad;
                for (auto [fromA, sd] : {std::pair{true, -1}, {true, 1}, {false, 1}, {false, -1}}) {
                    int signs[3];
                    signs[a] = sa;
                    signs[b] = sb;
                    signs[d] = sd;
                    quad.push_back(corner(fromA ? a : b, signs[0], signs[1], signs[2]));
                }
                mesh.Face(quad, Axis(a, static_cast<float>(sa)) + Axis(b, static_cast<float>(sb)), {skin.edges, Axis(d, 1)});
            }
        }
    }
    // Corner triangles.
    for (int sx : {-1, 1})
        for (int sy : {-1, 1})
            for (int sz : {-1, 1}) {
                if (sy < 0 && skin.bottom == kNone) continue;
                mesh.Face({corner(0, sx, sy, sz), corner(1, sx, sy, sz), corner(2, sx, sy, sz)},
                          V3{static_cast<float>(sx), static_cast<float>(sy), static_cast<float>(sz)}, {skin.edges, skin.along});
            }
}

void Beam(MeshBuilder& mesh, const V3& a, const V3& b, float width, float height, float bevel, const Skin& skin, const V3& up)
{
    const float length = Length(b - a);
    if (length < 1e-4f) return;
    const Frame outer = mesh.CurrentFrame();
    mesh.SetFrame(Frame::Along((a + b) * 0.5f, b - a, up).Within(outer));
    Skin along = skin;
    along.along = {0, 0, 1};
    BevelBox(mesh, {-width * 0.5f, -height * 0.5f, -length * 0.5f}, {width * 0.5f, height * 0.5f, length * 0.5f}, bevel, along);
    mesh.SetFrame(outer);
}

void Prism(MeshBuilder& mesh, const std::vector<V3>& outline, float y0, float y1, float bevel, const Skin& skin)
{
    const size_t n = outline.size();
    if (n < 3) return;
    const V3 centre = Centroid(outline);
    // The outline moved inwards by bevel: each edge offset along its normal, corners where the
    // offset edges meet.
    std::vector<V3> inner(n);
    for (size_t i = 0; i < n; ++i) {
        const V3& prev = outline[(i + n - 1) % n];
        const V3& here = outline[i];
        const V3& next = outline[(i + 1) % n];
        const V3 n1 = EdgeNormal(prev, here, centre), n2 = EdgeNormal(here, next, centre);
        const float scale = bevel / std::max(0.2f, 1.0f + Dot(n1, n2));
        inner[i] = here - (n1 + n2) * scale;
    }
    const float rimY = y1 - bevel;
    std::vector<V3> top, bottom;
    for (size_t i = 0; i < n; ++i) {
        top.push_back({inner[i].x, y1, inner[i].z});
        bottom.push_back({outline[i].x, y0, outline[i].z});
    }
    if (skin.top != kNone) mesh.Face(top, {0, 1, 0}, {skin.top, skin.along});
    if (skin.bottom != kNone) mesh.Face(bottom, {0, -1, 0}, {skin.bottom, skin.along});
    for (size_t i = 0; i < n; ++i) {
        const size_t j = (i + 1) % n;
        const V3 out = EdgeNormal(outline[i], outline[j], centre);
        const V3 a{outline[i].x, y0, outline[i].z}, b{outline[j].x, y0, outline[j].z};
        const V3 c{outline[j].x, rimY, outline[j].z}, d{outline[i].x, rimY, outline[i].z};
        mesh.Quad(a, b, c, d, out, {skin.sides, outline[j] - outline[i]});
        if (bevel > 0.0f) mesh.Quad(d, c, top[j], top[i], out + V3{0, 1, 0}, {skin.edges, outline[j] - outline[i]});
    }
}

void Loft(MeshBuilder& mesh, const std::vector<Ring>& rings, const std::vector<int>& sideBands, int frontCap, int backCap)
{
    if (rings.size() < 2) return;
    const size_t n = rings[0].points.size();
    auto at = [&](size_t ring, size_t j) {
        const V3& p = rings[ring].points[j % n];
        return V3{p.x, p.y, rings[ring].z};
    };
    for (size_t r = 0; r + 1 < rings.size(); ++r) {
        for (size_t j = 0; j < n; ++j) {
            const int band = sideBands[j % sideBands.size()];
            if (band == kNone) continue;
            const V3 a = at(r, j), b = at(r, j + 1), c = at(r + 1, j + 1), d = at(r + 1, j);
            const V3 mid = (a + b + c + d) * 0.25f;
            mesh.Quad(a, b, c, d, V3{mid.x, mid.y, 0}, {band, {0, 0, 1}});
        }
    }
    auto cap = [&](size_t ring, int band, float direction) {
        if (band == kNone) return;
        std::vector<V3> polygon;
        for (size_t j = 0; j < n; ++j) polygon.push_back(at(ring, j));
        mesh.Face(polygon, {0, 0, direction}, {band, {1, 0, 0}});
    };
    cap(0, backCap, -1.0f);
    cap(rings.size() - 1, frontCap, 1.0f);
}

std::vector<V3> EllipseOutline(int count, float rx, float ry, float bottom)
{
    std::vector<V3> points;
    for (int i = 0; i < count; ++i) {
        const float angle = kTau * static_cast<float>(i) / static_cast<float>(count);
        const float y = Sine(angle) * ry;
        points.push_back({Cosine(angle) * rx, y < 0.0f ? y * bottom : y, 0});
    }
    return points;
}

void Cylinder(MeshBuilder& mesh, const V3& a, const V3& b, float ra, float rb, int segments, int band, int capA, int capB)
{
    const float length = Length(b - a);
    if (length < 1e-4f || segments < 3) return;
    const Frame outer = mesh.CurrentFrame();
    mesh.SetFrame(Frame::Along(a, b - a).Within(outer));
    const float slope = (ra - rb) / length;  // the normal leans forwards on a narrowing part
    const float start = Dot(outer.Point(a), Normalized(outer.Direction(b - a)));
    std::vector<uint32_t> ringA, ringB;
    for (int j = 0; j <= segments; ++j) {
        const float angle = kTau * static_cast<float>(j) / static_cast<float>(segments);
        const V3 radial{Cosine(angle), Sine(angle), 0};
        const V3 normal = Normalized(radial + V3{0, 0, slope});
        const float v = mesh.V(band, static_cast<float>(j) / static_cast<float>(segments));
        ringA.push_back(mesh.Vertex(radial * ra, normal, mesh.U(band, start), v));
        ringB.push_back(mesh.Vertex(radial * rb + V3{0, 0, length}, normal, mesh.U(band, start + length), v));
    }
    for (int j = 0; j < segments; ++j) {
        mesh.Triangle(ringA[j], ringA[j + 1], ringB[j + 1]);
        mesh.Triangle(ringA[j], ringB[j + 1], ringB[j]);
    }
    auto cap = [&](float radius, float z, int capBand, float direction) {
        if (capBand == kNone || radius <= 0.0f) return;
        std::vector<V3> polygon;
        for (int j = 0; j < segments; ++j) {
            const float angle = kTau * static_cast<float>(j) / static_cast<float>(segments);
            polygon.push_back({Cosine(angle) * radius, Sine(angle) * radius, z});
        }
        mesh.Face(polygon, {0, 0, direction}, {capBand, {1, 0, 0}});
    };
    cap(ra, 0.0f, capA, -1.0f);
    cap(rb, length, capB, 1.0f);
    mesh.SetFrame(outer);
}

void Pipe(MeshBuilder& mesh, const std::vector<V3>& path, float radius, int segments, int band, int collarBand)
{
    for (size_t i = 0; i + 1 < path.size(); ++i) Cylinder(mesh, path[i], path[i + 1], radius, radius, segments, band, kNone, kNone);
    for (size_t i = 0; i < path.size(); ++i) {
        // A collar sits across each joint, along the mean of the runs that meet there.
        const V3 in = i > 0 ? Normalized(path[i] - path[i - 1]) : V3{};
        const V3 out = i + 1 < path.size() ? Normalized(path[i + 1] - path[i]) : V3{};
        const V3 direction = Normalized(in + out);
        const float half = radius * 0.6f;
        const bool end = i == 0 || i + 1 == path.size();
        Cylinder(mesh, path[i] - direction * half, path[i] + direction * half, radius * 1.3f, radius * 1.3f, segments, collarBand,
                 end ? collarBand : kNone, end ? collarBand : kNone);
    }
}

void Truss(MeshBuilder& mesh, const V3& a, const V3& b, float width, float rail, int bays, const Skin& skin)
{
    const V3 along = b - a;
    const V3 side = Normalized(Cross(V3{0, 1, 0}, along)) * (width * 0.5f);
    Beam(mesh, a - side, b - side, rail, rail, rail * 0.2f, skin);
    Beam(mesh, a + side, b + side, rail, rail, rail * 0.2f, skin);
    bays = std::max(1, bays);
    for (int i = 0; i <= bays; ++i) {
        const V3 p = a + along * (static_cast<float>(i) / static_cast<float>(bays));
        Beam(mesh, p - side, p + side, rail * 0.7f, rail * 0.7f, 0.0f, skin);
        if (i < bays) {
            const V3 q = a + along * (static_cast<float>(i + 1) / static_cast<float>(bays));
            const V3 from = (i % 2 == 0) ? p - side : p + side;
            const V3 to = (i % 2 == 0) ? q + side : q - side;
            Beam(mesh, from, to, rail * 0.5f, rail * 0.5f, 0.0f, skin);
        }
    }
}

void Greebles(MeshBuilder& mesh, float x0, float x1, float z0, float z1, float y, int count, float size, Random& random,
              const Skin& skin)
{
    for (int i = 0; i < count; ++i) {
        const float w = size * random.Range(0.4f, 1.0f), d = size * random.Range(0.4f, 1.2f);
        const float h = size * random.Range(0.2f, 0.8f);
        const float x = random.Range(x0 + w * 0.5f, std::max(x0 + w * 0.5f, x1 - w * 0.5f));
        const float z = random.Range(z0 + d * 0.5f, std::max(z0 + d * 0.5f, z1 - d * 0.5f));
        if (random.Chance(0.25f)) {
            Cylinder(mesh, {x, y, z}, {x, y + h * 1.4f, z}, w * 0.45f, w * 0.4f, 8, skin.sides, kNone, skin.top);
        } else {
            BevelBox(mesh, {x - w * 0.5f, y, z - d * 0.5f}, {x + w * 0.5f, y + h, z + d * 0.5f}, std::min(w, h) * 0.15f, skin);
        }
    }
}

}  // namespace parts
