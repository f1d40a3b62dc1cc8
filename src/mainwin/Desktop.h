#pragma once
// Desktop: where the outside world enters the program. The screen's width, the modal loops of
// message boxes, the pop-up menu, the print, save and open dialogs and the start-up and closing
// reminder, drags to other programs, the program's private temporary folder, the web browser, the
// reminder's random draw and the end of the process all go through here. The program
// runs on this class as it is; tests subclass it and answer for the user and the system.

#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "dialogs/frmMoney.h"

class QMenu;
class QMimeData;
class QPixmap;
class QPrinter;
class QWidget;

namespace quorvane::mainwin {

class Desktop {
  public:
    Desktop() = default;
    virtual ~Desktop() = default;
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // The primary screen's width in pixels (0 when there is no screen).
    virtual int ScreenWidthPixels() const;
    // A modal message box with the stop icon and an OK button; `details`, when not empty, stands
    // below the text.
    virtual void ShowCriticalMessage(QWidget* owner, const QString& title, const QString& text,
                                     const QString& details);
    void ShowCriticalMessage(QWidget* owner, const QString& title, const QString& text) {
        ShowCriticalMessage(owner, title, text, QString());
    }
    enum class SaveChoice { Save, Discard, Cancel };
    // A modal question with the warning icon and the buttons Save, Discard and Cancel; closing
    // the box is Cancel.
    virtual SaveChoice AskToSave(QWidget* owner, const QString& title, const QString& text);
    // Opens the menu at the pointer and returns when it has closed.
    virtual void OpenPopupMenu(QMenu* menu);
    // The print dialog; false when the user cancelled it.
    virtual bool ChoosePrinter(QPrinter& printer, QWidget* owner);
    // The save dialog, proposing the file `proposed` (a full path); the path chosen, empty when
    // the user cancelled it.
    virtual QString ChooseSaveFile(QWidget* owner, const QString& title, const QString& proposed,
                                   const QString& filter);
    // The open dialog, starting in `folder`; the path chosen, empty when the user cancelled it.
    virtual QString ChooseOpenFile(QWidget* owner, const QString& title, const QString& folder,
                                   const QString& filter);
    // A folder only this run of the program uses, made at the first call and removed at the end
    // of the process; empty when none can be made.
    virtual QString PrivateFolder();
    // Drags `data` from `source` to wherever the user drops it (another program, a file
    // manager), showing `image` under the pointer, and returns when the drag has ended.
    virtual void StartDrag(QWidget* source, std::unique_ptr<QMimeData> data, const QPixmap& image);
    // Hands a web address to the desktop's default handler; the result is ignored.
    virtual void OpenWebPage(const QString& address);
    // A draw in [0, 1) for the reminder's button arrangement, from a clock-seeded generator.
    virtual float ReminderDraw();
    // Shows the reminder modally (arranged by ReminderDraw) and returns how the user left it.
    virtual dialogs::frmMoney::Outcome ShowReminderModal(dialogs::frmMoney& reminder);
    // Ends the process at once: the device is closed and nothing is saved, so no window handler or
    // destructor has anything left to do.
    virtual void EndProcess();

  private:
    std::unique_ptr<QTemporaryDir> privateFolder_;
};

}  // namespace quorvane::mainwin
