#pragma once

#include <string>

class AssetSet;
class Canvas;

// Encodes a finished canvas in the file kind its name asks for and adds it to the asset set.
namespace picture_files {

// 32-bit TGA with alpha, run-length encoded.
void AddTga(AssetSet& assets, const std::string& name, const Canvas& canvas);
// Opaque colour JPEG, for pictures the game adds onto the screen (black shows nothing).
void AddJpeg(AssetSet& assets, const std::string& name, const Canvas& canvas);
// 24-bit uncompressed BMP, bottom-up as Windows keeps bitmaps.
void AddBmp(AssetSet& assets, const std::string& name, const Canvas& canvas);
// 8-bit RGBA PNG.
void AddPng(AssetSet& assets, const std::string& name, const Canvas& canvas);

}  // namespace picture_files
