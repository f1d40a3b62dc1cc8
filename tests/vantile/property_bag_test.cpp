#include <gtest/gtest.h>

#include "vantile/PropertyBag.h"

namespace vantile {
namespace {

TEST(PropertyBag, KeysMatchWithoutRegardToCaseAndKeepTheirOrder) {
    PropertyBag bag;
    bag.Write("backcolor", std::int32_t{0x00C0C0FF});
    bag.Write("Caption", "R");
    bag.Write("EDGE", std::int32_t{3});
    bag.Write("BackColor", std::int32_t{5});  // replaces, keeps its place
    EXPECT_EQ(bag.ReadInt32("BACKCOLOR"), 5);
    EXPECT_EQ(bag.ReadString("caption"), "R");
    EXPECT_EQ(bag.ReadInt32("Edge"), 3);
    EXPECT_EQ(bag.Keys(), (std::vector<std::string>{"backcolor", "Caption", "EDGE"}));
}

TEST(PropertyBag, TypedReadsGiveNothingForAMissingKeyOrAnotherType) {
    PropertyBag bag;
    bag.Write("Edge", std::int16_t{3});
    bag.Write("Enabled", false);
    bag.Write("Font", FontDesc{"Terminal", 6.0, true, false, 255});
    EXPECT_FALSE(bag.ReadInt32("Edge").has_value());
    EXPECT_EQ(bag.ReadInt16("Edge"), std::int16_t{3});
    EXPECT_EQ(bag.ReadBool("Enabled"), false);
    EXPECT_FALSE(bag.ReadString("Enabled").has_value());
    EXPECT_FALSE(bag.ReadInt32("Missing").has_value());
    EXPECT_EQ(bag.ReadFont("font"), (FontDesc{"Terminal", 6.0, true, false, 255}));
    EXPECT_TRUE(bag.Contains("FONT"));
    EXPECT_FALSE(bag.Contains("Fon"));
}

}  // namespace
}  // namespace vantile
