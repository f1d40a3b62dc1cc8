#include <gtest/gtest.h>

#include <QPalette>

#include "vantile/OleColor.h"
#include "vantile/Vantile.h"

namespace vantile {
namespace {

QPalette DistinctPalette() {
    QPalette p;
    p.setColor(QPalette::Button, QColor(1, 1, 1));
    p.setColor(QPalette::ButtonText, QColor(2, 2, 2));
    p.setColor(QPalette::Light, QColor(3, 3, 3));
    p.setColor(QPalette::Midlight, QColor(4, 4, 4));
    p.setColor(QPalette::Dark, QColor(5, 5, 5));
    p.setColor(QPalette::Shadow, QColor(6, 6, 6));
    p.setColor(QPalette::Highlight, QColor(7, 7, 7));
    p.setColor(QPalette::Base, QColor(8, 8, 8));
    return p;
}

TEST(OleColor, RgbValuesHaveRedInTheLowByte) {
    const QPalette palette = DistinctPalette();
    EXPECT_EQ(ToQColor(0x000080FF, palette), QColor(255, 128, 0));
    EXPECT_EQ(ToQColor(0x00C0C0FF, palette), QColor(255, 192, 192));
    EXPECT_EQ(ToQColor(0x00FF0000, palette), QColor(0, 0, 255));
    EXPECT_EQ(FromQColor(QColor(255, 128, 0)), 0x000080FFu);
    EXPECT_EQ(FromQColor(QColor(1, 2, 3)), 0x00030201u);
}

TEST(OleColor, SystemColoursComeFromThePalette) {
    const QPalette palette = DistinctPalette();
    const struct {
        OleColor ole;
        QColor expected;
    } cases[] = {
        {0x8000000F, QColor(1, 1, 1)},  // button face
        {0x80000012, QColor(2, 2, 2)},  // button text
        {0x80000014, QColor(3, 3, 3)},  // button highlight
        {0x80000016, QColor(4, 4, 4)},  // 3-D light
        {0x80000010, QColor(5, 5, 5)},  // button shadow
        {0x80000015, QColor(6, 6, 6)},  // 3-D dark shadow
        {0x8000000D, QColor(7, 7, 7)},  // highlight
        {0x80000005, QColor(8, 8, 8)},  // window
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToQColor(c.ole, palette), c.expected) << std::hex << c.ole;
    }
    EXPECT_EQ(SystemColor(syscolor::ButtonText), 0x80000012u);
}

TEST(OleColor, UnknownSystemColoursGiveNothing) {
    const QPalette palette = DistinctPalette();
    EXPECT_FALSE(ToQColor(0x80000019, palette).has_value());  // no index 25
    EXPECT_FALSE(ToQColor(0x800000FF, palette).has_value());
    EXPECT_FALSE(ToQColor(0x80001012, palette).has_value());  // stray bits
    EXPECT_FALSE(ToQColor(0x01000000, palette).has_value());  // neither RGB nor system colour
    EXPECT_FALSE(ToQColor(0xFF0000FF, palette).has_value());
}

TEST(Twips, PixelSizesRoundHalvesToEven) {
    const struct {
        double twips;
        int pixels;
    } cases[] = {{0, 0},     {7.5, 0},  {22.5, 2}, {37.5, 2}, {52.5, 4}, {270, 18},
                 {1410, 94}, {765, 51}, {14, 1},   {8, 1},    {7, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(PixelsFromTwips(c.twips), c.pixels) << c.twips;
    }
}

}  // namespace
}  // namespace vantile
