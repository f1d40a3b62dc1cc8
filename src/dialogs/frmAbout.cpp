#include "dialogs/frmAbout.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "dialogs/DialogLook.h"
#include "views/Twips.h"

namespace quorvane::dialogs {

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Quorvane"));
    setWindowIcon(ProgramIcon());
    setFont(WindowFont());
    setFixedSize(views::TwipsToPixels(kClientWidth), views::TwipsToPixels(kClientHeight));

    picture1_ = new QLabel(this);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    picture1_->setPixmap(DialogPicture());
    picture1_->setAlignment(Qt::AlignCenter);
    picture1_->setAccessibleName(QStringLiteral("Quorvane"));
    Place(picture1_, 360, 240, 510, 510);

    command1_ = new QPushButton(QStringLiteral("OK"), this);
    command1_->setObjectName(QStringLiteral("Command1"));
    command1_->setDefault(true);
    Place(command1_, 5400, 240, 852, 372);
    connect(command1_, &QPushButton::clicked, this, &frmAbout::Command1_Click);

    labels_.label1 =
        MakeDialogLabel(this, QStringLiteral("Velmira Version 2.0"), 2040, 600, 2175, 195);
    labels_.label2 = MakeDialogLabel(this, QStringLiteral("Copyright (C) Brackenfold Ltd."), 1380,
                                     960, 3480, 195);
    labels_.label5 = MakeDialogLabel(this, QStringLiteral("Mill Lane"), 2520, 1200, 1200, 195);
    labels_.label6 = MakeDialogLabel(this, QStringLiteral("Harwick HW4"), 2445, 1440, 1350, 195);
    labels_.label8 = MakeDialogLabel(this, QStringLiteral("http://www.brackenfold.example"), 1305,
                                     1800, 3645, 195);
}

void frmAbout::ShowModal() {
    exec();
}

void frmAbout::Command1_Click() {
    // Hidden, not destroyed: the next Help > About shows this same box.
    done(QDialog::Accepted);
}

}  // namespace quorvane::dialogs
