// Quorvane: the program starts with its main window's load step and ends with the window.
#include <QApplication>

#include "mainwin/frmChordMain.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));

    quorvane::mainwin::frmChordMain window;
    if (!window.Form_Load()) {
        return 0;
    }
    window.show();
    return QApplication::exec();
}
