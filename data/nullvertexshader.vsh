// Mesh vertices in one flat colour: the ambient, texture and glow passes. The texture stages
// combine the colour with the material's textures.
uniform mat4 worldViewProj;
uniform vec4 diffuseColor;

void main()
{
    oPos = inPosition * worldViewProj;
    oD0 = diffuseColor;
    oD1 = vec4(0.0);
    oT0 = inTexCoord0;
}
