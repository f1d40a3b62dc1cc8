// Quorvane: the program starts with its main window's load step and ends through ShutDown.
#include <QApplication>

#include "app/Program.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    // The desktop entry it is installed with (its icon and name on Wayland desktops).
    QGuiApplication::setDesktopFileName(QStringLiteral("com.brackenfold.Quorvane"));
    quorvane::app::Program program;
    return program.Run();
}
