#pragma once
// The chord sequence's files: ChordPro songs read from disk within the size limits, and text
// written beside the target and renamed into place, so a failed save leaves the old file whole.

#include <QString>
#include <string>

#include "theory/chordpro.h"

namespace quorvane::progressions {

// What the open dialog offers.
inline constexpr const char* kSongFileFilter =
    "ChordPro songs (*.cho *.chopro *.chordpro *.crd *.pro *.txt);;All files (*)";

struct SongFileRead {
    theory::ChordProSong song;
    QString error;  // empty when read; else why, with the line number where there is one
};

// The song at `path`: refused when it cannot be read, is over kMaxChordProBytes, or is no song.
SongFileRead ReadSongFile(const QString& path);

// Writes `text` to `path` through a file beside it renamed into place. False with the reason in
// `why`.
bool SaveTextFile(const QString& path, const std::string& text, QString* why);

}  // namespace quorvane::progressions
