#pragma once
// Where the program's MIDI files go: to a file the user names (beside the last export), or into a
// drag from a private temporary folder. The chord and the chord sequence both leave this way.

#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mainwin/Desktop.h"

class QMimeData;
class QWidget;

namespace quorvane::app {

// Asks `owner`'s user for a file, proposing the name made from `title` in `exportFolder` (the
// home folder at first), and writes `bytes` there; `exportFolder` then follows the file. A file
// that cannot be written is said in a message box and leaves what was there whole. The written
// path, or an empty one when cancelled or failed.
QString ExportMidiFile(mainwin::Desktop& desktop, QWidget* owner, QString& exportFolder,
                       const std::string& title, const std::vector<std::uint8_t>& bytes);

// `bytes` written to the private folder under the name made from `title`, as a drag carries
// them: the file's address and the bytes themselves. Null when the file cannot be written, which
// is said to `owner`'s user in a message box.
std::unique_ptr<QMimeData> MidiDragData(mainwin::Desktop& desktop, QWidget* owner,
                                        const std::string& title,
                                        const std::vector<std::uint8_t>& bytes);

}  // namespace quorvane::app
