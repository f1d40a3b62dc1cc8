#include "midi/MidiLog.h"

namespace quorvane::midi {

// Warnings and above by default; QT_LOGGING_RULES="quorvane.midi.debug=true" shows what the devices
// and libraries report along the way.
Q_LOGGING_CATEGORY(lcMidi, "quorvane.midi", QtInfoMsg)

}  // namespace quorvane::midi
