#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "tools/content/kit/NormalMap.h"
#include "tools/content/kit/Parts.h"
#include "tools/content/kit/SheetPainter.h"

namespace {

V3 Position(const MeshVertex& v) { return {v.position[0], v.position[1], v.position[2]}; }
V3 Normal(const MeshVertex& v) { return {v.normal[0], v.normal[1], v.normal[2]}; }

TrimSheet TwoBands() { return TrimSheet(64, {{BandKind::Plates, 32, 4.0f, {}}, {BandKind::Edge, 8, 1.0f, {}}}); }

// Front faces turn counter-clockwise towards the eye in the engine's left-handed world: the
// right-handed normal of a front face points into the part.
TEST(MeshKit, EveryFaceOfAPartFacesOutwardsHoweverItIsPlaced)
{
    const TrimSheet sheet = TwoBands();
    const Frame frames[] = {Frame{}, Frame::MirrorX(), Frame::TurnedY({5, 1, -2}, 0.7f), Frame::MirrorX().Within(Frame::TurnedY({}, 2.0f))};
    const struct {
        void (*build)(MeshBuilder&);
        V3 centre;
    } kParts[] = {
        {[](MeshBuilder& m) { parts::BevelBox(m, {-2, -1, -3}, {2, 1, 3}, 0.3f, {0, 0, 0, 1, {0, 0, 1}}); }, {0, 0, 0}},
        {[](MeshBuilder& m) { parts::Cylinder(m, {0, 2, 0}, {0, 4, 0}, 1.0f, 0.5f, 8, 0, 1, 1); }, {0, 3, 0}},
        {[](MeshBuilder& m) { parts::Prism(m, {{-1, 0, -1}, {2, 0, 0}, {0, 0, 2}}, 0, 1, 0.2f, {0, 0, 0, 1, {0, 0, 1}}); }, {0.3f, 0.5f, 0.3f}},
    };
    for (const Frame& frame : frames) {
        for (const auto& part : kParts) {
            MeshBuilder mesh(&sheet);
            mesh.SetFrame(frame);
            part.build(mesh);
            const V3 centre = frame.Point(part.centre);
            const auto& v = mesh.Vertices();
            const ModelFileObject object = mesh.ToObject(0);
            ASSERT_GT(object.indices.size(), 0u);
            for (size_t i = 0; i < object.indices.size(); i += 3) {
                const V3 a = Position(v[object.indices[i]]), b = Position(v[object.indices[i + 1]]), c = Position(v[object.indices[i + 2]]);
                const V3 front = -Cross(b - a, c - a);
                EXPECT_GT(Dot(front, Normal(v[object.indices[i]])), 0.0f) << "triangle " << i / 3;
                EXPECT_GT(Dot(front, (a + b + c) / 3.0f - centre), 0.0f) << "triangle " << i / 3 << " faces inwards";
            }
        }
    }
}

TEST(MeshKit, FacesOfAnySizeKeepTheirTextureInsideTheirBand)
{
    const TrimSheet sheet = TwoBands();
    const float sizes[] = {0.2f, 1.0f, 5.0f, 40.0f};
    for (int band = 0; band < sheet.Count(); ++band) {
        for (float size : sizes) {
            MeshBuilder mesh(&sheet);
            mesh.Quad({0, 0, 0}, {size, 0, 0}, {size, 0, size}, {0, 0, size}, {0, 1, 0}, {band, {1, 0, 0}});
            const float top = static_cast<float>(sheet.At(band).y0) / static_cast<float>(sheet.Height());
            const float bottom = static_cast<float>(sheet.At(band).y0 + sheet.At(band).pixels) / static_cast<float>(sheet.Height());
            for (const MeshVertex& v : mesh.Vertices()) {
                EXPECT_GE(v.texCoord[1], top) << "band " << band << ", size " << size;
                EXPECT_LE(v.texCoord[1], bottom) << "band " << band << ", size " << size;
            }
            // A face far wider than its band is cut into strips rather than squeezed.
            if (size > 4.0f * sheet.At(band).across) {
                EXPECT_GT(mesh.TriangleCount(), 2u);
            }
        }
    }
}

// A lying cylinder shares vertices between triangles that face up and triangles that face sideways.
TEST(MeshKit, TakingTheSteepFacesSplitsTrianglesByWhichWayTheyFaceAndLosesNone)
{
    const TrimSheet sheet = TwoBands();
    MeshBuilder mesh(&sheet);
    parts::BevelBox(mesh, {-2, -1, -3}, {2, 1, 3}, 0.3f, {0, 0, 0, 1, {0, 0, 1}});
    parts::Cylinder(mesh, {3, 0, -2}, {3, 0, 2}, 1.0f, 1.0f, 12, 0, 1, 1);
    const size_t before = mesh.TriangleCount();
    const MeshBuilder steep = mesh.TakeSteep(0.5f);
    ASSERT_FALSE(mesh.Empty());
    ASSERT_FALSE(steep.Empty());
    EXPECT_EQ(mesh.TriangleCount() + steep.TriangleCount(), before);
    for (const auto& [part, isSteep] : {std::pair<const MeshBuilder*, bool>{&mesh, false}, {&steep, true}}) {
        const ModelFileObject object = part->ToObject(0);
        for (size_t i = 0; i < object.indices.size(); i += 3) {
            ASSERT_LT(std::max({object.indices[i], object.indices[i + 1], object.indices[i + 2]}), object.vertices.size());
            const V3 a = Position(object.vertices[object.indices[i]]), b = Position(object.vertices[object.indices[i + 1]]),
                     c = Position(object.vertices[object.indices[i + 2]]);
            const float up = Normalized(-Cross(b - a, c - a)).y;
            EXPECT_EQ(up < 0.5f, isSteep) << "triangle " << i / 3 << " faces up by " << up;
        }
    }
}

TEST(PictureKit, RowsOfPartsAddUpToTheWidthSoThatTheyTile)
{
    const struct { int total, min, max; } kCases[] = {{512, 40, 110}, {256, 20, 20}, {100, 60, 90}, {7, 16, 32}};
    for (const auto& c : kCases) {
        const std::vector<int> widths = Partition(c.total, c.min, c.max, 99);
        EXPECT_EQ(std::accumulate(widths.begin(), widths.end(), 0), c.total);
        for (size_t i = 0; i + 1 < widths.size(); ++i) EXPECT_GE(widths[i], std::min(c.min, c.total));
    }
}

TEST(PictureKit, NormalMapsLeanAwayFromRisingGround)
{
    const struct {
        float dx, dy;  // height gained per pixel rightwards and downwards
        int red, green;  // expected sign of the packed x and y, −1, 0 or 1
    } kCases[] = {{0, 0, 0, 0}, {0.5f, 0, -1, 0}, {-0.5f, 0, 1, 0}, {0, 0.5f, 0, -1}};
    for (const auto& c : kCases) {
        Field heights(16, 16);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) heights.At(x, y) = c.dx * static_cast<float>(x) + c.dy * static_cast<float>(y);
        const Picture normals = NormalMapFromHeights(heights, 1.0f);
        const uint8_t* middle = &normals.rgba[(8 * 16 + 8) * 4];  // away from the wrapped edges
        auto sign = [](int packed) { return packed > 130 ? 1 : packed < 126 ? -1 : 0; };
        EXPECT_EQ(sign(middle[0]), c.red);
        EXPECT_EQ(sign(middle[1]), c.green);
        EXPECT_GT(middle[2], 128);
    }
}

}  // namespace
