#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "theory/theory.h"
#include "views/ChordView.h"

namespace quorvane::views {
namespace {

ChordSelection Select(int root, int chordType, int inversion, int clefOffset = 0,
                      IdentifierMode mode = IdentifierMode::Markers,
                      theory::Spelling spelling = theory::Spelling::Sharps) {
    ChordSelection s;
    s.rootText = theory::RootNames[static_cast<std::size_t>(root)];
    s.rootIndex = root;
    s.chordTypeIndex = chordType;
    s.inversion = inversion;
    s.inversionCaption = *InversionCaptionFor(inversion);
    s.clefOffset = clefOffset;
    s.mode = mode;
    s.spelling = spelling;
    return s;
}

// Every pair of a clef and a spelling.
std::vector<std::pair<int, theory::Spelling>> Combine(std::initializer_list<int> clefs,
                                                      const theory::Spelling (&spellings)[3]) {
    std::vector<std::pair<int, theory::Spelling>> all;
    for (const int clef : clefs) {
        for (const theory::Spelling spelling : spellings) {
            all.emplace_back(clef, spelling);
        }
    }
    return all;
}

std::vector<int> Tops(const ChordView& v) {
    std::vector<int> tops;
    for (const NoteSlotView& s : v.noteSlots) {
        if (s.headShown) {
            tops.push_back(s.headTop);
        }
    }
    return tops;
}

std::set<int> ShownMarkers(const ChordView& v) {
    std::set<int> keys;
    for (int k = 0; k < kKeyCount; ++k) {
        if (v.markers[static_cast<std::size_t>(k)].shown) {
            keys.insert(k);
        }
    }
    return keys;
}

std::set<int> LedgerYs(const ChordView& v) {
    std::set<int> ys;
    for (const TwipsHLine& line : v.ledgerLines) {
        EXPECT_EQ(line.x1, 5815);
        ys.insert(line.y);
    }
    return ys;
}

struct ChordCase {
    const char* what;
    int root;
    int chordType;
    int inversion;
    int clefOffset;
    const char* name;
    std::vector<int> tops;
    std::set<int> markers;
    std::set<int> ledgerYs;
};

TEST(ChordView, EdgeCases) {
    const int Major = 0;
    const int Thirteenth = 27;
    const ChordCase cases[] = {
        {"start", 0, Major, 0, 0, "CMajor Basic", {5280, 5160, 5040}, {0, 4, 7}, {5340}},
        {"first inversion",
         0,
         Major,
         1,
         0,
         "CMajor First Inversion",
         {4860, 5160, 5040},
         {12, 4, 7},
         {}},
        {"third inversion",
         0,
         Major,
         3,
         0,
         "CMajor Third Inversion",
         {4860, 4740, 4620},
         {12, 16, 19},
         {}},
        {"sharp root", 1, Major, 0, 0, "C#(Db)Major Basic", {5280, 5100, 5040}, {1, 5, 8}, {5340}},
        {"bass clef: both lines under the C, the E's line counted once",
         0,
         Major,
         0,
         120,
         "CMajor Basic",
         {5400, 5280, 5160},
         {0, 4, 7},
         {5340, 5460}},
        // Every line between the staff and each note, one per height: 4380 is drawn as well.
        {"B 13th",
         11,
         Thirteenth,
         0,
         0,
         "B13th Basic",
         {4920, 4800, 4680, 4560, 4440, 4200},
         {11, 15, 18, 21, 25, 32},
         {4620, 4500, 4380, 4260}},
        // The chord that needs more lines than five fixed slots could hold in the old layout.
        {"B 13th third inversion",
         11,
         Thirteenth,
         3,
         0,
         "B13th Third Inversion",
         {4500, 4380, 4260, 4560, 4440, 4200},
         {23, 27, 30, 21, 25, 32},
         {4620, 4500, 4380, 4260}},
        {"minor 7th first inversion",
         1,
         10,
         1,
         0,
         "C#(Db)Minor 7th First Inversion",
         {4860, 5160, 5040, 4920},
         {13, 4, 8, 11},
         {}},
    };
    for (const ChordCase& c : cases) {
        SCOPED_TRACE(c.what);
        const ChordView v =
            ComputeChordView(Select(c.root, c.chordType, c.inversion, c.clefOffset));
        EXPECT_EQ(v.name, c.name);
        EXPECT_EQ(Tops(v), c.tops);
        EXPECT_EQ(ShownMarkers(v), c.markers);
        EXPECT_EQ(LedgerYs(v), c.ledgerYs);
        EXPECT_EQ(v.ledgerLines.size(), c.ledgerYs.size());
        for (const MarkerView& m : v.markers) {
            EXPECT_EQ(m.backColor, 0x00C0C0C0u);
            EXPECT_FALSE(m.caption.has_value());
        }
    }
}

TEST(ChordView, SharpsMoveWithTheirNotes) {
    const ChordView basic = ComputeChordView(Select(1, 0, 0));
    EXPECT_TRUE(basic.noteSlots[0].sharpShown);
    EXPECT_EQ(basic.noteSlots[0].sharpLeft, 5740);
    EXPECT_EQ(basic.noteSlots[0].sharpTop, 5200);
    EXPECT_EQ(basic.noteSlots[0].sharpCaption, "#");
    EXPECT_FALSE(basic.noteSlots[1].sharpShown);
    EXPECT_TRUE(basic.noteSlots[2].sharpShown);
    EXPECT_EQ(basic.noteSlots[2].sharpTop, 4960);

    const ChordView first = ComputeChordView(Select(1, 0, 1));
    EXPECT_EQ(first.noteSlots[0].headTop, 4860);
    EXPECT_EQ(first.noteSlots[0].sharpLeft, 5740);
    EXPECT_EQ(first.noteSlots[0].sharpTop, 4780);
    EXPECT_EQ(first.noteSlots[2].sharpTop, 4960);
    EXPECT_TRUE(first.ledgerLines.empty());
}

TEST(ChordView, NumbersModeCaptionsEveryMarker) {
    const ChordView v = ComputeChordView(Select(0, 0, 0, 0, IdentifierMode::Numbers));
    for (int k = 0; k < kKeyCount; ++k) {
        ASSERT_TRUE(v.markers[static_cast<std::size_t>(k)].caption.has_value()) << k;
    }
    EXPECT_EQ(*v.markers[0].caption, "R");
    EXPECT_EQ(*v.markers[4].caption, "3");
    EXPECT_EQ(*v.markers[7].caption, "5");
    const ChordView first = ComputeChordView(Select(0, 0, 1, 0, IdentifierMode::Numbers));
    EXPECT_TRUE(first.markers[12].shown);
    EXPECT_EQ(*first.markers[12].caption, "R");
    // Names mode leaves the captions to the identifier menu.
    const ChordView names = ComputeChordView(Select(0, 0, 0, 0, IdentifierMode::Names));
    EXPECT_FALSE(names.markers[0].caption.has_value());
}

TEST(ChordView, InversionCaptions) {
    EXPECT_EQ(InversionCaptionFor(0), " Basic");
    EXPECT_EQ(InversionCaptionFor(1), " First Inversion");
    EXPECT_EQ(InversionCaptionFor(2), " Second Inversion");
    EXPECT_EQ(InversionCaptionFor(3), " Third Inversion");
    EXPECT_FALSE(InversionCaptionFor(4).has_value());
    EXPECT_FALSE(InversionCaptionFor(-1).has_value());
}

// The ledger positions a head at `top` needs, worked out from the staff: below it the lines at
// 5340, 5460, ... as far as the head's own line (or the line just above a head in a space); above
// it the lines at 4620, 4500, ... likewise.
std::set<int> NeededLedgerYs(int top) {
    std::set<int> ys;
    for (int y = 5340; y <= top + 60; y += 120) {
        ys.insert(y);
    }
    for (int y = 4620; y >= top + 60; y -= 120) {
        ys.insert(y);
    }
    return ys;
}

// Heads overlap when closer than a head's width across and a staff space down (a third apart they
// touch as heads on neighbouring lines do). Ledger lines reach 50 past the heads standing on or
// beyond them;
// "Chord:" keeps clear of all the chord draws across its band, moved left no further than it must.
void ExpectEngraved(const ChordView& v) {
    double nearest = 9e9;  // the leftmost thing drawn across the label's band
    const auto draw = [&](bool shown, double left, double top, double height) {
        nearest = shown && top < 4635 && top + height > 4440 ? std::min(nearest, left) : nearest;
    };
    for (const NoteSlotView& a : v.noteSlots) {
        std::set<int> crowded{0};  // places of the heads before it less than a space below
        for (const NoteSlotView& b : v.noteSlots) {
            const int down = b.headTop - a.headTop;
            const bool both = a.headShown && b.headShown && &a != &b;
            EXPECT_FALSE(both && std::abs(a.headLeft - b.headLeft) < 165 && std::abs(down) < 120);
            const bool before =
                std::pair(b.headTop, -b.headLeft) > std::pair(a.headTop, -a.headLeft);
            crowded.insert(both && before && down < 120 ? b.headLeft : 0);
        }
        for (int left = 5880; a.headShown && left <= a.headLeft; left += 180) {
            EXPECT_EQ(crowded.count(left) == 0, left == a.headLeft);
        }
        draw(a.headShown, a.headLeft, a.headTop, 135);
        draw(a.sharpShown, a.sharpSign.left, a.sharpSign.top, a.sharpSign.height);
    }
    for (const TwipsHLine& line : v.ledgerLines) {
        int x2 = 6095;
        for (const NoteSlotView& h : v.noteSlots) {
            const bool reaches =
                line.y > 5220 ? line.y <= h.headTop + 60 : line.y >= h.headTop + 60;
            x2 = std::max(x2, h.headShown && reaches ? h.headLeft + 215 : 0);
        }
        EXPECT_EQ(line.x2, x2) << line.y;
        draw(true, line.x1, line.y, 15);
    }
    EXPECT_EQ(v.chordLabel.left,
              static_cast<int>(std::min(5160.0, std::floor(nearest) - 570 - 30)));
}

constexpr theory::Spelling kSpellings[] = {theory::Spelling::Sharps, theory::Spelling::Flats,
                                           theory::Spelling::ByChord};

// The key a head and its sign write: the staff step's natural, raised or lowered by the sign.
int WrittenKey(const NoteSlotView& slot, int clef) {
    constexpr int kNatural[] = {0, 2, 4, 5, 7, 9, 11};
    const int step = (5280 + clef - slot.headTop) / 60;
    const int alter = !slot.sharpShown ? 0 : (slot.sign == SignKind::Sharp ? 1 : -1);
    return 12 * (step / 7) + kNatural[step % 7] + alter;
}

TEST(ChordView, EverySelectionShowsExactlyItsVoicing) {
    for (int root = 0; root < 12; ++root) {
        for (int type = 0; type < static_cast<int>(theory::ChordTypes.size()); ++type) {
            for (int inversion = 0; inversion < 4; ++inversion) {
                for (const auto& [clef, spelling] : Combine({0, 120}, kSpellings)) {
                    SCOPED_TRACE(::testing::Message()
                                 << "root " << root << " type " << type << " inversion "
                                 << inversion << " clef " << clef << " spelling "
                                 << static_cast<int>(spelling));
                    const theory::ChordVoicing voicing = theory::VoiceChord(
                        theory::ChordTypes[static_cast<std::size_t>(type)].intervals, root,
                        inversion, clef);
                    ASSERT_FALSE(voicing.empty());
                    ASSERT_LE(voicing.size(), 6u);
                    const ChordView v = ComputeChordView(
                        Select(root, type, inversion, clef, IdentifierMode::Markers, spelling));
                    const bool sharps = spelling == theory::Spelling::Sharps;

                    std::set<int> sounding;
                    std::set<int> needed;
                    for (std::size_t n = 0; n < v.noteSlots.size(); ++n) {
                        const NoteSlotView& slot = v.noteSlots[n];
                        if (n >= voicing.size()) {
                            EXPECT_FALSE(slot.headShown) << n;
                            EXPECT_FALSE(slot.sharpShown) << n;
                            continue;
                        }
                        const theory::ChordNote& note = voicing[n];
                        sounding.insert(note.soundingKey);
                        const auto ys = NeededLedgerYs(slot.headTop);
                        needed.insert(ys.begin(), ys.end());
                        EXPECT_TRUE(slot.headShown);
                        EXPECT_EQ(WrittenKey(slot, clef), note.soundingKey) << n;
                        EXPECT_TRUE(!sharps || slot.headTop == note.staffTop) << n;
                        const bool sharp = theory::NoteName(note.key).size() == 2;
                        EXPECT_TRUE(!sharps || slot.sharpShown == sharp) << n;
                        if (sharp && sharps) {
                            EXPECT_EQ(slot.sharpLeft, 5740);
                            EXPECT_EQ(slot.sharpTop, note.staffTop - 80);
                            EXPECT_EQ(slot.sharpCaption, "#");
                        }
                    }
                    EXPECT_EQ(ShownMarkers(v), sounding);
                    EXPECT_EQ(LedgerYs(v), needed);
                    EXPECT_EQ(v.ledgerLines.size(), needed.size()) << "a height drawn twice";
                    ExpectEngraved(v);
                }
            }
        }
    }
}

// A "#" is drawn as an engraver sets it: on its note's line or space, two and a half staff spaces
// tall, left of the heads and of the ledger lines, and the signs of a column of notes never run
// into each other.
TEST(ChordView, SignsSitOnTheirNotesAndNeverTouch) {
    double leftmost = kChordColumnLeft;
    for (int root = 0; root < 12; ++root) {
        for (int type = 0; type < static_cast<int>(theory::ChordTypes.size()); ++type) {
            for (int inversion = 0; inversion < 4; ++inversion) {
                for (const auto& [clef, spelling] : Combine({0, 120}, kSpellings)) {
                    SCOPED_TRACE(::testing::Message()
                                 << "root " << root << " type " << type << " inversion "
                                 << inversion << " clef " << clef << " spelling "
                                 << static_cast<int>(spelling));
                    const ChordView v = ComputeChordView(
                        Select(root, type, inversion, clef, IdentifierMode::Markers, spelling));
                    std::vector<SignBox> signs;
                    for (const NoteSlotView& slot : v.noteSlots) {
                        if (!slot.sharpShown) {
                            continue;
                        }
                        const SignBox& b = slot.sharpSign;
                        // The head's centre is its line or space (a line is drawn one pixel
                        // thick below its Y).
                        // A flat's bowl, 190 below its top, is on the note's line or space.
                        const bool flat = slot.sign == SignKind::Flat;
                        EXPECT_DOUBLE_EQ(flat ? b.top + 190 : b.CentreY(),
                                         slot.headTop + kCrotchetHeight / 2.0);
                        EXPECT_DOUBLE_EQ(b.height, flat ? 265 : 2.5 * kStaffSpace);
                        EXPECT_LE(b.left + b.width, slot.headLeft - 15);  // clear of the heads
                        for (const TwipsHLine& line : v.ledgerLines) {    // and of ledger lines
                            EXPECT_TRUE(line.y + 15 <= b.top || line.y >= b.top + b.height ||
                                        b.left + b.width <= line.x1 - 15)
                                << "ledger line at " << line.y;
                        }
                        for (const SignBox& other : signs) {
                            const bool apart = b.left >= other.left + other.width ||
                                               other.left >= b.left + b.width ||
                                               b.top >= other.top + other.height + 60 ||
                                               other.top >= b.top + b.height + 60;
                            EXPECT_TRUE(apart) << b.CentreY() << " and " << other.CentreY();
                        }
                        signs.push_back(b);
                        leftmost = spelling == theory::Spelling::Sharps ? std::min(leftmost, b.left)
                                                                        : leftmost;
                    }
                }
            }
        }
    }
    // Five sharps within a sixth (D#(Eb) Minor 11th in third inversion) need five columns, and
    // six where ledger lines keep the nearest column free (F#(Gb) 13th in third inversion).
    EXPECT_DOUBLE_EQ(leftmost, SharpSignFor(kChordColumnLeft, 0, 5).left);
}

// Three sharps a third apart: the highest nearest the heads, then the lowest, then the middle one.
TEST(ChordView, StackedSharpsStepLeft) {
    const ChordView v = ComputeChordView(Select(6, 0, 0));  // F#, A#, C#
    ASSERT_TRUE(v.noteSlots[0].sharpShown && v.noteSlots[1].sharpShown &&
                v.noteSlots[2].sharpShown);
    EXPECT_EQ(v.noteSlots[2].sharpSign, SharpSignFor(kChordColumnLeft, v.noteSlots[2].headTop, 0));
    EXPECT_EQ(v.noteSlots[0].sharpSign, SharpSignFor(kChordColumnLeft, v.noteSlots[0].headTop, 1));
    EXPECT_EQ(v.noteSlots[1].sharpSign, SharpSignFor(kChordColumnLeft, v.noteSlots[1].headTop, 2));
    // The label boxes stay where the layout puts them.
    for (const NoteSlotView& slot : v.noteSlots) {
        if (slot.sharpShown) {
            EXPECT_EQ(slot.sharpLeft, 5740);
            EXPECT_EQ(slot.sharpTop, slot.headTop - 80);
        }
    }
}

}  // namespace
}  // namespace quorvane::views

