#pragma once

class Camera;
class SceneObject;
struct Matrix;
struct PointLight;

// What a model hands its objects, lights and camera choice to each frame: the renderer. Kept
// as an interface so that the scene layer needs nothing of the renderer's, and tests can
// record what a model submits.
class SceneSink {
public:
    virtual ~SceneSink() = default;

    // The object with its world matrix, once per object and frame.
    virtual void AddObject(SceneObject& object, const Matrix& world) = 0;
    // The light is referred to, not copied: it must live until the frame is drawn.
    virtual void AddLight(PointLight* light) = 0;
    // The camera the frame is drawn through.
    virtual Camera& GetCamera() = 0;
    // The display's width / height.
    virtual float DisplayAspect() const = 0;
};
