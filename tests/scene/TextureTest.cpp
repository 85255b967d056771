#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "SceneTestSupport.h"
#include "engine/device/NullDevice.h"
#include "engine/device/TextureFilter.h"
#include "engine/scene/Texture.h"
#include "engine/scene/TextureCache.h"
#include "tools/modelwriter/PictureWriter.h"

namespace {

// Alternating pixels, each row a different green.
Picture Checker(uint32_t width, uint32_t height)
{
    Picture picture{width, height, {}};
    for (uint32_t i = 0; i < width * height; ++i) {
        const uint8_t v = (i % 2) ? 255 : 0;
        picture.rgba.insert(picture.rgba.end(), {v, static_cast<uint8_t>(40 * (i / width)), static_cast<uint8_t>(255 - v), 255});
    }
    return picture;
}

class TextureOnDevice : public ::testing::Test {
protected:
    ~TextureOnDevice() override { TextureCache::Clear(); }

    NullDevice device;
    ScopedCurrentDevice current{&device};
    TempFolder dir{"scene"};
};

TEST_F(TextureOnDevice, EveryFileKindLoadsTopRowFirstWithItsWholeMipChain)
{
    const Picture picture = Checker(16, 4);
    const struct { const char* name; std::vector<uint8_t> bytes; } files[] = {
        {"a.tga", PictureWriter::Tga(picture, {})},          {"b.tga", PictureWriter::Tga(picture, {.runLength = true})},
        {"c.png", PictureWriter::Png(picture)},              {"d.jpg", PictureWriter::Jpeg(picture, 90)},
        {"e.bmp", PictureWriter::Bmp(picture, 24, false)},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        Texture texture;
        ASSERT_TRUE(texture.Load(dir.Write(file.name, file.bytes).c_str()));
        ASSERT_FALSE(texture.Empty());
        EXPECT_EQ(std::make_tuple(texture.Device()->Width(), texture.Device()->Height(), texture.Device()->Levels()),
                  std::make_tuple(16, 4, 5));
        std::vector<uint8_t> pixels;
        ASSERT_TRUE(texture.Device()->ReadLevel0(&pixels));
        if (file.name[0] != 'd') {
            EXPECT_EQ(pixels, picture.rgba);  // all but the lossy JPEG
        }
    }
}

TEST_F(TextureOnDevice, MissingOrUndecodableFilesLeaveTheTextureEmpty)
{
    Texture missing;
    EXPECT_FALSE(missing.Load((dir / "none.jpg").c_str()));
    EXPECT_TRUE(missing.Empty());
    EXPECT_EQ(missing.Name(), (dir / "none.jpg"));
    Texture garbage;
    EXPECT_FALSE(garbage.Load(dir.Write("bad.jpg", {0xFF, 0xD8, 0xFF, 0x00, 1, 2, 3}).c_str()));
    EXPECT_TRUE(garbage.Empty());
}

TEST_F(TextureOnDevice, BindSetsTextureAddressingAndFilterAndAnEmptyTextureClearsTheStage)
{
    TextureFilter::Reset();
    TextureFilter::Set(TextureFilterType::Linear, TextureFilterType::Linear, TextureFilterType::Linear, 1);
    Texture texture;
    ASSERT_TRUE(texture.Load(dir.Write("p.png", PictureWriter::Png(Checker(2, 2))).c_str()));
    texture.Bind(0, 0, 0);  // address mode zero wraps
    EXPECT_EQ(device.GetTexture(0), texture.Device());
    EXPECT_EQ(device.GetSamplerState(0, SamplerState::AddressU), TextureAddress::Wrap);
    EXPECT_EQ(device.GetSamplerState(0, SamplerState::AddressV), TextureAddress::Wrap);
    EXPECT_TRUE(TextureFilter::Applied());
    EXPECT_EQ(device.GetSamplerState(3, SamplerState::MipFilter), TextureFilterType::Linear);
    TextureFilter::Reset();
    texture.Bind(1, TextureAddress::Clamp, TextureAddress::Mirror);
    EXPECT_EQ(device.GetSamplerState(1, SamplerState::AddressU), TextureAddress::Clamp);
    EXPECT_EQ(device.GetSamplerState(1, SamplerState::AddressV), TextureAddress::Mirror);
    texture.Release();
    EXPECT_TRUE(texture.Empty());
    texture.Bind(0, 0, 0);
    EXPECT_EQ(device.GetTexture(0), nullptr);
}

// A name the cache has read, whether it succeeded or failed, keeps its entry until the cache is
// cleared, even when the file changes on the disk.
TEST_F(TextureOnDevice, TheCacheReadsEachExactNameOnceUntilCleared)
{
    const std::string lower = dir.Write("shock.jpg", PictureWriter::Jpeg(Checker(4, 4), 90));
    const std::string upper = dir.Write("SHOCK.jpg", PictureWriter::Jpeg(Checker(8, 4), 90));
    const std::string late = dir / "late.png";
    Texture* first = TextureCache::Get(lower.c_str());
    Texture* failed = TextureCache::Get(late.c_str());
    std::filesystem::remove(lower);
    dir.Write("late.png", PictureWriter::Png(Checker(2, 2)));
    EXPECT_EQ(TextureCache::Get(lower.c_str()), first);
    ASSERT_FALSE(first->Empty());
    EXPECT_EQ(TextureCache::Get(late.c_str()), failed);
    EXPECT_TRUE(failed->Empty());
    failed->Bind(0, 0, 0);
    EXPECT_EQ(device.GetTexture(0), nullptr);
    Texture* other = TextureCache::Get(upper.c_str());
    EXPECT_NE(other, first);
    EXPECT_EQ(first->Device()->Width(), 4);
    EXPECT_EQ(other->Device()->Width(), 8);
    EXPECT_EQ(TextureCache::Count(), 3u);
    TextureCache::Clear();
    EXPECT_EQ(TextureCache::Count(), 0u);
    EXPECT_FALSE(TextureCache::Get(late.c_str())->Empty());
}

}  // namespace
