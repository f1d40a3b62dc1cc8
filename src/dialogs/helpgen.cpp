// Writes the help's reference pages (chord and scale formulas, the Numbers captions) from the
// catalogue into the folder given as the only argument. The build runs it and bundles the pages
// with the rest of the help.
#include <cstdio>
#include <fstream>
#include <string>

#include "dialogs/HelpReference.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    for (const quorvane::dialogs::HelpPage& page : quorvane::dialogs::ReferencePages()) {
        const std::string path = std::string(argv[1]) + "/" + page.file;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << page.html;
        out.close();
        if (!out) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], path.c_str());
            return 1;
        }
    }
    return 0;
}
