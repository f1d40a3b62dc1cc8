#include "progressions/MusicXml.h"

namespace quorvane::progressions {

std::string WriteMusicXml(const MusicXmlSong&) {
    return {};
}

}  // namespace quorvane::progressions