namespace quorvane::views {
namespace {

TEST(ChordView, NamesTheNotesLowestFirstForAssistiveTechnology) {
    struct Case {
        int root, type, inversion;
        const char* names;
    };
    // Major (0) and Minor 7th (10): a raised note is read where it sounds, not where it is listed.
    for (const Case& c : std::vector<Case>{{0, 0, 0, "C, E, G"},
                                           {0, 0, 1, "E, G, C"},
                                           {1, 10, 1, "E, G#, B, C#"},
                                           {0, 0, 3, "C, E, G"},
                                           {0, -1, 0, ""}}) {
        const ChordView v = ComputeChordView(Select(c.root, c.type, c.inversion));
        EXPECT_EQ(v.noteNames, c.names) << c.root << "/" << c.type << "/" << c.inversion;
    }
    const ChordView v = ComputeChordView(Select(1, 10, 1));
    EXPECT_EQ(v.keyboardDescription,
              "Chord C#(Db)Minor 7th First Inversion, keys marked: E4, G#4, B4, C#5.");
    EXPECT_EQ(v.staffDescription, "Chord C#(Db)Minor 7th First Inversion: E4, G#4, B4, C#5.");
    EXPECT_EQ(ComputeChordView(Select(0, -1, 0)).staffDescription, "Chord C Basic: none.");
}

// Another spelling names the root, the notes, the symbol and, in Names mode, the markers.
TEST(ChordView, SpelledChordNamesItsNotesEverywhere) {
    const ChordView v =
        ComputeChordView(Select(3, 10, 0, 0, IdentifierMode::Names, theory::Spelling::ByChord));
    EXPECT_EQ(v.name, "EbMinor 7th Basic");
    EXPECT_EQ(v.symbol, "Ebm7");
    EXPECT_EQ(v.staffDescription, "Chord EbMinor 7th Basic: Eb4, Gb4, Bb4, Db5.");
    EXPECT_EQ(v.markers[6].caption, "Gb");
    EXPECT_EQ(v.markers[1].caption, "C#");  // a key the chord does not hold
    EXPECT_FALSE(ComputeChordView(Select(3, 10, 0, 0, IdentifierMode::Names)).markers[6].caption);
}

// The markers' names follow the spelling: Sharps and Flats for every key, by chord as the chord
// writes its own keys (Eb minor 7th here) and as Sharps for the others.
TEST(ChordView, MarkersAreNamedInTheSpelling) {
    using theory::Spelling;
    const struct {
        Spelling spelling;
        std::size_t key;
        const char* name;
    } cases[] = {{Spelling::Sharps, 13, "Marker C#5"}, {Spelling::Flats, 13, "Marker Db5"},
                 {Spelling::Sharps, 6, "Marker F#4"},  {Spelling::ByChord, 6, "Marker Gb4"},
                 {Spelling::ByChord, 1, "Marker C#4"}, {Spelling::Flats, 24, "Marker C6"}};
    for (const auto& c : cases) {
        const ChordView v =
            ComputeChordView(Select(3, 10, 0, 0, IdentifierMode::Markers, c.spelling));
        EXPECT_EQ(v.markers[c.key].accessibleName, c.name);
    }
}

}  // namespace
}  // namespace quorvane::views
