// The main window as the program starts it, then the built-in synthesizer opened as the MIDI
// settings window opens it: prints the resident memory (kB) before and after, and whether the
// synthesizer reached an audio output or only its soundfont was loaded.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <string>

#include "mainwin/Desktop.h"
#include "mainwin/frmChordMain.h"
#include "midi/BuiltinSynth.h"
#include "support/ResidentMemory.h"

namespace {

using quorvane::bench::ResidentKb;

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quorvane::mainwin::Desktop desktop;
    quorvane::mainwin::frmChordMain window(desktop);
    if (!window.Form_Load()) {
        return 1;
    }
    window.show();
    std::unique_ptr<quorvane::midi::OutputDevice> device;
    std::unique_ptr<quorvane::midi::SynthSetup> setup;
    QTimer::singleShot(200, [&] {
        const long before = ResidentKb();
        device = quorvane::midi::OpenBuiltinSynth();
        const char* what = "device";
        if (!device) {
            // No audio output here: the synthesizer with its soundfont, as the device holds it.
            what = "soundfont";
            if (const auto soundfont = quorvane::midi::FindGeneralMidiSoundfont()) {
                setup = quorvane::midi::SynthSetup::Create(*soundfont);
            }
            if (!setup) {
                what = "none";
            }
        }
        std::printf("rss_kb %ld %ld %s\n", before, ResidentKb(), what);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    return QApplication::exec();
}
