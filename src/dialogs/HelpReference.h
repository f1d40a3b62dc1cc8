#pragma once
// The reference pages of the help, written from the catalogue: the chord formulas, the scale
// formulas and the meaning of the Numbers captions. The build writes them into the help document
// (helpgen.cpp), so the help always tells what the program shows. Standard library only.

#include <string>
#include <vector>

namespace quorvane::dialogs {

struct HelpPage {
    std::string file;  // name inside the help document, as the contents page links it
    std::string html;
};

// The chord formulas, the scale formulas and the Numbers captions, in that order.
std::vector<HelpPage> ReferencePages();

}  // namespace quorvane::dialogs
