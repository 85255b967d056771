// The screen quad of one blur direction. oT0 is the blur's centre, shifted by half a texel so
// that it lands on texel centres; oT1 the step between neighbouring taps of glowpixelshader.psh,
// along x when hdir is set and along y otherwise. blur is the Gaussian's standard deviation in
// texture coordinates (0.012 spreads about 3 texels of a 256-texel target); the taps lie blur / 2
// apart, so blur 0 leaves the picture as it is.
uniform float blur;
uniform bool hdir;
uniform vec4 offset;  // half a texel: (0.5 / width, 0.5 / height, 0, 1)

void main()
{
    oPos = vec4(inPosition.xyz, 1.0);
    oD0 = vec4(1.0);
    oD1 = vec4(0.0);
    oT0 = vec4(inTexCoord0.xy + offset.xy, 0.0, 1.0);
    vec2 step = hdir ? vec2(blur * 0.5, 0.0) : vec2(0.0, blur * 0.5);
    oT1 = vec4(step, 0.0, 0.0);
}
