#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <numeric>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "theory/theory.h"

namespace quorvane::theory {
namespace {

// Numbers of a well-formed catalogue string, read without the program's own reader.
std::vector<int> Numbers(std::string_view text) {
    std::vector<int> out;
    std::string number;
    for (char c : text) {
        if (c == '/') {
            out.push_back(std::stoi(number));
            number.clear();
        } else {
            number += c;
        }
    }
    return out;
}

bool WellFormed(std::string_view text) {
    return !text.empty() && text.back() == '/' && text.find("//") == std::string_view::npos &&
           text.front() != '/' && std::all_of(text.begin(), text.end(), [](char c) {
               return c == '/' || (c >= '0' && c <= '9');
           });
}

// FNV-1a over every row written as name=intervals, rows joined by "|".
template <class Table>
std::uint64_t Fingerprint(const Table& table) {
    std::string all;
    for (const auto& row : table) {
        if (!all.empty()) {
            all += '|';
        }
        all += std::string(row.name) + "=" + std::string(row.intervals);
    }
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (unsigned char c : all) {
        h ^= c;
        h *= 0x100000001b3ULL;
    }
    return h;
}

TEST(Catalogue, FingerprintsOfTheWholeTables) {
    EXPECT_EQ(Fingerprint(ChordTypes), 0x48b570f95a619efaULL);
    EXPECT_EQ(Fingerprint(Scales), 0x6f5888a7fddc1c00ULL);
}

TEST(Catalogue, TableSizes) {
    EXPECT_EQ(RootNames.size(), 12u);
    EXPECT_EQ(ChordTypes.size(), 53u);
    EXPECT_EQ(Scales.size(), 36u);
    EXPECT_EQ(NoteTable.size(), 44u);
    EXPECT_EQ(IntervalLabels.size(), 24u);
}

TEST(Catalogue, RootNames) {
    const std::array<std::string_view, 12> expected{
        "C", "C#(Db)", "D", "D#(Eb)", "E", "F", "F#(Gb)", "G", "G#(Ab)", "A", "A#(Bb)", "B"};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(RootNames[i], expected[i]) << "row " << i;
    }
}

TEST(Catalogue, IntervalLabels) {
    const std::array<std::string_view, 24> expected{
        "R", "2b", "2", "3b", "3",  "4",  "5b",  "5",  "5+",  "6",  "7",   "M7",
        "R", "9b", "9", "9#", "10", "11", "11#", "12", "13b", "13", "13#", "14"};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(IntervalLabels[i], expected[i]) << "row " << i;
    }
}

// A second, separately typed list of chord rows worth checking by name.
TEST(Catalogue, ChordRowsTypedAgain) {
    struct Row {
        int row;
        std::string_view name;
        std::string_view intervals;
    };
    const Row rows[] = {
        {0, "Major", "0/4/7/"},
        {1, "Minor", "0/3/7/"},
        {4, "Dim 5th", "0/3/6/"},
        {10, "Minor 7th", "0/3/7/10/"},
        {12, "7th b5th", "0/4/6/10/"},
        {13, "7th #5th", "0/4/8/10/"},
        {16, "Major 7th+9th", "0/4/7/11/14/"},
        {21, "Minor + Major 7th", "0/3/7/11/"},
        {27, "13th", "0/4/7/10/14/21/"},
        {30, "Minor + Major 13th", "0/3/7/11/14/21/"},
        {32, "Minor+9th", "0/3/7/14/"},
        {38, "Minor + Major 7th+11th", "0/3/7/11/17/"},
        {43, "7th #5th b9th", "0/4/8/10/13/"},
        {47, "9th b13th", "0/4/7/10/14/20/"},
        {52, "Major 9th Sus 4th", "0/5/7/11/14/"},
    };
    for (const Row& r : rows) {
        const ChordType* type = RowAt(ChordTypes, r.row);
        ASSERT_NE(type, nullptr);
        EXPECT_EQ(type->name, r.name) << "row " << r.row;
        EXPECT_EQ(type->intervals, r.intervals) << "row " << r.row;
    }
}

