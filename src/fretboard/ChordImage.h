#pragma once
// A chord box as an SVG image a word processor or a web page takes, and the file it is saved in,
// written beside the target and renamed into place so a failed save leaves what was there.

#include <QByteArray>
#include <QString>

#include "fretboard/FretboardView.h"

namespace quorvane::fretboard {

QByteArray ChordBoxSvg(const ChordBoxView& box, const QString& title);

// Writes `bytes` to `path`; empty on success, else why it failed.
QString SaveFile(const QString& path, const QByteArray& bytes);

}  // namespace quorvane::fretboard
