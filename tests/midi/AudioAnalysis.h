#pragma once
// Measures on rendered audio: the power at a frequency (Goertzel) and levels.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>
#include <vector>

namespace quorvane::midi::testing {

// Mean power of the signal's component at `frequency`, normalised by the length.
inline double ToneStrength(std::span<const float> samples, double frequency, double sampleRate) {
    const double w = 2.0 * std::numbers::pi * frequency / sampleRate;
    const double coeff = 2.0 * std::cos(w);
    double s1 = 0.0;
    double s2 = 0.0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        // A Hann window keeps neighbouring semitones from leaking into each other.
        const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) /
                                                 static_cast<double>(samples.size() - 1));
        const double s0 = samples[i] * hann + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
    const double n = static_cast<double>(samples.size());
    return power / (n * n);
}

inline double Peak(std::span<const float> samples) {
    double peak = 0.0;
    for (float s : samples) {
        peak = std::max(peak, static_cast<double>(std::fabs(s)));
    }
    return peak;
}

inline double Rms(std::span<const float> samples) {
    if (samples.empty()) {
        return 0.0;
    }
    double sum = 0.0;
    for (float s : samples) {
        sum += static_cast<double>(s) * s;
    }
    return std::sqrt(sum / static_cast<double>(samples.size()));
}

inline double Dbfs(double level) {
    return level > 0.0 ? 20.0 * std::log10(level) : -300.0;
}

// Middle C and the notes around it, in hertz.
inline double NoteFrequency(int midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

}  // namespace quorvane::midi::testing
