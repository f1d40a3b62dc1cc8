// frmChordMain's window-level options and commands (print, export, exit, Link Windows, Pick
// Notes, the Window menu), and how the secondary windows follow the main window's state.
#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QPrinter>
#include <QPushButton>

#include "mainwin/ChordSheet.h"
#include "mainwin/Desktop.h"
#include "mainwin/KeyboardPanel.h"
#include "mainwin/PlayingKeys.h"
#include "mainwin/StaffSurface.h"
#include "mainwin/frmChordMain.h"

namespace quorvane::mainwin {

Q_LOGGING_CATEGORY(lcPrint, "quorvane.print")

// ---- Window-level options and commands --------------------------------------------------

void frmChordMain::mnuFilePrint_Click() {
    // The chord sheet on one page, through the system's print dialog (which also prints to a
    // PDF file). A printer that cannot be started prints nothing; why goes to the log.
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageMargins(
        QMarginsF(kPrintMarginMm, kPrintMarginMm, kPrintMarginMm, kPrintMarginMm),
        QPageLayout::Millimeter);
    printer.setDocName(QString::fromStdString(staff_->Chord().name));
    if (desktop_.ChoosePrinter(printer, this)) {
        if (const QString error = PrintChordSheet(printer, CurrentSheet()); !error.isEmpty()) {
            qCWarning(lcPrint).noquote()
                << QStringLiteral("Printing \"%1\" failed: %2").arg(printer.docName(), error);
        }
    }
}

void frmChordMain::mnuFileExportMIDI_Click() {
    emit exportMidiRequested();
}

void frmChordMain::mnuFileExit_Click() {
    emit exitRequested();
}

void frmChordMain::Form_Unload() {
    emit exitRequested();
}

void frmChordMain::mnuOptionsLinkWindows_Click() {
    selection_.linkWindows = !selection_.linkWindows;
    mnuOptionsLinkWindows_->setChecked(selection_.linkWindows);
    if (selection_.linkWindows) {
        ShowProg();
        ShowScale();
    }
    Announce();
}

void frmChordMain::mnuOptionsPickNotes_Click() {
    playingKeys_->SetOn(PickNotes());
    emit pickNotesChanged(PickNotes());
}

void frmChordMain::ShowHeldKeys(const views::HeldView& held) {
    picKeyboard_->ApplyHeld(held);
    DescribeKeyboard();
}

void frmChordMain::mnuOptionsResetMIDI_Click() {
    emit resetMidiRequested();
}

void frmChordMain::SetProgressionsShown(bool shown) {
    progressionsShown_ = shown;
    mnuWindowProgressions_->setChecked(shown);
}

void frmChordMain::mnuWindowProgressions_Click() {
    QWidget* window = windows_.EnsureProgressions();
    if (window == nullptr) {
        return;
    }
    if (window->isMinimized()) {
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->show();
    } else if (progressionsShown_) {
        SetProgressionsShown(false);
        window->hide();
        window->setWindowState(Qt::WindowNoState);
    } else {
        SetProgressionsShown(true);
        window->show();
        window->raise();
    }
}

void frmChordMain::mnuWindowMIDI_Click() {
    QWidget* window = windows_.EnsureMidiSettings();
    if (window == nullptr) {
        return;
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void frmChordMain::Form_Resize() {
    QWidget* midi = windows_.EnsureMidiSettings();
    QWidget* progressions = windows_.EnsureProgressions();
    // A hidden window stays hidden: its state is left alone, since the window system shows a
    // window whose state is set (an unpainted frame on restore, an icon on minimise).
    const auto shown = [](const QWidget* w) { return w != nullptr && w->isVisible(); };
    if (isMinimized()) {
        if (midi != nullptr) {
            savedMidiState_ = midi->windowState();
        }
        if (shown(midi)) {
            midi->setWindowState(midi->windowState() | Qt::WindowMinimized);
        }
        if (progressions != nullptr) {
            savedProgressionsState_ = progressions->windowState();
        }
        if (shown(progressions)) {
            progressions->setWindowState(progressions->windowState() | Qt::WindowMinimized);
        }
    } else {
        if (shown(midi)) {
            midi->setWindowState(savedMidiState_);
        }
        if (shown(progressions)) {
            progressions->setWindowState(savedProgressionsState_);
        }
    }
}

// ---- Qt events --------------------------------------------------------------------------

void frmChordMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        Form_Resize();
    }
}

void frmChordMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        Form_Resize();
    }
}

void frmChordMain::closeEvent(QCloseEvent* event) {
    // Only the user's wish to keep unsaved work stops the unload: the window then stays.
    if (!windows_.MayEnd()) {
        event->ignore();
        return;
    }
    event->accept();
    Form_Unload();
}

void frmChordMain::keyPressEvent(QKeyEvent* event) {
    // Play is the window's default button: Enter presses it wherever the focus is.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        cmdPlayButton_->isEnabled()) {
        cmdPlayButton_->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

}  // namespace quorvane::mainwin
