#pragma once
// The command line: what `quorvane --help`, `--version`, a wrong option and `quorvane FILE...`
// ask for, read before any window or display is touched, and the kind of each file named.
// Standard library only.

#include <string>
#include <string_view>
#include <vector>

namespace quorvane::app {

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    // The files to open once the main window shows, in the order given.
    std::vector<std::string> files;
    // What was wrong, for Action::Error.
    std::string error;
};

// `args` without the program's name. Qt's own options (-platform NAME, -style NAME, ...) are
// passed over with their values: QApplication takes them.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text `--help` prints.
std::string Usage();
// The text `--version` prints: "Quorvane" and the version.
std::string VersionText();

enum class FileKind {
    Chart,      // a ChordPro song or a plain text chord chart
    Soundfont,  // .sf2, .sf3
    Other
};
// By the file name's extension, in any case.
FileKind KindOfFile(std::string_view path);

}  // namespace quorvane::app
