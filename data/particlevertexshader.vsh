// Camera-facing particles. inPosition.xy is the corner (-1 or 1 on each axis), inTexCoord0 the
// particle's centre (xyz) and size (w). The corner is spread along the camera's right and up
// axes; the texture's top row lies at the top of the particle.
uniform vec4 up;
uniform vec4 right;
uniform mat4 worldViewProjMatrix;

void main()
{
    vec2 corner = inPosition.xy;
    vec3 centre = inTexCoord0.xyz;
    float size = inTexCoord0.w;
    vec3 world = centre + (corner.x * right.xyz + corner.y * up.xyz) * size;
    oPos = vec4(world, 1.0) * worldViewProjMatrix;
    oD0 = inDiffuse;
    oD1 = vec4(0.0);
    oT0 = vec4(corner.x * 0.5 + 0.5, 0.5 - corner.y * 0.5, 0.0, 1.0);
}
