#pragma once

#include <string>

class AssetSet;

// Preview sheets of the interface pictures for people to look at: each made file decoded by the
// engine's decoders and laid out as the game shows it (sprites stretched over their screen
// rectangles, blended as the renderer blends them) over a stand-in for the scenery. Writes
// "hud.png", "hud_parts.png", "title.png", "explosion.png", "credits.png" and "emblem.png" into
// directory; false, with the reason in error, when a picture is missing or a file cannot be written.
bool WriteInterfacePreviews(const AssetSet& assets, const std::string& directory, std::string& error);
