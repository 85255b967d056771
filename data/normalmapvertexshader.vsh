// One point light per pass. The texture stages take:
//   oT0  the normal map's coordinates,
//   oD0  the direction to the light in tangent space, packed into 0..1 for the dot-product stage,
//   oT1  the vertex's place inside the light's reach, -1..1 across it, for the attenuation volume,
//   oD1  the light's colour, modulated in by the last stage.
// The light is brought into object space so that the mesh's own tangent frame can be used.
uniform mat4 worldViewProj;
uniform mat4 invWorld;
uniform vec4 lightPosition;
uniform vec4 diffuseColor;
uniform float radius;  // 1 / reach

void main()
{
    oPos = inPosition * worldViewProj;
    oT0 = inTexCoord0;

    vec3 lightInObject = (vec4(lightPosition.xyz, 1.0) * invWorld).xyz;
    vec3 toLight = lightInObject - inPosition.xyz;
    vec3 tangentSpace = vec3(dot(toLight, inTangent.xyz), dot(toLight, inBinormal.xyz), dot(toLight, inNormal.xyz));
    float len = length(tangentSpace);
    vec3 direction = len > 0.0 ? tangentSpace / len : vec3(0.0, 0.0, 1.0);
    oD0 = vec4(direction * 0.5 + 0.5, 1.0);

    oT1 = vec4(-toLight * radius, 1.0);
    oD1 = vec4(diffuseColor.rgb, 1.0);
}
