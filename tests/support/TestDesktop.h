#pragma once
// A desktop the tests answer for: a set screen width and reminder draw, messages and web pages
// noted instead of shown, the print dialog filled in by the test, the reminder answered at once
// when an answer is set, and an end of process that only counts. The reminder and the pop-up menu
// open for real, for the test to press their buttons, when the test gives no answer.
// The save and open dialogs' and the question's answers are the test's; a drag is kept, not run.

#include <QMenu>
#include <QMimeData>
#include <QPrinter>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "mainwin/Desktop.h"

namespace quorvane::testing {

class TestDesktop : public mainwin::Desktop {
  public:
    int ScreenWidthPixels() const override {
        ++screenChecks;
        return screenWidth;
    }
    using Desktop::ShowCriticalMessage;
    void ShowCriticalMessage(QWidget* owner, const QString& title, const QString& text,
                             const QString& details) override {
        messages.push_back(title + "|" + text);
        messageDetails.push_back(details);
        if (showMessages) {
            Desktop::ShowCriticalMessage(owner, title, text, details);
        }
    }
    SaveChoice AskToSave(QWidget*, const QString&, const QString& text) override {
        questions.push_back(text);
        return saveChoice;
    }
    QString ChooseOpenFile(QWidget*, const QString&, const QString&, const QString&) override {
        return openPath;
    }
    void OpenPopupMenu(QMenu* menu) override {
        ++popups;
        if (popup) {
            popup(menu);
        } else {
            Desktop::OpenPopupMenu(menu);
        }
    }
    bool ChoosePrinter(QPrinter& printer, QWidget*) override {
        return choosePrinter && choosePrinter(printer);
    }
    QString ChooseSaveFile(QWidget*, const QString&, const QString& name, const QString&) override {
        proposedName = name;
        return saveAs;
    }
    void StartDrag(QWidget* source, std::unique_ptr<QMimeData> data, const QPixmap&) override {
        dragSource = source;
        dragged = std::move(data);
    }
    void OpenWebPage(const QString& address) override { opened.push_back(address); }
    float ReminderDraw() override { return draw; }
    dialogs::frmMoney::Outcome ShowReminderModal(dialogs::frmMoney& reminder) override {
        ++reminders;
        return reminderAnswer ? *reminderAnswer : Desktop::ShowReminderModal(reminder);
    }
    void EndProcess() override { ++ends; }

    int screenWidth = 1024;
    float draw = 0.5f;
    // Message boxes shown for real as well, for the test to answer.
    bool showMessages = false;
    std::optional<dialogs::frmMoney::Outcome> reminderAnswer = dialogs::frmMoney::Outcome::OK;
    // What the pop-up menu's user does while it is open (the real menu opens when empty).
    std::function<void(QMenu*)> popup;
    // Fills in the print dialog; cancelled when empty.
    std::function<bool(QPrinter&)> choosePrinter;

    // The answer to a question to save, and the questions asked; the open dialog's answer.
    SaveChoice saveChoice = SaveChoice::Cancel;
    std::vector<QString> questions;
    QString openPath;
    // The save dialog's answer (empty: cancelled) and the file it proposed; the last drag.
    QString saveAs, proposedName;
    QWidget* dragSource = nullptr;
    std::unique_ptr<QMimeData> dragged;

    mutable int screenChecks = 0;
    std::vector<QString> messages, messageDetails;
    std::vector<QString> opened;
    int popups = 0;
    int reminders = 0;
    int ends = 0;
};

}  // namespace quorvane::testing
