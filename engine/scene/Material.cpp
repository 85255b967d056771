#include "engine/scene/Material.h"

#include "engine/scene/SceneObject.h"

Material::Material(const Material& other)
    : ambient(other.ambient),
      diffuse(other.diffuse),
      bumpMap(other.bumpMap),
      texture(other.texture),
      alphaMask(other.alphaMask),
      glow(other.glow)
{
}

Material::~Material()
{
    for (SceneObject* object : users) object->ForgetOwner();
}
