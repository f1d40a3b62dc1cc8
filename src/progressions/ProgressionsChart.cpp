#include "progressions/ProgressionsChart.h"

#include "theory/catalogue.h"

namespace quorvane::progressions {

Captions ProgCaptions(int rootIndex, theory::Spelling spelling) {
    Captions captions;
    const int root = ((rootIndex % 12) + 12) % 12;
    for (std::size_t n = 0; n < kBoxes.size(); ++n) {
        const BoxLayout& box = kBoxes[n];
        const int chordRoot = (root + box.offset) % 12;
        constexpr int kMajorType = 0;
        constexpr int kMinorType = 1;
        captions[n] = theory::NameRoot(chordRoot, box.minor ? kMinorType : kMajorType, spelling);
        if (box.minor) {
            captions[n] += 'm';
        }
    }
    return captions;
}

Captions CreatedCaptions() {
    Captions captions;
    for (std::size_t n = 0; n < kBoxes.size(); ++n) {
        captions[n] = kBoxes[n].createdCaption;
    }
    return captions;
}

Placement PlaceWindow(int screenWidthTwips, int mainOuterWidthTwips) {
    if (screenWidthTwips >= kWideScreenTwips) {
        return {mainOuterWidthTwips, 0};
    }
    return {kNarrowScreenLeft, 0};
}

}  // namespace quorvane::progressions
