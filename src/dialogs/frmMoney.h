#pragma once
// frmMoney: the reminder dialog, shown modally at start-up (OK, Cancel, "WWW") and when the
// program closes (OK, "WWW"). Its buttons are arranged anew by a random draw each time it loads.

#include <QDialog>

#include "dialogs/ReminderArrangement.h"

#include "dialogs/DialogLook.h"

class QLabel;
class QPushButton;

namespace quorvane::dialogs {

class frmMoney : public QDialog {
    Q_OBJECT
  public:
    explicit frmMoney(QWidget* parent = nullptr);

    static constexpr int kClientWidth = 4125;  // twips
    static constexpr int kClientHeight = 4005;

    // False: the start-up reminder (three buttons); true: the closing reminder.
    bool bClosing = false;

    enum class Outcome { None, OK, WebSite, Cancel };

    // Loads the dialog (its buttons arranged by `draw`, in [0, 1)), shows it modally and returns
    // how it was left.
    Outcome ShowModal(float draw);
    Outcome LastOutcome() const { return outcome_; }
    const ReminderArrangement& Arrangement() const { return arrangement_; }
    bool OnScreen() const { return isVisible(); }

    // Closes the dialog if it is on screen (ShutDown unloads it this way).
    void Unload();

    void Form_Load(float draw);
    void Form_Activate();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdWebSite_Click();

    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }
    QPushButton* cmdWebSite() const { return cmdWebSite_; }
    QLabel* Label(int number) const { return labels_.At(number); }  // 1, 2, 5, 6, 8

  signals:
    // Cancel: the user ends the program. Sent while the dialog is still on screen, which then
    // closes.
    void exitRequested();
    // "WWW": the updates page is to be opened. Sent once the dialog has closed.
    void webSiteRequested();

  public slots:
    // Esc and the close box.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

  private:
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdWebSite_ = nullptr;
    DialogLabels labels_;
    ReminderArrangement arrangement_;
    Outcome outcome_ = Outcome::None;
};

}  // namespace quorvane::dialogs
