#pragma once
// Where the reminder dialog's buttons stand: a rotation of the order OK, Cancel, "WWW" picked by
// a random draw each time the dialog loads. Plain values, no widgets.

#include <functional>

namespace quorvane::dialogs {

enum class ReminderButton { OK, Cancel, WebSite };

struct ReminderArrangement {
    int k = 1;       // 1..3 at start-up, 1..2 when closing
    int okLeft = 0;  // twips
    int cancelLeft = 0;
    int webSiteLeft = 0;
    bool cancelVisible = true;
    ReminderButton defaultButton = ReminderButton::Cancel;
};

inline constexpr int kReminderButtonTop = 3360;
inline constexpr int kReminderButtonWidth = 852;
inline constexpr int kReminderButtonHeight = 372;

// r is the draw in [0, 1). At start-up k = int(r * 3) + 1 picks one of three rotations and
// Cancel is the default button; when closing, Cancel is hidden, k = int(r * 2) + 1 picks one of
// two and "WWW" is the default.
ReminderArrangement ArrangeReminder(bool closing, float r);

// A draw in [0, 1) from a generator seeded with the system clock at the call.
float ClockSeededDraw();

}  // namespace quorvane::dialogs
