// Quorvane: the program starts with its main window's load step and ends through ShutDown.
#include <QApplication>

#include "app/Program.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    quorvane::app::Program program;
    return program.Run();
}
