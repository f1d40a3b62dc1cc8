// Quorvane: the program starts with its main window's load step and ends through ShutDown.
// The command line is read first: --help, --version and a wrong option are answered without a
// display and without a window.
#include <QApplication>
#include <QStringList>
#include <algorithm>
#include <cstdio>

#include "app/CommandLine.h"
#include "app/Program.h"

int main(int argc, char** argv) {
    using quorvane::app::CommandLine;
    const CommandLine line =
        quorvane::app::ParseCommandLine({argv + std::min(argc, 1), argv + argc});
    switch (line.action) {
        case CommandLine::Action::Help:
            std::fputs(quorvane::app::Usage().c_str(), stdout);
            return 0;
        case CommandLine::Action::Version:
            std::fputs(quorvane::app::VersionText().c_str(), stdout);
            return 0;
        case CommandLine::Action::Error:
            std::fprintf(stderr, "quorvane: %s\n\n%s", line.error.c_str(),
                         quorvane::app::Usage().c_str());
            return 2;
        case CommandLine::Action::Run:
            break;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    // The desktop entry it is installed with (its icon and name on Wayland desktops).
    QGuiApplication::setDesktopFileName(QStringLiteral("com.brackenfold.Quorvane"));
    quorvane::app::Program program;
    QStringList files;
    for (const std::string& file : line.files) {
        files << QString::fromLocal8Bit(file.c_str());
    }
    program.OpenAtStart(files);
    return program.Run();
}
