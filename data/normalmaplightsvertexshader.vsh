// Up to eight point lights in one pass: LIGHTS of them (0 to 8), defined when the shader is
// compiled. For each light the texture stages' inputs of normalmapvertexshader.vsh, worked out the
// same way: the direction to the light in tangent space, packed into 0..1 (light 0's in oD0 as
// there, lights 1 to 3 in oT5 to oT7, lights 4 to 7 in oT8 to oT11), and the vertex's place
// inside the light's reach, -1..1 across it, for the attenuation volume (oT1 to oT4, then oT12 to
// oT15). oT0 carries the normal map's coordinates. lightPositions holds a light a row
// (x, y, z, 1) in the object's space, moreLightPositions lights 4 to 7; lightRadii and
// moreLightRadii the reciprocal of each reach.
uniform mat4 worldViewProj;
uniform mat4 lightPositions;
uniform vec4 lightRadii;
#if LIGHTS > 4
uniform mat4 moreLightPositions;
uniform vec4 moreLightRadii;
#endif

void Light(vec4 position, float inverseReach, out vec4 direction, out vec4 place)
{
    vec3 toLight = position.xyz - inPosition.xyz;
    vec3 tangentSpace = vec3(dot(toLight, inTangent.xyz), dot(toLight, inBinormal.xyz), dot(toLight, inNormal.xyz));
    float len = length(tangentSpace);
    vec3 unit = len > 0.0 ? tangentSpace / len : vec3(0.0, 0.0, 1.0);
    direction = vec4(unit * 0.5 + 0.5, 1.0);
    place = vec4(-toLight * inverseReach, 1.0);
}

void main()
{
    oPos = inPosition * worldViewProj;
    oT0 = inTexCoord0;
#if LIGHTS > 0
    mat4 rows = transpose(lightPositions);
    Light(rows[0], lightRadii.x, oD0, oT1);
#endif
#if LIGHTS > 1
    Light(rows[1], lightRadii.y, oT5, oT2);
#endif
#if LIGHTS > 2
    Light(rows[2], lightRadii.z, oT6, oT3);
#endif
#if LIGHTS > 3
    Light(rows[3], lightRadii.w, oT7, oT4);
#endif
#if LIGHTS > 4
    mat4 moreRows = transpose(moreLightPositions);
    Light(moreRows[0], moreLightRadii.x, oT8, oT12);
#endif
#if LIGHTS > 5
    Light(moreRows[1], moreLightRadii.y, oT9, oT13);
#endif
#if LIGHTS > 6
    Light(moreRows[2], moreLightRadii.z, oT10, oT14);
#endif
#if LIGHTS > 7
    Light(moreRows[3], moreLightRadii.w, oT11, oT15);
#endif
}
