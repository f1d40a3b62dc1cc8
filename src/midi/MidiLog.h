#pragma once
// The MIDI output's log category. Every failure of a device or of a library it loads is written
// here with its reason, so that someone running the program from a terminal learns why; the
// message boxes keep their fixed texts.

#include <QLoggingCategory>

namespace quorvane::midi {

Q_DECLARE_LOGGING_CATEGORY(lcMidi)

}  // namespace quorvane::midi
