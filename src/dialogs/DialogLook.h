#pragma once
// What the small dialogs share: the picture of the About box and the reminder dialog, the
// program's icon and their labels. The window font and placing a control by its twips rectangle
// are every window's (look/).

#include <QFont>
#include <QIcon>
#include <QPixmap>

#include "look/Fonts.h"
#include "look/Place.h"

class QLabel;
class QString;
class QWidget;

namespace quorvane::dialogs {

using look::Place;
using look::WindowFont;

// The 32 x 32 picture of the About box and the reminder dialog.
QPixmap DialogPicture();

// The program's icon, the one it is installed with, at every size it comes in: the window icon
// of every window of the program.
QIcon ProgramIcon();

// The numbered labels the About box and the reminder dialog both have.
struct DialogLabels {
    QLabel* label1 = nullptr;
    QLabel* label2 = nullptr;
    QLabel* label5 = nullptr;
    QLabel* label6 = nullptr;
    QLabel* label8 = nullptr;
    // The label of that number; nullptr for a number there is none of.
    QLabel* At(int number) const;
};

// A label of a dialog: its text centred at the top of its twips rectangle.
QLabel* MakeDialogLabel(QWidget* parent, const QString& text, int left, int top, int width,
                        int height);

}  // namespace quorvane::dialogs
