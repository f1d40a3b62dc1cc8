#include "mainwin/Desktop.h"

#include <QAbstractButton>
#include <QCursor>
#include <QDrag>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPixmap>
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

Desktop::SaveChoice Desktop::AskToSave(QWidget* owner, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, owner);
    box.setDefaultButton(QMessageBox::Save);
    // Access keys, so the choice is one key press away.
    box.button(QMessageBox::Save)->setText(QStringLiteral("&Save"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("&Discard"));
    switch (box.exec()) {
        case QMessageBox::Save:
            return SaveChoice::Save;
        case QMessageBox::Discard:
            return SaveChoice::Discard;
        default:
            return SaveChoice::Cancel;
    }
}

void Desktop::OpenPopupMenu(QMenu* menu) {
    menu->exec(QCursor::pos());
}

bool Desktop::ChoosePrinter(QPrinter& printer, QWidget* owner) {
    QPrintDialog dialog(&printer, owner);
    return dialog.exec() == QDialog::Accepted;
}

QString Desktop::ChooseSaveFile(QWidget* owner, const QString& title, const QString& proposed,
                                const QString& filter) {
    return QFileDialog::getSaveFileName(owner, title, proposed, filter);
}

QString Desktop::ChooseOpenFile(QWidget* owner, const QString& title, const QString& folder,
                                const QString& filter) {
    return QFileDialog::getOpenFileName(owner, title, folder, filter);
}

QString Desktop::PrivateFolder() {
    if (!privateFolder_) {
        privateFolder_ = std::make_unique<QTemporaryDir>();
    }
    return privateFolder_->isValid() ? privateFolder_->path() : QString();
}

void Desktop::StartDrag(QWidget* source, std::unique_ptr<QMimeData> data, const QPixmap& image) {
    auto* drag = new QDrag(source);  // Qt deletes it once it has ended
    drag->setMimeData(data.release());
    drag->setPixmap(image);
    drag->setHotSpot(QPoint(image.width(), image.height()) / (2 * image.devicePixelRatio()));
    drag->exec(Qt::CopyAction);
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
    // No destructor runs after this: the private folder goes now.
    privateFolder_.reset();
    std::fflush(nullptr);
    std::_Exit(0);
}

}  // namespace quorvane::mainwin
