#include "tools/importer/AxisConversion.h"

Vec4 AxisConversion::Point(const Vec4& source) const
{
    // Adding 0 turns the −0 of a mirrored 0 into 0.
    return {source.x * scale_ + 0.0f, source.y * scale_ + 0.0f, -source.z * scale_ + 0.0f, 1.0f};
}

Vec4 AxisConversion::Direction(const Vec4& source)
{
    return {source.x, source.y, -source.z, 0.0f};
}

Matrix AxisConversion::Frame() const
{
    return Matrix::Scaling(scale_, scale_, -scale_);
}

Matrix AxisConversion::Transform(const Matrix& source) const
{
    const Matrix inverseFrame = Matrix::Scaling(1.0f / scale_, 1.0f / scale_, -1.0f / scale_);
    return inverseFrame * source * Frame();
}

Matrix RowForm(const aiMatrix4x4& m)
{
    const float* rows[4] = {&m.a1, &m.b1, &m.c1, &m.d1};
    Matrix out;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) out(c, r) = rows[r][c];
    }
    return out;
}
