#include "tools/content/ArchiveOrder.h"

#include <algorithm>
#include <string>

namespace {

// Names or name prefixes, in reading order; files matching none go last, in the order made.
const char* const kReadingOrder[] = {
    // The title screen: the scenery, its maps, the banner and prompt.
    "level.3df", "bump_neutral.jpg", "level_", "banner.tga", "tetters.jpg",
    // A level play: the ship and its HUD, the script, the enemies as they appear, shots, explosions.
    "main_ship.3df", "ship_", "hud_player.tga", "barra_player.tga", "teste.lvl", "nave.3df", "nave_", "defender.3DF",
    "defender_", "door.3df", "door_", "Boss.3df", "boss_", "hud_boss.tga", "barra_boss.tga", "end_credits.tga", "exp",
    "shock.jpg", "tiro.jpg",
};

size_t Rank(const std::string& name)
{
    for (size_t i = 0; i < std::size(kReadingOrder); ++i) {
        const std::string key = kReadingOrder[i];
        const bool prefix = key.back() == '_' || key == "exp";
        if (prefix ? name.compare(0, key.size(), key) == 0 : name == key) return i;
    }
    return std::size(kReadingOrder);
}

}  // namespace

std::vector<const AssetSet::File*> ArchiveOrder(const AssetSet& assets)
{
    std::vector<const AssetSet::File*> files;
    for (const AssetSet::File& file : assets.Files()) files.push_back(&file);
    std::stable_sort(files.begin(), files.end(), [](const AssetSet::File* a, const AssetSet::File* b) { return Rank(a->name) < Rank(b->name); });
    return files;
}
