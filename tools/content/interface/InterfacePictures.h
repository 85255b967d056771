#pragma once

#include <string>

class AssetSet;

// Where Debian's fonts-dejavu-core keeps the faces the pictures are lettered with.
constexpr const char* kDejaVuFontDirectory = "/usr/share/fonts/truetype/dejavu";

// The pictures of the screens around the play: the HUD frames and segments, the title banner and
// prompt, shots, shock ring, explosion frames, the credits, the settings dialog's logo and the
// desktop icon. Without the fonts it says which file is missing and ends the generator with
// status 1.
void MakeInterfacePictures(AssetSet& assets);

// The same with the fonts taken from fontDirectory; false, with the missing file named in error,
// when a font cannot be read (nothing is added then).
bool PaintInterfacePictures(AssetSet& assets, const std::string& fontDirectory, std::string& error);
