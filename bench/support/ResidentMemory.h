#pragma once
// The resident memory of the calling process, for benchmark children that report it.

#include <fstream>
#include <string>

namespace quorvane::bench {

// VmRSS in kilobytes; -1 when it cannot be read.
inline long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

}  // namespace quorvane::bench
