#include "mainwin/Desktop.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

#include "dialogs/ReminderArrangement.h"
#include "dialogs/WebLinks.h"

namespace quorvane::mainwin {

int Desktop::ScreenWidthPixels() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().width() : 0;
}

void Desktop::ShowCriticalMessage(QWidget* owner, const QString& title, const QString& text,
                                  const QString& details) {
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, owner);
    box.setInformativeText(details);
    box.exec();
}

void Desktop::OpenPopupMenu(QMenu* menu) {
    menu->exec(QCursor::pos());
}

bool Desktop::ChoosePrinter(QPrinter& printer, QWidget* owner) {
    QPrintDialog dialog(&printer, owner);
    return dialog.exec() == QDialog::Accepted;
}

void Desktop::OpenWebPage(const QString& address) {
    dialogs::OpenWebPage(address);
}

float Desktop::ReminderDraw() {
    return dialogs::ClockSeededDraw();
}

dialogs::frmMoney::Outcome Desktop::ShowReminderModal(dialogs::frmMoney& reminder) {
    return reminder.ShowModal(ReminderDraw());
}

void Desktop::EndProcess() {
    std::fflush(nullptr);
    std::_Exit(0);
}

}  // namespace quorvane::mainwin
