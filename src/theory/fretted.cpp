// The fretted-shape finder and the shape texts players read and write.
#include "theory/fretted.h"

namespace quorvane::theory {

const std::vector<Tuning>& ListedTunings() {
    static const std::vector<Tuning> tunings = {
        {"Guitar (standard)", {40, 45, 50, 55, 59, 64}},
        {"Guitar (drop D)", {38, 45, 50, 55, 59, 64}},
        {"Guitar (DADGAD)", {38, 45, 50, 55, 57, 62}},
        {"Guitar (open G)", {38, 43, 50, 55, 59, 62}},
        {"Bass (4 strings)", {28, 33, 38, 43}},
        {"Bass (5 strings)", {23, 28, 33, 38, 43}},
        {"Ukulele", {67, 60, 64, 69}},
        {"Mandolin", {55, 62, 69, 76}},
    };
    return tunings;
}

TuningRead ReadTuning(std::string_view) {
    return {{}, "not read yet"};
}

std::vector<FrettedShape> FindShapes(const std::vector<int>&, int, int, int, int) {
    return {};
}

int BaseFret(const FrettedShape&) {
    return 1;
}

std::string ShapeText(const FrettedShape&) {
    return {};
}

std::string LeftOutText(const FrettedShape&) {
    return {};
}

std::string ChordProDefine(const std::string&, const FrettedShape&) {
    return {};
}

FretsRead ReadFrets(std::string_view, int) {
    return {{}, "not read yet"};
}

std::string DegreeLabel(int, int) {
    return {};
}

}  // namespace quorvane::theory
