// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Settings.h"

#include "fakes/FakeProfileFile.h"

#include <gtest/gtest.h>

namespace lantrivex::shell {
namespace {

TEST(SettingsReading, LeadingNumberWithoutExponentAndSettingValue) {
    std::vector<double> read;
    for (const char* text : {"1440", "-60", "+7", "12abc", "1234.5", ".5", "5.", "  42", "1e5",
                             "1,5", "abc", "", "-", ".", "+.", "x12"}) {
        read.push_back(leadingNumber(text));
    }
    EXPECT_EQ(read,
              (std::vector<double>{1440, -60, 7, 12, 1234.5, 0.5, 5, 42, 1, 1, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(leadingNumber(std::string(400, '9')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(leadingNumber("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_FALSE(settingValue("").has_value());
    EXPECT_EQ(settingValue("abc"), 0.0) << "a value that is not a number reads 0, not the default";
}

class SettingsTest : public ::testing::Test {
protected:
    static constexpr const char* kPath = "/opt/lantrivex/Lantrivex.ini";
    fakes::FakeProfileFile profile;
    Settings settings{profile, kPath};
    const WindowPlacement defaults{kWindowNormal, 1440, 1440, 10395, 7440, 5137};

    bool configurationIs(LanguageFlag langue, std::int16_t serveurMac) {
        return settings.readLangue() == langue && settings.readServeurMac() == serveurMac;
    }
};

TEST_F(SettingsTest, StoredValuesFollowTheReadingRulesAndTheirRanges) {
    EXPECT_EQ(settings.readPositions(defaults), defaults) << "no file";
    EXPECT_TRUE(configurationIs(kEnglish, 0));
    profile.setText(kPath, "[POSITIONS]\nwindowstate=2\nLeft=abc\nTop=1234.5\nWidth=1235.5\n"
                           "Height=\nSizeBarVLeft=-60\n[Configuration]\nLangue=1\nServeurMac=2\n");
    EXPECT_EQ(settings.readPositions(defaults),
              (WindowPlacement{kWindowMaximized, 0, 1234, 1236, defaults.height, -60}));
    EXPECT_TRUE(configurationIs(kFrench, 2));
    profile.setText(kPath, "[Positions]\nWindowState=3\nLeft=2147483648\nTop=-2147483649\n"
                           "Width=2147483647\nHeight=-2147483648\nSizeBarVLeft=" +
                               std::string(200, '9') +
                               "\n[Configuration]\nLangue=32768\nServeurMac=-32769\n");
    EXPECT_EQ(settings.readPositions(defaults),
              (WindowPlacement{kWindowNormal, 1440, 1440, 2147483647, -2147483648, 5137}));
    EXPECT_TRUE(configurationIs(kEnglish, 0));
    profile.setText(kPath, "[Positions]\nWindowState=-1\n[Configuration]\nLangue=2\n"
                           "ServeurMac=32767.4\n");
    EXPECT_EQ(settings.readPositions(defaults), defaults);
    EXPECT_TRUE(configurationIs(2, 32767)) << "Langue kept as read: any value but 1 is English";
    const WindowPlacement placement{kWindowMaximized, -60, 0, 12000, 9000, 5137};
    settings.writePositions(placement);
    EXPECT_EQ(settings.readPositions(defaults), placement) << "written as decimal text";
}

} // namespace
} // namespace lantrivex::shell
