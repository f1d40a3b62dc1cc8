#include "look/MainLayout.h"

#include <QFontMetrics>
#include <algorithm>

#include "look/Fonts.h"
#include "views/Twips.h"

namespace quorvane::look {

namespace {

int TextWidth(const QFontMetrics& metrics, const QString& text) {
    return metrics.horizontalAdvance(text) + 1;
}

}  // namespace

NameLayout LayOutName(const QString& caption) {
    // Should the name still not fit when moved to the left margin, its font shrinks until it does.
    const int available = views::TwipsToPixels(kMainClientWidth - 2 * kNameMargin);
    NameLayout layout{NameFont(), 0, views::TwipsToPixels(kNameLabel.top), 0, 0};
    QFontMetrics metrics(layout.font);
    layout.width = TextWidth(metrics, caption);
    while (layout.width > available && layout.font.pixelSize() > 8) {
        layout.font.setPixelSize(layout.font.pixelSize() - 1);
        metrics = QFontMetrics(layout.font);
        layout.width = TextWidth(metrics, caption);
    }
    layout.height = metrics.height();
    const int left = views::TwipsToPixels(kNameLabel.left);
    const int right = views::TwipsToPixels(kMainClientWidth - kNameMargin);
    layout.left = std::max(views::TwipsToPixels(kNameMargin), std::min(left, right - layout.width));
    return layout;
}

}  // namespace quorvane::look
