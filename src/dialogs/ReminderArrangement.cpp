#include "dialogs/ReminderArrangement.h"

#include <algorithm>
#include <chrono>
#include <random>

namespace quorvane::dialogs {

namespace {

int Pick(float r, int choices) {
    // A draw outside [0, 1) (none should come) still lands on a valid arrangement.
    const int k = static_cast<int>(r * static_cast<float>(choices)) + 1;
    return std::clamp(k, 1, choices);
}

}  // namespace

ReminderArrangement ArrangeReminder(bool closing, float r) {
    ReminderArrangement a;
    if (closing) {
        a.cancelVisible = false;
        a.k = Pick(r, 2);
        a.okLeft = a.k == 1 ? 960 : 2280;
        a.webSiteLeft = a.k == 1 ? 2280 : 960;
        // Cancel keeps its place from the last start-up arrangement; it is hidden.
        a.cancelLeft = 1680;
        a.defaultButton = ReminderButton::WebSite;
        return a;
    }
    a.cancelVisible = true;
    a.k = Pick(r, 3);
    switch (a.k) {
        case 1:
            a.okLeft = 600;
            a.cancelLeft = 1680;
            a.webSiteLeft = 2760;
            break;
        case 2:
            a.okLeft = 1680;
            a.cancelLeft = 2760;
            a.webSiteLeft = 600;
            break;
        default:
            a.okLeft = 2760;
            a.cancelLeft = 600;
            a.webSiteLeft = 1680;
            break;
    }
    a.defaultButton = ReminderButton::Cancel;
    return a;
}

float ClockSeededDraw() {
    const auto seed =
        static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    std::mt19937 generator(static_cast<std::mt19937::result_type>(seed ^ (seed >> 32)));
    // 24 random bits give every single-precision value of the form n / 2^24, all below 1.
    return static_cast<float>(generator() >> 8) / 16777216.0f;
}

}  // namespace quorvane::dialogs
