#include "dialogs/frmMoney.h"

#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "dialogs/DialogLook.h"
#include "views/Twips.h"

namespace quorvane::dialogs {

namespace {

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    Place(button, 0, kReminderButtonTop, kReminderButtonWidth, kReminderButtonHeight);
    return button;
}

}  // namespace

frmMoney::frmMoney(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmMoney"));
    setWindowTitle(QStringLiteral("Velmira"));
    // No icon yet: reading its images loads the image plugins, which the first paint does not
    // wait for. The program gives it one once the dialog is on screen.
    setFont(WindowFont());
    setFixedSize(views::TwipsToPixels(kClientWidth), views::TwipsToPixels(kClientHeight));
    setModal(true);

    labels_.label1 =
        MakeDialogLabel(this,
                        QStringLiteral("Remember to visit our website for information on the "
                                       "latest release of Quorvane and other software."),
                        480, 600, 3180, 780);
    labels_.label1->setWordWrap(true);
    labels_.label2 =
        MakeDialogLabel(this, QStringLiteral("Brackenfold Ltd."), 1335, 1560, 1455, 195);
    labels_.label5 = MakeDialogLabel(this, QStringLiteral("Mill Lane"), 1455, 1800, 1200, 195);
    labels_.label6 = MakeDialogLabel(this, QStringLiteral("Harwick HW4"), 1380, 2040, 1350, 195);
    labels_.label8 = MakeDialogLabel(this, QStringLiteral("http://www.brackenfold.example"), 240,
                                     2280, 3645, 195);

    cmdOK_ = MakeButton(this, QStringLiteral("cmdOK"), QStringLiteral("OK"));
    cmdCancel_ = MakeButton(this, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));
    cmdWebSite_ = MakeButton(this, QStringLiteral("cmdWebSite"), QStringLiteral("WWW"));
    // Until the load step chooses, Cancel is the default button.
    cmdCancel_->setDefault(true);
    connect(cmdOK_, &QPushButton::clicked, this, &frmMoney::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmMoney::cmdCancel_Click);
    connect(cmdWebSite_, &QPushButton::clicked, this, &frmMoney::cmdWebSite_Click);
}

frmMoney::Outcome frmMoney::ShowModal(float draw) {
    outcome_ = Outcome::None;
    Form_Load(draw);
    exec();
    return outcome_;
}

void frmMoney::Form_Load(float draw) {
    arrangement_ = ArrangeReminder(bClosing, draw);
    const auto place = [](QPushButton* button, int left) {
        Place(button, left, kReminderButtonTop, kReminderButtonWidth, kReminderButtonHeight);
    };
    place(cmdOK_, arrangement_.okLeft);
    place(cmdCancel_, arrangement_.cancelLeft);
    place(cmdWebSite_, arrangement_.webSiteLeft);
    cmdCancel_->setVisible(arrangement_.cancelVisible);
    QPushButton* byDefault =
        arrangement_.defaultButton == ReminderButton::Cancel ? cmdCancel_ : cmdWebSite_;
    for (QPushButton* button : {cmdOK_, cmdCancel_, cmdWebSite_}) {
        button->setDefault(button == byDefault);
    }
}

void frmMoney::Form_Activate() {
    QPushButton* target = cmdCancel_->isVisibleTo(this) ? cmdCancel_ : cmdWebSite_;
    target->setFocus(Qt::ActiveWindowFocusReason);
}

void frmMoney::cmdOK_Click() {
    outcome_ = Outcome::OK;
    done(QDialog::Accepted);
}

void frmMoney::cmdCancel_Click() {
    outcome_ = Outcome::Cancel;
    emit exitRequested();
    // The program's end unloads the dialog; where nothing ends (a dialog on its own), Cancel still
    // closes it.
    Unload();
}

void frmMoney::cmdWebSite_Click() {
    outcome_ = Outcome::WebSite;
    done(QDialog::Accepted);
    emit webSiteRequested();
}

void frmMoney::Unload() {
    if (isVisible()) {
        done(outcome_ == Outcome::Cancel ? QDialog::Rejected : QDialog::Accepted);
    }
}

void frmMoney::reject() {
    // Esc and the close box: at start-up they are Cancel; in the closing reminder, which has no
    // Cancel, they let the closing go on as OK does.
    if (cmdCancel_->isVisibleTo(this)) {
        cmdCancel_Click();
    } else {
        cmdOK_Click();
    }
}

void frmMoney::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Form_Activate();
}

bool frmMoney::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        Form_Activate();
    }
    return QDialog::event(event);
}

}  // namespace quorvane::dialogs
