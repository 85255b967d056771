#include "engine/scene/Camera.h"

#include "engine/device/GraphicsDevice.h"

Camera::Camera() : fieldOfView_(Pi() / 2.0f) {}

void Camera::SetProjection(float fieldOfView, float aspect)
{
    fieldOfView_ = fieldOfView;
    aspect_ = aspect;
}

void Camera::SetLook(const Vec4& eye, const Vec4& target, Vec4 up)
{
    eye_ = eye;
    target_ = target;
    up_ = up;
}

void Camera::Update()
{
    projection_ = Matrix::PerspectiveFovLH(fieldOfView_, aspect_, kNearPlane, kFarPlane);
    view_ = Matrix::LookAtLH(eye_, target_, up_);
    viewProjection_ = view_ * projection_;
    GraphicsDevice* device = GraphicsDevice::Current();
    if (device == nullptr) return;
    device->SetTransform(TransformType::Projection, projection_);
    device->SetTransform(TransformType::View, view_);
}
