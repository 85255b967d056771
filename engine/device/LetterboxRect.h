#pragma once

// Where a picture of one size is shown on a screen of another without being stretched or cut: as
// large as fits, the same shape, centred, with bars on two sides. Coordinates in screen pixels,
// (0, 0) at the bottom left as OpenGL counts them; bars split evenly, the odd pixel at the end.
struct LetterboxRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    // An empty rectangle when either size is not positive.
    static LetterboxRect Fit(int screenWidth, int screenHeight, int pictureWidth, int pictureHeight);
};