TEST(Catalogue, ScaleRowsTypedAgain) {
    struct Row {
        int row;
        std::string_view name;
        std::string_view intervals;
    };
    const Row rows[] = {
        {0, "Major", "0/2/4/5/7/9/11/12/"},
        {1, "Minor (Natural)", "0/2/3/5/7/8/10/12/"},
        {6, "Pentatonic Major", "0/2/4/7/9/12/"},
        {8, "Blues 1", "0/3/5/6/7/10/12/"},
        {9, "Blues 2", "0/2/3/4/5/6/7/9/10/11/12/"},
        {10, "Pentatonic Blues", "0/3/5/6/7/10/12/"},
        {23, "Chromatic", "0/1/2/3/4/5/6/7/8/9/10/11/12/"},
        {27, "Neopolitan", "0/1/3/5/7/8/11/12/"},
        {29, "Mixolydian Flattened 9th Sharpened 9th", "0/1/3/4/5/7/9/10/12/"},
        {34, "Locrian Sharpened 2nd", "0/2/3/5/6/8/10/12/"},
        {35, "Super Locrian", "0/1/3/4/6/8/10/12/"},
    };
    for (const Row& r : rows) {
        const Scale* scale = RowAt(Scales, r.row);
        ASSERT_NE(scale, nullptr);
        EXPECT_EQ(scale->name, r.name) << "row " << r.row;
        EXPECT_EQ(scale->intervals, r.intervals) << "row " << r.row;
    }
}

TEST(Catalogue, NotesPerRowAndChecksums) {
    const std::array<int, 53> chordNotes{3, 3, 3, 3, 3, 3, 4, 4, 4, 4, 4, 4, 4, 4, 5, 5, 5, 5,
                                         5, 6, 6, 4, 5, 5, 6, 6, 6, 6, 6, 6, 6, 4, 4, 5, 5, 5,
                                         5, 5, 5, 5, 5, 5, 5, 5, 4, 4, 5, 6, 4, 4, 4, 5, 5};
    const std::array<int, 36> scaleNotes{8, 8, 8, 8, 8, 8,  6, 6, 7, 11, 7, 6, 8, 8, 8, 8, 8, 8,
                                         8, 9, 9, 7, 7, 13, 8, 8, 8, 8,  9, 9, 8, 8, 8, 8, 8, 8};
    int chordSum = 0;
    std::size_t chordNameChars = 0;
    for (std::size_t i = 0; i < ChordTypes.size(); ++i) {
        const auto n = Numbers(ChordTypes[i].intervals);
        EXPECT_EQ(static_cast<int>(n.size()), chordNotes[i]) << "chord row " << i;
        chordSum += std::accumulate(n.begin(), n.end(), 0);
        chordNameChars += ChordTypes[i].name.size();
    }
    int scaleSum = 0;
    std::size_t scaleNameChars = 0;
    for (std::size_t i = 0; i < Scales.size(); ++i) {
        const auto n = Numbers(Scales[i].intervals);
        EXPECT_EQ(static_cast<int>(n.size()), scaleNotes[i]) << "scale row " << i;
        scaleSum += std::accumulate(n.begin(), n.end(), 0);
        scaleNameChars += Scales[i].name.size();
    }
    // Sums over the whole tables: any changed digit or character shows here.
    EXPECT_EQ(chordSum, 1713);
    EXPECT_EQ(scaleSum, 1745);
    EXPECT_EQ(chordNameChars, 558u);
    EXPECT_EQ(scaleNameChars, 455u);
}

TEST(Catalogue, ChordStringsAreWellFormedAscendingAndUnique) {
    std::set<std::string_view> names;
    std::set<std::string_view> strings;
    int largest = 0;
    for (std::size_t i = 0; i < ChordTypes.size(); ++i) {
        const ChordType& c = ChordTypes[i];
        ASSERT_TRUE(WellFormed(c.intervals)) << "row " << i;
        const auto n = Numbers(c.intervals);
        EXPECT_GE(n.size(), 3u);
        EXPECT_LE(n.size(), 6u);
        EXPECT_EQ(n.front(), 0) << "row " << i;
        EXPECT_TRUE(std::is_sorted(n.begin(), n.end()) &&
                    std::adjacent_find(n.begin(), n.end()) == n.end())
            << "row " << i;
        largest = std::max(largest, n.back());
        // Only the first three listed values are ever raised; they never exceed 8.
        for (std::size_t p = 0; p < 3; ++p) {
            EXPECT_LE(n[p], 8) << "row " << i;
        }
        EXPECT_TRUE(names.insert(c.name).second) << "duplicate chord name " << c.name;
        EXPECT_TRUE(strings.insert(c.intervals).second) << "duplicate chord string " << c.intervals;
        EXPECT_EQ(c.name.find("  "), std::string_view::npos);
        EXPECT_NE(c.name.front(), ' ');
        EXPECT_NE(c.name.back(), ' ');
    }
    EXPECT_EQ(largest, 21);
}

