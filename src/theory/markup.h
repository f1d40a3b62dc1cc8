#pragma once
// Text set into XML and HTML (the MusicXML score, the help pages): the characters that markup
// reads as its own are written as entities. Standard library only.

#include <string>
#include <string_view>

namespace quorvane::theory {

inline std::string EscapeMarkup(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace quorvane::theory
