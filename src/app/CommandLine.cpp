#include "app/CommandLine.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace quorvane::app {

namespace {

// Qt's own options that take a value, and those that do not (QApplication reads them all).
constexpr std::array<std::string_view, 14> kQtOptionsWithValue{
    "platform",     "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
    "qwindowtitle", "qwindowicon",        "session",       "style",  "stylesheet",
    "display",      "geometry",           "name",          "title"};
constexpr std::array<std::string_view, 5> kQtFlags{"reverse", "widgetcount", "nograb", "dograb",
                                                   "sync"};

bool Listed(std::string_view name, auto options) {
    return std::find(options.begin(), options.end(), name) != options.end();
}

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

CommandLine Failed(std::string error) {
    CommandLine line;
    line.action = CommandLine::Action::Error;
    line.error = std::move(error);
    return line;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            line.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h" || arg == "-?") {
            line.action = CommandLine::Action::Help;
            return line;
        } else if (arg == "--version" || arg == "-v") {
            line.action = CommandLine::Action::Version;
            return line;
        } else {
            // Qt reads its options with one dash or two, and a value after "=" or as the next
            // argument.
            std::string_view name(arg);
            name.remove_prefix(arg.starts_with("--") ? 2 : 1);
            const std::size_t equals = name.find('=');
            const bool inlineValue = equals != std::string_view::npos;
            name = name.substr(0, equals);
            if (Listed(name, kQtOptionsWithValue)) {
                if (!inlineValue && ++i == args.size()) {
                    return Failed("option '" + arg + "' needs a value");
                }
            } else if (!Listed(name, kQtFlags) || inlineValue) {
                return Failed("unknown option '" + arg + "'");
            }
        }
    }
    return line;
}

std::string Usage() {
    return "Usage: quorvane [OPTION]... [FILE]...\n"
           "A chord and scale reference for musicians: chords and scales on a piano keyboard\n"
           "and a staff, played through the built-in synthesizer or a MIDI output.\n"
           "\n"
           "Each FILE is opened once the main window shows: a ChordPro song or a text chord\n"
           "chart (.cho .chopro .chordpro .crd .pro .txt) in the chord sequence window, a\n"
           "SoundFont (.sf2 .sf3) for the built-in synthesizer.\n"
           "\n"
           "  -h, --help       print this help and end\n"
           "  -v, --version    print the version and end\n"
           "  --               what follows is a file, even when it begins with '-'\n"
           "\n"
           "Qt's options (-platform NAME, -style NAME, -reverse, ...) are understood too.\n"
           "The help is in the program: Help > Index, or F1 in any window. See quorvane(1).\n";
}

std::string VersionText() {
    return std::string("Quorvane ") + QUORVANE_VERSION + "\n";
}

FileKind KindOfFile(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos || dot == 0) {
        return FileKind::Other;
    }
    const std::string extension = Lower(name.substr(dot + 1));
    constexpr std::array<std::string_view, 6> kCharts{"cho", "chopro", "chordpro",
                                                      "crd", "pro",    "txt"};
    if (Listed(extension, kCharts)) {
        return FileKind::Chart;
    }
    if (extension == "sf2" || extension == "sf3") {
        return FileKind::Soundfont;
    }
    return FileKind::Other;
}

}  // namespace quorvane::app
