#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "game/shell/SettingsDialog.h"

namespace {

TEST(SettingsDialogText, ModesReadAsTheListShowsThemAndTheChosenTextParsesBack)
{
    EXPECT_EQ(SettingsDialog::ModeText({1024, 768, 75}), "1024 x 768 : 75 hz");

    struct Case { const char* text; bool parses; int width, height, refresh; };
    const Case cases[] = {
        {"1024 x 768 : 75 hz", true, 1024, 768, 75},
        {"1024 x 768 : 0 hz", true, 1024, 768, 0},  // a display that reports no refresh rate
        {"640x480@85", true, 640, 480, 85},
        {"", false, 0, 0, 0},
        {"1024 x 768", false, 0, 0, 0},
        {"Resolution", false, 0, 0, 0},
        {"0 x 600 : 60 hz", false, 0, 0, 0},
        {"800 x 0 : 60 hz", false, 0, 0, 0},
        {"99999999999999999999 x 600 : 60 hz", false, 0, 0, 0},
        {"800 x 600 : 4294967297 hz", false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Settings settings;
        settings.width = settings.height = settings.refreshRate = -1;
        EXPECT_EQ(SettingsDialog::ParseMode(c.text, &settings), c.parses);
        const std::tuple<int, int, int> untouched{-1, -1, -1};
        EXPECT_EQ(std::tie(settings.width, settings.height, settings.refreshRate),
                  c.parses ? std::make_tuple(c.width, c.height, c.refresh) : untouched);
    }
}

}  // namespace
