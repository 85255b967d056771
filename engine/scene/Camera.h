#pragma once

#include "engine/math/Matrix.h"
#include "engine/math/Vec4.h"

// The renderer's one camera. Game code aims it every frame; the renderer calls Update at the
// start of the frame to build the matrices and hand them to the device.
class Camera {
public:
    static constexpr float kNearPlane = 2.0f;
    static constexpr float kFarPlane = 5000.0f;

    Camera();

    void SetProjection(float fieldOfView, float aspect);
    void SetLook(const Vec4& eye, const Vec4& target, Vec4 up);

    // Builds projection (from the stored field of view and aspect, so that a display of any
    // shape shows an unstretched picture), view and view × projection, and sets the first two
    // as the current device's transforms.
    void Update();

    float FieldOfView() const { return fieldOfView_; }
    float Aspect() const { return aspect_; }
    const Vec4& Eye() const { return eye_; }
    const Vec4& Target() const { return target_; }
    const Vec4& Up() const { return up_; }
    const Matrix& View() const { return view_; }
    const Matrix& Projection() const { return projection_; }
    const Matrix& ViewProjection() const { return viewProjection_; }

private:
    float fieldOfView_;
    float aspect_ = 1.0f;
    Vec4 eye_{0.0f, 0.0f, 0.0f, 1.0f};
    Vec4 target_{0.0f, 0.0f, 1.0f, 0.0f};
    Vec4 up_{0.0f, 1.0f, 0.0f, 1.0f};
    Matrix view_;
    Matrix projection_;
    Matrix viewProjection_;
};
