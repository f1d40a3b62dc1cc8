#pragma once
// The fretboard window's logging category: what failed and why (an image that could not be
// saved, a tuning that was refused).

#include <QLoggingCategory>

namespace quorvane::fretboard {
Q_DECLARE_LOGGING_CATEGORY(lcFretboard)
}
