#pragma once
// What the small dialogs share: the window text font, the icon of the About box and the
// reminder dialog, and placing a control by its twips rectangle.

#include <QFont>
#include <QPixmap>

class QLabel;
class QString;
class QWidget;

namespace quorvane::dialogs {

// The window text font: 8.25 pt bold sans-serif (MS Sans Serif where it is installed).
QFont DialogFont();

// The 32 x 32 picture of the About box and the reminder dialog (and their window icon).
QPixmap DialogPicture();

// Left, top, width, height in twips.
void PlaceTwips(QWidget* widget, int left, int top, int width, int height);

// A label of a dialog: its text centred at the top of its twips rectangle.
QLabel* MakeDialogLabel(QWidget* parent, const QString& text, int left, int top, int width,
                        int height);

}  // namespace quorvane::dialogs
