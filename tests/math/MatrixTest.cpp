#include "engine/math/Matrix.h"

#include <gtest/gtest.h>

namespace {

void ExpectVec(const Vec4& v, float x, float y, float z, float w, float tolerance = 1e-5f)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
    EXPECT_NEAR(v.w, w, tolerance);
}

TEST(Vec4, ArithmeticKeepsThePositionConventions)
{
    const Vec4 a(1, 2, 3, 1), b(4, 5, 6, 1);
    ExpectVec(a + b, 5, 7, 9, 1);  // positions add to a position, not w = 2
    ExpectVec(b - a, 3, 3, 3, 1);
    ExpectVec(-Vec4(1, 2, 3, 0.5f), -1, -2, -3, 0.5f);
    ExpectVec(Vec4(1, 2, 3, 0.5f) * 2.0f, 2, 4, 6, 0.5f);
    Vec4 c(1, 1, 1, 0.25f);
    c += a;
    ExpectVec(c, 2, 3, 4, 0.25f);
    EXPECT_FLOAT_EQ(a.Dot(b), 32.0f);
    ExpectVec(Vec4(1, 0, 0).Cross(Vec4(0, 1, 0)), 0, 0, 1, 1);
    EXPECT_FLOAT_EQ(Vec4(0, 0, 0).Distance(Vec4(3, 4, 0)), 5.0f);
    EXPECT_TRUE(Vec4(1, 2, 3, 1) != Vec4(1, 2, 3, 0));
    EXPECT_FALSE(Vec4(1, 2, 3, 1) != Vec4(1, 2, 3, 1));
}

TEST(Vec4, SetLengthScalesDirectionAndKeepsW)
{
    Vec4 v(3, 0, 4, 0.5f);
    v.SetLength(10.0f);
    ExpectVec(v, 6, 0, 8, 0.5f);
    Vec4 zero(0, 0, 0);
    zero.SetLength(1.0f);
    EXPECT_TRUE(std::isnan(zero.x));
}

TEST(Matrix, TranslationMovesPositionsNotDirectionsAndRotationIsLeftHandedAndComesFirst)
{
    Matrix m;
    m.Translate(Vec4(5, 0, 0, 1));
    ExpectVec(m.Transform(Vec4(1, 2, 3, 1)), 6, 2, 3, 1);
    ExpectVec(m.Transform(Vec4(1, 2, 3, 0)), 1, 2, 3, 0);
    m.Rotate(Pi() / 2.0f, Vec4(0, 1, 0));
    // R × T: the point is rotated about the origin, then moved by (5, 0, 0).
    ExpectVec(m.Transform(Vec4(1, 0, 0, 1)), 5, 0, -1, 1);
    Matrix about_z;
    about_z.Rotate(Pi() / 2.0f, Vec4(0, 0, 2));  // the axis is normalised
    ExpectVec(about_z.Transform(Vec4(1, 0, 0, 1)), 0, 1, 0, 1);
    m.Rotate(1.0f, Vec4(0, 0, 0));  // about no axis at all: the identity
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m.m[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;
}

TEST(Matrix, ProductAppliesTheLeftOperandFirst)
{
    const Matrix t = Matrix::Translation(1, 0, 0);
    const Matrix s = Matrix::Scaling(2, 2, 2);
    ExpectVec((t * s).Transform(Vec4(0, 0, 0, 1)), 2, 0, 0, 1);  // move, then scale
    ExpectVec((s * t).Transform(Vec4(0, 0, 0, 1)), 1, 0, 0, 1);  // scale, then move
    const Matrix c = t * s;
    EXPECT_FLOAT_EQ(c.Column(0).w, 2.0f);
    EXPECT_FLOAT_EQ(c.Row(3).x, 2.0f);
}

TEST(Matrix, InverseUndoesTheTransformButRejectsSmallDeterminantsLeavingTheMatrix)
{
    Matrix m;
    m.Rotate(0.7f, Vec4(1, 2, 3));
    m.Translate(Vec4(4, -5, 6, 1));
    Matrix inverse = m;
    ASSERT_TRUE(inverse.Invert());
    const Matrix product = m * inverse;
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(product.m[i], (i % 5 == 0) ? 1.0f : 0.0f, 1e-5f) << i;
    for (float scale : {0.05f, 0.07f, 0.08f}) {
        Matrix scaled = Matrix::Scaling(scale, scale, scale);
        const Matrix before = scaled;
        EXPECT_EQ(scaled.Invert(), scale > 0.075f) << "scale " << scale;
        if (scale > 0.075f) EXPECT_NEAR(scaled.m[0], 1.0f / scale, 1e-3f);
        else for (int i = 0; i < 16; ++i) EXPECT_EQ(scaled.m[i], before.m[i]) << i;
    }
}

TEST(Matrix, PerspectiveMapsNearToZeroAndFarToOne)
{
    const float zNear = 2.0f, zFar = 5000.0f;
    const Matrix p = Matrix::PerspectiveFovLH(Pi() / 4.0f, 1.33f, zNear, zFar);
    const Vec4 onNear = p.Transform(Vec4(0, 0, zNear, 1));
    const Vec4 onFar = p.Transform(Vec4(0, 0, zFar, 1));
    EXPECT_NEAR(onNear.z / onNear.w, 0.0f, 1e-6f);
    EXPECT_NEAR(onFar.z / onFar.w, 1.0f, 1e-5f);
    // A point at the top edge of the field of view lands on y = 1 after the divide.
    const Vec4 top = p.Transform(Vec4(0, std::tan(Pi() / 8.0f) * 10.0f, 10.0f, 1));
    EXPECT_NEAR(top.y / top.w, 1.0f, 1e-5f);
    const Vec4 right = p.Transform(Vec4(std::tan(Pi() / 8.0f) * 10.0f * 1.33f, 0, 10.0f, 1));
    EXPECT_NEAR(right.x / right.w, 1.0f, 1e-5f);
}

TEST(Matrix, LookAtPutsTheTargetOnThePositiveZAxis)
{
    const Vec4 eye(0, 200, 0), at(0, 0, 0), up(0, 0, 1);
    const Matrix v = Matrix::LookAtLH(eye, at, up);
    ExpectVec(v.Transform(at), 0, 0, 200, 1, 1e-4f);
    ExpectVec(v.Transform(eye), 0, 0, 0, 1, 1e-4f);
    // Looking down with +z up on screen: world +z is view +y, world +x is view +x.
    ExpectVec(v.Transform(Vec4(0, 0, 10)), 0, 10, 200, 1, 1e-4f);
    ExpectVec(v.Transform(Vec4(10, 0, 0)), 10, 0, 200, 1, 1e-4f);
}

}  // namespace
