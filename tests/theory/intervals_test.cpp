#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "theory/theory.h"

namespace quorvane::theory {
namespace {

struct ReadCase {
    std::string_view text;
    std::optional<std::vector<int>> expected;
};

using V = std::vector<int>;

TEST(ReadIntervals, ReadingRule) {
    const ReadCase cases[] = {
        {"0/4/7/", V{0, 4, 7}},
        {"0/14/21/", V{0, 14, 21}},
        {"0/2/3/4/5/6/7/9/10/11/12/", V{0, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12}},
        {"", V{}},
        {"7", V{}},                // no "/", no number
        {"0/4/7", V{0, 4}},        // text after the last "/" is never read
        {"0/4/7/9x", V{0, 4, 7}},  // ... whatever it holds
        {"//", V{0, 0}},           // an empty number text reads as 0
        {"0//7/", V{0, 0, 7}},
        {"/4/", V{0, 4}},
        {"007/", V{7}},       // leading zeros
        {"0/43/", V{0, 43}},  // the highest key with a staff position
        {"0/4/7/", V{0, 4, 7}},
        {"0/44/", std::nullopt},                    // too large for the note table
        {"0/99999999999999999999/", std::nullopt},  // would overflow
        {"0/-4/", std::nullopt},
        {"0/+4/", std::nullopt},
        {"0/ 4/", std::nullopt},
        {"0/4 /", std::nullopt},
        {"0/4a/7/", std::nullopt},
        {"0\\4\\7\\", V{}},  // not the separator: nothing before a "/"
        {"0\\4/", std::nullopt},
        {std::string_view("0/\0/", 4), std::nullopt},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(ReadIntervals(c.text), c.expected) << "text \"" << c.text << "\"";
    }
}

TEST(ReadIntervals, OneNumberPerSlashOverTheWholeCatalogue) {
    auto check = [](std::string_view text) {
        const auto values = ReadIntervals(text);
        ASSERT_TRUE(values.has_value()) << text;
        EXPECT_EQ(values->size(),
                  static_cast<std::size_t>(std::count(text.begin(), text.end(), '/')))
            << text;
        // Writing the numbers back gives the same text.
        std::string written;
        for (int v : *values) {
            written += std::to_string(v) + "/";
        }
        EXPECT_EQ(written, text);
    };
    for (const ChordType& c : ChordTypes) {
        check(c.intervals);
    }
    for (const Scale& s : Scales) {
        check(s.intervals);
    }
}

TEST(ReadIntervals, LongStringsStayLinear) {
    std::string many(100000, '/');
    const auto values = ReadIntervals(many);
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(values->size(), many.size());
    EXPECT_TRUE(std::all_of(values->begin(), values->end(), [](int v) { return v == 0; }));

    const std::string zeros = std::string(100000, '0') + "5/";
    EXPECT_EQ(ReadIntervals(zeros), V{5});
}

}  // namespace
}  // namespace quorvane::theory
