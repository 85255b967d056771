// The screen quad of one blur direction. oT0 is the blur's centre, shifted by half a texel so
// that it lands on texel centres; oT1 the step between neighbouring taps of glowpixelshader.psh,
// along x when hdir is set and along y otherwise. The taps lie blur / 2 texels apart, so the
// Gaussian's standard deviation (two taps) is blur texels: blur 0 leaves the picture as it is.
uniform float blur;
uniform bool hdir;
uniform vec4 offset;  // half a texel: (0.5 / width, 0.5 / height, 0, 1)

void main()
{
    oPos = vec4(inPosition.xyz, 1.0);
    oD0 = vec4(1.0);
    oD1 = vec4(0.0);
    oT0 = vec4(inTexCoord0.xy + offset.xy, 0.0, 1.0);
    vec2 texel = 2.0 * offset.xy;
    vec2 step = hdir ? vec2(texel.x, 0.0) : vec2(0.0, texel.y);
    oT1 = vec4(step * (blur * 0.5), 0.0, 0.0);
}
