#include "shell/Settings.h"

#include "common/Ascii.h"

#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace lantrivex::shell {
namespace {

// A settings file in memory: keys found without regard to case, every write recorded.
class MemoryProfile : public platform::ProfileFile {
public:
    std::string read(std::string_view, std::string_view section, std::string_view key,
                     std::size_t maxChars) override {
        const auto it = values.find(asciiToLower(section) + "/" + asciiToLower(key));
        if (it == values.end()) {
            return "";
        }
        return it->second.substr(0, maxChars - 1);
    }
    bool write(std::string_view, std::string_view section, std::string_view key,
               std::string_view value) override {
        writes.push_back(std::string(section) + "/" + std::string(key) + "=" + std::string(value));
        values[asciiToLower(section) + "/" + asciiToLower(key)] = std::string(value);
        return true;
    }
    void set(std::string_view section, std::string_view key, std::string value) {
        values[asciiToLower(section) + "/" + asciiToLower(key)] = std::move(value);
    }

    std::map<std::string, std::string> values;
    std::vector<std::string> writes;
};

TEST(SettingsReading, LeadingNumber) {
    EXPECT_EQ(leadingNumber("1440"), 1440.0);
    EXPECT_EQ(leadingNumber("-60"), -60.0);
    EXPECT_EQ(leadingNumber("+7"), 7.0);
    EXPECT_EQ(leadingNumber("12abc"), 12.0);
    EXPECT_EQ(leadingNumber("1234.5"), 1234.5);
    EXPECT_EQ(leadingNumber(".5"), 0.5);
    EXPECT_EQ(leadingNumber("5."), 5.0);
    EXPECT_EQ(leadingNumber("  42"), 42.0);
    EXPECT_EQ(leadingNumber("1e5"), 1.0) << "no exponent";
    EXPECT_EQ(leadingNumber("1,5"), 1.0) << "the decimal point is always a point";
    for (const char* none : {"abc", "", "-", ".", "+.", "x12", "-abc"}) {
        EXPECT_EQ(leadingNumber(none), 0.0) << none;
    }
    EXPECT_EQ(leadingNumber(std::string(400, '9')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(leadingNumber("0." + std::string(400, '0') + "1"), 0.0);
}

TEST(SettingsReading, EmptyReplyMeansDefaultAndHalvesGoToEven) {
    EXPECT_FALSE(settingValue("").has_value());
    EXPECT_EQ(settingValue("abc"), 0.0) << "a value that is not a number reads 0, not the default";
    EXPECT_EQ(settingValue("1234.5"), 1234.0);
    EXPECT_EQ(settingValue("1235.5"), 1236.0);
    EXPECT_EQ(settingValue("-2.5"), -2.0);
    EXPECT_EQ(settingValue("2.51"), 3.0);
}

class SettingsTest : public ::testing::Test {
protected:
    MemoryProfile profile;
    Settings settings{profile, "/opt/lantrivex/Lantrivex.ini"};
    WindowPlacement defaults{kWindowNormal, 1440, 1440, 10395, 7440, 5137};
};

TEST_F(SettingsTest, NoFileGivesEveryDefault) {
    EXPECT_EQ(settings.readPositions(defaults), defaults);
    EXPECT_EQ(settings.readLangue(), kEnglish);
    EXPECT_EQ(settings.readServeurMac(), 0);
    EXPECT_TRUE(profile.writes.empty());
}

TEST_F(SettingsTest, StoredValuesAreReadWithTheReadingRules) {
    profile.set("POSITIONS", "windowstate", "2");
    profile.set("Positions", "Left", "abc");
    profile.set("Positions", "Top", "1234.5");
    profile.set("Positions", "Width", "1235.5");
    profile.set("Positions", "Height", "");
    profile.set("Positions", "SizeBarVLeft", "-60");
    profile.set("Configuration", "Langue", "1");
    profile.set("Configuration", "ServeurMac", "2");
    const WindowPlacement read = settings.readPositions(defaults);
    EXPECT_EQ(read.windowState, kWindowMaximized);
    EXPECT_EQ(read.left, 0);
    EXPECT_EQ(read.top, 1234);
    EXPECT_EQ(read.width, 1236);
    EXPECT_EQ(read.height, defaults.height) << "an empty value gives the default";
    EXPECT_EQ(read.sizeBarVLeft, -60);
    EXPECT_EQ(settings.readLangue(), kFrench);
    EXPECT_EQ(settings.readServeurMac(), 2);
}

TEST_F(SettingsTest, ValuesOutsideTheirRangeGiveTheDefault) {
    profile.set("Positions", "WindowState", "3");
    profile.set("Positions", "Left", "2147483648");
    profile.set("Positions", "Top", "-2147483649");
    profile.set("Positions", "Width", "2147483647");
    profile.set("Positions", "Height", "-2147483648");
    profile.set("Positions", "SizeBarVLeft", std::string(300, '9'));
    profile.set("Configuration", "Langue", "32768");
    profile.set("Configuration", "ServeurMac", "-32769");
    const WindowPlacement read = settings.readPositions(defaults);
    EXPECT_EQ(read.windowState, kWindowNormal);
    EXPECT_EQ(read.left, defaults.left);
    EXPECT_EQ(read.top, defaults.top);
    EXPECT_EQ(read.width, 2147483647);
    EXPECT_EQ(read.height, -2147483648);
    EXPECT_EQ(read.sizeBarVLeft, defaults.sizeBarVLeft);
    EXPECT_EQ(settings.readLangue(), kEnglish);
    EXPECT_EQ(settings.readServeurMac(), 0);

    profile.set("Positions", "WindowState", "-1");
    EXPECT_EQ(settings.readPositions(defaults).windowState, kWindowNormal);
    profile.set("Configuration", "Langue", "2");
    EXPECT_EQ(settings.readLangue(), 2) << "kept as read: any value but 1 means English";
    profile.set("Configuration", "ServeurMac", "32767.4");
    EXPECT_EQ(settings.readServeurMac(), 32767);
}

TEST_F(SettingsTest, WritesDecimalTextInTheFileOrder) {
    settings.writePositions({kWindowMaximized, -60, 0, 12000, 9000, 5137});
    settings.writeLangue(kFrench);
    settings.writeServeurMac(2);
    EXPECT_EQ(profile.writes,
              (std::vector<std::string>{"Positions/WindowState=2", "Positions/Left=-60",
                                        "Positions/Top=0", "Positions/Width=12000",
                                        "Positions/Height=9000", "Positions/SizeBarVLeft=5137",
                                        "Configuration/Langue=1", "Configuration/ServeurMac=2"}));
    const WindowPlacement back = settings.readPositions(defaults);
    EXPECT_EQ(back, (WindowPlacement{kWindowMaximized, -60, 0, 12000, 9000, 5137}));
}

} // namespace
} // namespace lantrivex::shell
