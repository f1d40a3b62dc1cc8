#include "theory/chordpro.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "theory/symbols.h"

namespace quorvane::theory {

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::optional<int> Number(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// "C", "Am", "F#m", "Eb minor", "D major".
std::optional<Key> ReadKey(std::string_view text) {
    std::string symbol(text);
    for (const auto& [word, minor] : {std::pair{" minor", "m"}, std::pair{" major", ""}}) {
        if (symbol.size() > 6 && Lower(symbol).ends_with(word)) {
            symbol = std::string(Trimmed(symbol.substr(0, symbol.size() - 6))) + minor;
        }
    }
    const std::optional<SequenceCell> cell = ReadChordSymbol(symbol);
    if (!cell || !cell->known || cell->chord.chordTypeIndex > 1 || cell->chord.inversion != 0) {
        return std::nullopt;
    }
    return Key{cell->chord.rootIndex, cell->chord.chordTypeIndex == 1};
}

// The key as a ChordPro {key} writes it: "C", "Ebm".
std::string KeyText(Key key) {
    const std::string name = KeyName(key);
    return name.substr(0, name.find(' ')) + (key.minor ? "m" : "");
}

struct Reader {
    ChordProRead read;
    bool bracketed = false;
    bool inTab = false;
    bool inGrid = false;

    bool Fail(std::string why, int line) {
        read.error = std::move(why);
        read.line = line;
        return false;
    }

    bool Directive(std::string_view body, int line) {
        const std::size_t split = body.find_first_of(": ");
        const std::string name = Lower(Trimmed(body.substr(0, split)));
        const std::string_view value =
            split == std::string_view::npos ? std::string_view() : Trimmed(body.substr(split + 1));
        ChordProSong& song = read.song;
        if (name == "title" || name == "t") {
            song.title = std::string(value);
        } else if (name == "key") {
            song.key = ReadKey(value);
            if (!song.key) {
                return Fail("The key \"" + std::string(value) + "\" is no key.", line);
            }
        } else if (name == "tempo" || name == "x_beats_per_chord") {
            const std::optional<int> n = Number(value);
            if (!n || *n <= 0) {
                return Fail("The " + name + " \"" + std::string(value) + "\" is no number.", line);
            }
            (name == "tempo" ? song.tempo : song.beatsPerChord) = *n;
        } else if (name == "time") {
            song.time = std::string(value);
        } else if (name == "x_voicing") {
            song.voicing = std::string(value);
        } else if (name == "x_spelling") {
            song.spelling = std::string(value);
        } else if (name == "start_of_tab" || name == "sot" || name == "end_of_tab" ||
                   name == "eot") {
            inTab = name == "start_of_tab" || name == "sot";
        } else if (name == "start_of_grid" || name == "sog" || name == "end_of_grid" ||
                   name == "eog") {
            inGrid = name == "start_of_grid" || name == "sog";
        }
        return true;
    }

    // The bracketed chords of a song line; annotations ("[*Coda]") are not chords, and a
    // bracket that holds no symbol is kept as written.
    bool Bracketed(std::string_view text, int line) {
        for (std::size_t open = text.find('['); open != std::string_view::npos;
             open = text.find('[', open + 1)) {
            const std::size_t close = text.find(']', open);
            if (close == std::string_view::npos) {
                return Fail("A chord's bracket is not closed.", line);
            }
            const std::string_view chord = Trimmed(text.substr(open + 1, close - open - 1));
            if (chord.empty() || chord.front() == '*') {
                continue;
            }
            std::optional<SequenceCell> cell = ReadChordSymbol(chord);
            if (!cell) {
                cell = SequenceCell{{}, false, std::string(chord), "This is no chord symbol."};
            }
            read.song.cells.push_back(std::move(*cell));
        }
        return true;
    }

    // A grid line ("| C . . . | G . Am . |"): its symbols, beat dots and labels passed over.
    void Grid(std::string_view text) {
        std::size_t at = 0;
        while (at < text.size()) {
            const std::size_t start = text.find_first_not_of(" \t|:", at);
            if (start == std::string_view::npos) {
                break;
            }
            const std::size_t end = std::min(text.find_first_of(" \t|:", start), text.size());
            if (std::optional<SequenceCell> cell =
                    ReadChordSymbol(text.substr(start, end - start))) {
                read.song.cells.push_back(std::move(*cell));
            }
            at = end;
        }
    }

    // A plain chart's line: chord symbols only, or lyrics; a line with bar lines is a chart's.
    bool Plain(std::string_view text, int line) {
        SymbolsRead symbols = ReadChordSymbols(text);
        if (!symbols.error.empty()) {
            return text.find('|') == std::string_view::npos ? true : Fail(symbols.error, line);
        }
        for (SequenceCell& cell : symbols.cells) {
            read.song.cells.push_back(std::move(cell));
        }
        return true;
    }
};

}  // namespace

ChordProRead ReadChordPro(std::string_view text) {
    Reader reader;
    if (text.size() > kMaxChordProBytes) {
        reader.Fail("The file is larger than 1 MB.", 0);
        return reader.read;
    }
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].size() > kMaxChordProLine) {
            reader.Fail("The line is longer than 64 KB.", static_cast<int>(i + 1));
            return reader.read;
        }
        reader.bracketed = reader.bracketed || lines[i].find('[') != std::string_view::npos;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        const std::string_view line = Trimmed(lines[i]);
        bool ok = true;
        if (line.starts_with('#') && !reader.inTab) {
            continue;  // a comment
        }
        if (line.starts_with('{')) {
            if (!line.ends_with('}')) {
                reader.Fail("A directive's brace is not closed.", number);
                return reader.read;
            }
            ok = reader.Directive(line.substr(1, line.size() - 2), number);
        } else if (reader.inTab) {
            continue;
        } else if (reader.inGrid) {
            reader.Grid(line);
        } else {
            ok = reader.bracketed ? reader.Bracketed(line, number) : reader.Plain(line, number);
        }
        if (!ok) {
            return reader.read;
        }
    }
    return reader.read;
}

std::string WriteChordPro(const ChordProSong& song, Spelling spelling) {
    std::string out;
    const auto directive = [&out](std::string_view name, const std::string& value) {
        if (!value.empty()) {
            out.append("{").append(name).append(": ").append(value).append("}\n");
        }
    };
    directive("title", song.title);
    directive("key", song.key ? KeyText(*song.key) : std::string());
    directive("tempo", song.tempo ? std::to_string(*song.tempo) : std::string());
    directive("time", song.time);
    directive("x_beats_per_chord",
              song.beatsPerChord ? std::to_string(*song.beatsPerChord) : std::string());
    directive("x_voicing", song.voicing);
    directive("x_spelling", song.spelling);
    out += '\n';
    for (std::size_t i = 0; i < song.cells.size(); ++i) {
        const SequenceCell& cell = song.cells[i];
        const SequenceChord& c = cell.chord;
        const std::string symbol =
            !cell.known ? cell.text
            : song.key  ? SymbolInKey(c, *song.key, spelling)
                        : ChordSymbol(c.rootIndex, c.chordTypeIndex, c.inversion, spelling);
        out += "[" + symbol + "]";
        out += (i % 4 == 3 || i + 1 == song.cells.size()) ? "\n" : " ";
    }
    return out;
}

}  // namespace quorvane::theory