TEST(Catalogue, ScaleStringsAndTheThreeSharedPairs) {
    std::set<std::string_view> names;
    std::vector<std::pair<std::size_t, std::size_t>> shared;
    for (std::size_t i = 0; i < Scales.size(); ++i) {
        const Scale& s = Scales[i];
        ASSERT_TRUE(WellFormed(s.intervals)) << "row " << i;
        const auto n = Numbers(s.intervals);
        EXPECT_EQ(n.front(), 0) << "row " << i;
        EXPECT_EQ(n.back(), 12) << "row " << i;
        EXPECT_TRUE(std::is_sorted(n.begin(), n.end()) &&
                    std::adjacent_find(n.begin(), n.end()) == n.end())
            << "row " << i;
        EXPECT_TRUE(names.insert(s.name).second) << "duplicate scale name " << s.name;
        for (std::size_t j = i + 1; j < Scales.size(); ++j) {
            if (Scales[j].intervals == s.intervals) {
                shared.emplace_back(i, j);
            }
        }
    }
    const std::vector<std::pair<std::size_t, std::size_t>> expected{{0, 12}, {1, 13}, {8, 10}};
    EXPECT_EQ(shared, expected);
    EXPECT_EQ(Scales[12].name, "Ionian");
    EXPECT_EQ(Scales[13].name, "Aeolian");
}

TEST(Catalogue, NoteTableNamesAndStaffTopTexts) {
    const std::array<std::string_view, 12> names{"C",  "C#", "D",  "D#", "E",  "F",
                                                 "F#", "G",  "G#", "A",  "A#", "B"};
    for (std::size_t k = 0; k < NoteTable.size(); ++k) {
        EXPECT_EQ(NoteTable[k].name, names[k % 12]) << "key " << k;
        const std::string_view top = NoteTable[k].staffTop;
        ASSERT_EQ(top.size(), 5u) << "key " << k;
        EXPECT_EQ(top[0], ' ') << "key " << k;
        EXPECT_TRUE(
            std::all_of(top.begin() + 1, top.end(), [](char c) { return c >= '0' && c <= '9'; }));
        if (NoteTable[k].name.size() == 2) {
            EXPECT_EQ(top, NoteTable[k - 1].staffTop) << "a sharp stands at the natural below";
        }
    }
    EXPECT_EQ(NoteTable[0].staffTop, " 5280");
    EXPECT_EQ(NoteTable[2].staffTop, " 5220");
    EXPECT_EQ(NoteTable[4].staffTop, " 5160");
    EXPECT_EQ(NoteTable[12].staffTop, " 4860");
    EXPECT_EQ(NoteTable[43].staffTop, " 3780");
    EXPECT_EQ(NoteTable[43].name, "G");
}

TEST(Catalogue, InversionCaptionsKeepTheirLeadingBlank) {
    EXPECT_EQ(InversionCaptions.size(), 4u);
    EXPECT_EQ(InversionCaptions[0], " Basic");
    EXPECT_EQ(InversionCaptions[1], " First Inversion");
    EXPECT_EQ(InversionCaptions[2], " Second Inversion");
    EXPECT_EQ(InversionCaptions[3], " Third Inversion");
    EXPECT_EQ(std::string(RootNames[0]) + std::string(ChordTypes[0].name) +
                  std::string(InversionCaptions[0]),
              "CMajor Basic");
}

TEST(Catalogue, RowLookupStaysInsideTheTables) {
    EXPECT_EQ(RowAt(ChordTypes, 52), &ChordTypes[52]);
    EXPECT_EQ(RowAt(ChordTypes, 53), nullptr);
    EXPECT_EQ(RowAt(ChordTypes, -1), nullptr);
    EXPECT_EQ(RowAt(Scales, 36), nullptr);
    EXPECT_EQ(RowAt(NoteTable, 44), nullptr);
    EXPECT_EQ(RowAt(RootNames, 12), nullptr);
    EXPECT_EQ(*RowAt(RootNames, 10), "A#(Bb)");
    EXPECT_EQ(RowAt(IntervalLabels, 24), nullptr);
    EXPECT_EQ(*RowAt(IntervalLabels, 12), "R");
}

}  // namespace
}  // namespace quorvane::theory
