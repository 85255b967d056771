#pragma once

#include <assimp/matrix4x4.h>

#include "engine/math/Matrix.h"
#include "engine/math/Vec4.h"

// From the source's frame to the engine's. The reader hands back every format right-handed with
// y up (and column vectors); the engine is left-handed with y up (and row vectors). Mirroring z
// maps one handedness onto the other; the import's scale applies at the same time.
class AxisConversion {
public:
    explicit AxisConversion(float scale) : scale_(scale) {}

    // A source point (w = 1) in the engine's frame: (s·x, s·y, −s·z).
    Vec4 Point(const Vec4& source) const;
    // A source direction in the engine's frame, unscaled: (x, y, −z).
    static Vec4 Direction(const Vec4& source);
    // A source transform (row-vector form) as the engine's: K⁻¹ × G × K with K = diag(s, s, −s, 1),
    // so that a point converted and then moved by the result lands where the source point,
    // moved by G, lands once converted.
    Matrix Transform(const Matrix& source) const;
    // K itself, the change of frame for a source mesh's vertices.
    Matrix Frame() const;

    float Scale() const { return scale_; }

private:
    float scale_;
};

// The reader's column-vector matrix as the engine's row-vector one (its transpose).
Matrix RowForm(const aiMatrix4x4& columnForm);
