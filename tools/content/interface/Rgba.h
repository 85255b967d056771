#pragma once

// A straight (not premultiplied) colour with coverage, each component 0..1; painters may let
// r, g and b run above 1 for light that is clipped when the picture is written.
struct Rgba {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;
};

inline Rgba Lerp(const Rgba& from, const Rgba& to, float t)
{
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
            from.a + (to.a - from.a) * t};
}

inline Rgba Scaled(const Rgba& colour, float brightness)
{
    return {colour.r * brightness, colour.g * brightness, colour.b * brightness, colour.a};
}

inline Rgba WithAlpha(const Rgba& colour, float alpha) { return {colour.r, colour.g, colour.b, alpha}; }

// Perceived brightness (Rec. 601 weights) of the colour's r, g and b.
inline float Luminance(const Rgba& colour) { return 0.299f * colour.r + 0.587f * colour.g + 0.114f * colour.b; }
