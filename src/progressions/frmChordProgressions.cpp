#include "progressions/frmChordProgressions.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QVariant>
#include <cstdint>
#include <string>

#include "look/Place.h"
#include "vantile/ComponentHost.h"
#include "vantile/OleColor.h"
#include "vantile/PropertyBag.h"
#include "views/Twips.h"

namespace quorvane::progressions {

namespace {

constexpr const char* kBoxFontName = "MS Sans Serif";

// One chart box from the window's stored layout, or nullptr when the library is unavailable.
QWidget* CreateProgRoot(const vantile::ClassLookup& boxClass, QWidget* parent,
                        const BoxLayout& box) {
    vantile::PropertyBag saved;
    saved.Write("backcolor", static_cast<std::int32_t>(box.backColor));
    saved.Write("font", vantile::FontDesc{kBoxFontName, box.fontPoints, true, false, 0});
    saved.Write("edge", static_cast<std::int32_t>(kEdgeBump));
    saved.Write("caption", std::string(box.createdCaption));
    return vantile::CreateControl(boxClass, parent, &saved);
}

}  // namespace

frmChordProgressions::frmChordProgressions(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      captions_(CreatedCaptions()) {
    setWindowTitle(QStringLiteral("Quorvane - [Progressions]"));
    setObjectName(QStringLiteral("frmChordProgressions"));
    setFixedSize(views::TwipsToPixels(kClientWidth), views::TwipsToPixels(kClientHeight));
    // The user's close destroys the window; the main window creates a new one when asked.
    setAttribute(Qt::WA_DeleteOnClose);
    // The boxes' control class, looked up once for all fifteen.
    const vantile::ClassLookup boxClass = vantile::FindClass(vantile::kVantileProgId);
    for (std::size_t n = 0; n < boxes_.size(); ++n) {
        const BoxLayout& box = kBoxes[n];
        QWidget* control = CreateProgRoot(boxClass, this, box);
        if (control == nullptr) {
            continue;
        }
        control->setObjectName(QStringLiteral("ProgRoot%1").arg(n));
        // Assistive technology reads a box by the chord it shows.
        control->setAccessibleName(QString::fromStdString(std::string(box.createdCaption)));
        look::Place(control, box.left, box.top, box.width, box.height);
        control->show();
        control->installEventFilter(this);
        boxes_[n] = control;
    }
}

frmChordProgressions::~frmChordProgressions() = default;

void frmChordProgressions::Form_Load(int screenWidthTwips, int mainOuterWidthTwips) {
    const Placement p = PlaceWindow(screenWidthTwips, mainOuterWidthTwips);
    move(views::TwipsToPixels(p.left), views::TwipsToPixels(p.top));
}

void frmChordProgressions::ShowProg(int rootIndex) {
    rootIndex_ = rootIndex;
    captions_ = ProgCaptions(rootIndex, spelling_);
    ApplyCaptions();
}

void frmChordProgressions::SetSpelling(theory::Spelling spelling) {
    spelling_ = spelling;
    ShowProg(rootIndex_);
}

bool frmChordProgressions::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonPress ||
        static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) {
        return false;
    }
    for (std::size_t n = 0; n < boxes_.size(); ++n) {
        if (boxes_[n] == watched) {
            const BoxLayout& box = kBoxes[n];
            // Rows 0 and 1 of the chord types are Major and Minor.
            emit boxPicked((rootIndex_ + box.offset) % 12, box.minor ? 1 : 0,
                           static_cast<QMouseEvent*>(event)->modifiers() & Qt::ShiftModifier);
        }
    }
    return false;
}

void frmChordProgressions::ApplyCaptions() {
    for (std::size_t n = 0; n < boxes_.size(); ++n) {
        if (boxes_[n] != nullptr) {
            const QString caption = QString::fromStdString(captions_[n]);
            boxes_[n]->setProperty("Caption", caption);
            boxes_[n]->setAccessibleName(caption);
        }
    }
}

QWidget* frmChordProgressions::ProgRoot(int n) const {
    return n >= 0 && n < kBoxCount ? boxes_[static_cast<std::size_t>(n)] : nullptr;
}

QString frmChordProgressions::Caption(int n) const {
    if (n < 0 || n >= kBoxCount) {
        return {};
    }
    if (const QWidget* box = boxes_[static_cast<std::size_t>(n)]; box != nullptr) {
        return box->property("Caption").toString();
    }
    return QString::fromStdString(captions_[static_cast<std::size_t>(n)]);
}

void frmChordProgressions::paintEvent(QPaintEvent* /*event*/) {
    // The connecting lines lie on the window surface, behind the boxes.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(vantile::ToQColor(kLineColor, palette()).value_or(Qt::black));
    pen.setWidth(kLineWidthPixels);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    for (const LineLayout& line : kLines) {
        painter.drawLine(QPointF(views::TwipsToPixelsF(line.x1), views::TwipsToPixelsF(line.y1)),
                         QPointF(views::TwipsToPixelsF(line.x2), views::TwipsToPixelsF(line.y2)));
    }
}

void frmChordProgressions::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmChordProgressions::Form_Unload() {
    emit unloaded();
    hide();
}

}  // namespace quorvane::progressions
