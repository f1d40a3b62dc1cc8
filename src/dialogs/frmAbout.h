#pragma once
// frmAbout: the About box. Its OK only hides it, so the next showing is the same box.

#include <QDialog>

#include "dialogs/DialogLook.h"

class QLabel;
class QPushButton;

namespace quorvane::dialogs {

class frmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit frmAbout(QWidget* parent = nullptr);

    static constexpr int kClientWidth = 6435;  // twips
    static constexpr int kClientHeight = 2475;

    // Shows the box modally and returns when it is hidden again.
    void ShowModal();
    void Command1_Click();

    QLabel* Picture1() const { return picture1_; }
    QPushButton* Command1() const { return command1_; }
    QLabel* Label(int number) const { return labels_.At(number); }  // 1, 2, 5, 6, 8

  private:
    QLabel* picture1_ = nullptr;
    QPushButton* command1_ = nullptr;
    DialogLabels labels_;
};

}  // namespace quorvane::dialogs
