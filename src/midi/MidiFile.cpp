#include "midi/MidiFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string_view>
#include <system_error>

#include "midi/MidiStatus.h"

namespace quorvane::midi {

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

// A variable-length quantity: seven bits a byte, most significant first, all but the last with
// the top bit set.
void PutVariable(Bytes& out, std::uint32_t value) {
    std::uint8_t groups[5];
    int count = 0;
    do {
        groups[count++] = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1) {
        out.push_back(static_cast<std::uint8_t>(groups[--count] | (1u << 7)));
    }
    out.push_back(groups[0]);
}

struct TrackWriter {
    Bytes data;
    int now = 0;  // ticks
    void Event(int at, std::initializer_list<std::uint8_t> bytes) {
        PutVariable(data, static_cast<std::uint32_t>(std::max(0, at - now)));
        now = std::max(now, at);
        data.insert(data.end(), bytes);
    }
    void Meta(int at, std::uint8_t type, const Bytes& payload) {
        Event(at, {0xFF, type});
        PutVariable(data, static_cast<std::uint32_t>(payload.size()));
        data.insert(data.end(), payload.begin(), payload.end());
    }
};

std::uint8_t Low7(int value) {
    return static_cast<std::uint8_t>(value & 0x7F);
}

// Format 0: the header, then the one track.
Bytes FileOfTrack(int ticksPerQuarter, const Bytes& track) {
    Bytes file{'M', 'T', 'h', 'd'};
    Put32(file, 6);
    file.insert(file.end(), {0x00, 0x00, 0x00, 0x01});  // format 0, one track
    file.push_back(static_cast<std::uint8_t>(ticksPerQuarter >> 8));
    file.push_back(static_cast<std::uint8_t>(ticksPerQuarter & 0xFF));
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    Put32(file, static_cast<std::uint32_t>(track.size()));
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

std::string Reason() {
    return errno != 0 ? std::strerror(errno) : "no reason given";
}

}  // namespace

std::vector<std::uint8_t> WriteMidiFile(const ChordFile& chord) {
    const auto channel = static_cast<std::uint8_t>(chord.channel & 0x0F);
    const std::uint8_t velocity = Low7(chord.velocity);
    TrackWriter track;
    if (!chord.name.empty()) {
        track.Meta(0, 0x03, Bytes(chord.name.begin(), chord.name.end()));
    }
    constexpr auto tempo = static_cast<std::uint32_t>(kMicrosecondsPerQuarter);
    track.Meta(0, 0x51,
               {static_cast<std::uint8_t>(tempo >> 16), static_cast<std::uint8_t>(tempo >> 8),
                static_cast<std::uint8_t>(tempo)});
    track.Event(0, {static_cast<std::uint8_t>(ChannelStatus(kProgramChange, channel)),
                    Low7(chord.program)});
    std::vector<bool> started(chord.notes.size(), false);
    for (const PlannedOnset& onset : chord.plan.onsets) {
        if (onset.note < chord.notes.size()) {
            started[onset.note] = true;
            track.Event(onset.atMs, {static_cast<std::uint8_t>(ChannelStatus(kNoteOn, channel)),
                                     Low7(chord.notes[onset.note]), velocity});
        }
    }
    // Released together, in list order, as Play releases them.
    for (std::size_t i = 0; i < chord.notes.size(); ++i) {
        if (started[i]) {
            track.Event(chord.plan.endMs,
                        {static_cast<std::uint8_t>(ChannelStatus(kNoteOff, channel)),
                         Low7(chord.notes[i]), velocity});
        }
    }
    track.Meta(track.now, 0x2F, {});
    return FileOfTrack(kTicksPerQuarter, track.data);
}

std::vector<std::uint8_t> WriteSequenceFile(const SequenceFile& sequence) {
    const auto channel = static_cast<std::uint8_t>(sequence.channel & 0x0F);
    const std::uint8_t velocity = Low7(sequence.velocity);
    const int tempo = std::max(1, sequence.tempo);
    TrackWriter track;
    const auto perQuarter = static_cast<std::uint32_t>((60'000'000 + tempo / 2) / tempo);
    track.Meta(0, 0x51,
               {static_cast<std::uint8_t>(perQuarter >> 16),
                static_cast<std::uint8_t>(perQuarter >> 8), static_cast<std::uint8_t>(perQuarter)});
    // 4/4, a click every quarter note, eight 32nds a quarter.
    track.Meta(0, 0x58, {4, 2, 24, 8});
    if (!sequence.name.empty()) {
        track.Meta(0, 0x03, Bytes(sequence.name.begin(), sequence.name.end()));
    }
    track.Event(0, {static_cast<std::uint8_t>(ChannelStatus(kProgramChange, channel)),
                    Low7(sequence.program)});
    // Each marker goes before the events of its beat, so a DAW shows the name over the notes.
    auto markers = sequence.markers;
    std::stable_sort(markers.begin(), markers.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    auto marker = markers.begin();
    const auto markersUpTo = [&](int tick) {
        for (; marker != markers.end() && marker->first * kSequenceTicksPerQuarter <= tick;
             ++marker) {
            track.Meta(marker->first * kSequenceTicksPerQuarter, 0x06,
                       Bytes(marker->second.begin(), marker->second.end()));
        }
    };
    for (const SequenceEvent& event : sequence.plan.events) {
        const int tick = event.beat * kSequenceTicksPerQuarter +
                         event.offsetMs * tempo * kSequenceTicksPerQuarter / 60'000;
        markersUpTo(tick);
        const auto status =
            static_cast<std::uint8_t>(ChannelStatus(event.on ? kNoteOn : kNoteOff, channel));
        track.Event(tick, {status, Low7(event.note), velocity});
    }
    markersUpTo(std::max(track.now, sequence.plan.beats * kSequenceTicksPerQuarter));
    track.Meta(std::max(track.now, sequence.plan.beats * kSequenceTicksPerQuarter), 0x2F, {});
    return FileOfTrack(kSequenceTicksPerQuarter, track.data);
}

std::string ChordFileName(const std::string& title) {
    std::string name = title.empty() ? std::string("chord") : title;
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F ||
            std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos) {
            c = '-';
        }
    }
    return name + ".mid";
}

bool SaveMidiFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes,
                  std::string* why) {
    // Beside the target, so the rename stays on one file system and replaces it in one step.
    std::filesystem::path partial = path;
    partial += ".partial";
    errno = 0;
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    if (!out) {
        *why = "cannot be opened for writing: " + Reason();
        return false;
    }
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    std::error_code removed;
    if (!out) {
        *why = "could not be written completely: " + Reason();
        std::filesystem::remove(partial, removed);
        return false;
    }
    std::error_code renamed;
    std::filesystem::rename(partial, path, renamed);
    if (renamed) {
        *why = "could not be put in place: " + renamed.message();
        std::filesystem::remove(partial, removed);
        return false;
    }
    return true;
}

}  // namespace quorvane::midi
