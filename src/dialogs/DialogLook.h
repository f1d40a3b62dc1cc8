#pragma once
// What the small dialogs share: the window text font, the picture of the About box and the
// reminder dialog, the program's icon, and placing a control by its twips rectangle.

#include <QFont>
#include <QIcon>
#include <QPixmap>

class QLabel;
class QString;
class QWidget;

namespace quorvane::dialogs {

// The window text font: 8.25 pt bold sans-serif (MS Sans Serif where it is installed).
QFont DialogFont();

// The 32 x 32 picture of the About box and the reminder dialog.
QPixmap DialogPicture();

// The program's icon, the one it is installed with, at every size it comes in: the window icon
// of every window of the program.
QIcon ProgramIcon();

// Left, top, width, height in twips.
void PlaceTwips(QWidget* widget, int left, int top, int width, int height);

// A label of a dialog: its text centred at the top of its twips rectangle.
QLabel* MakeDialogLabel(QWidget* parent, const QString& text, int left, int top, int width,
                        int height);

}  // namespace quorvane::dialogs
