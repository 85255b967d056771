// harntool devicetest: a directional light into the vertex colour.
uniform mat4 worldViewProj;
uniform mat4 world;
uniform vec4 lightDirection;  // towards the light, in world space
uniform vec4 diffuseColor;

void main()
{
    oPos = inPosition * worldViewProj;
    vec3 normal = normalize((vec4(inNormal, 0.0) * world).xyz);
    float lit = 0.3 + 0.7 * max(dot(normal, normalize(lightDirection.xyz)), 0.0);
    oD0 = vec4(diffuseColor.rgb * lit, diffuseColor.a);
    oT0 = inTexCoord0;
}
