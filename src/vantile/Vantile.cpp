#include "vantile/Vantile.h"

#include <QEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStringList>
#include <cmath>

#include "vantile/EventCodes.h"

namespace vantile {

namespace {

std::atomic<int> liveInstances{0};

// The platform's virtual key code of a key; 0 for keys it has none for.
short KeyCodeOf(int key) {
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        return static_cast<short>(key);  // same codes as ASCII capitals and digits
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        return static_cast<short>(0x70 + (key - Qt::Key_F1));
    }
    switch (key) {
        case Qt::Key_Backspace:
            return 0x08;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return 0x09;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 0x0D;
        case Qt::Key_Shift:
            return 0x10;
        case Qt::Key_Control:
            return 0x11;
        case Qt::Key_Alt:
            return 0x12;
        case Qt::Key_Pause:
            return 0x13;
        case Qt::Key_CapsLock:
            return 0x14;
        case Qt::Key_Escape:
            return 0x1B;
        case Qt::Key_Space:
            return 0x20;
        case Qt::Key_PageUp:
            return 0x21;
        case Qt::Key_PageDown:
            return 0x22;
        case Qt::Key_End:
            return 0x23;
        case Qt::Key_Home:
            return 0x24;
        case Qt::Key_Left:
            return 0x25;
        case Qt::Key_Up:
            return 0x26;
        case Qt::Key_Right:
            return 0x27;
        case Qt::Key_Down:
            return 0x28;
        case Qt::Key_Insert:
            return 0x2D;
        case Qt::Key_Delete:
            return 0x2E;
        default:
            return 0;
    }
}

float Twips(double pixels) {
    return static_cast<float>(PixelsToTwips(pixels));
}

// Classic fixed-pitch faces; installed ones stand in for them and for the other classic faces
// that Linux does not have.
bool IsFixedPitchFace(const QString& face) {
    static const QStringList fixed{"Terminal", "Fixedsys", "Courier", "Courier New", "System"};
    return fixed.contains(face, Qt::CaseInsensitive);
}

}  // namespace

QFont FontFromDesc(const FontDesc& desc) {
    QFont font;
    const QString face = QString::fromStdString(desc.name);
    // The saved face stays first, so it is what saving writes again; the fallbacks draw while it
    // is not installed (font matching takes the first family it has). Asking the font database
    // whether the face exists costs a font configuration lookup per control, which the 36 key
    // markers would pay at every start.
    const bool fixedPitch = IsFixedPitchFace(face);
    QStringList families{face};
    families << (fixedPitch ? QStringList{"DejaVu Sans Mono", "Liberation Mono", "FreeMono"}
                            : QStringList{"FreeSans", "Liberation Sans", "DejaVu Sans"});
    font.setFamilies(families);
    font.setStyleHint(fixedPitch ? QFont::TypeWriter : QFont::SansSerif);
    // Sizes follow the twips rule (a point is 20 twips), as everything else the program draws.
    if (desc.size > 0) {
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(PointsToPixels(desc.size)))));
    }
    font.setBold(desc.bold);
    font.setItalic(desc.italic);
    return font;
}

FontDesc DescFromFont(const QFont& font, int charset) {
    double points = font.pointSizeF();
    if (font.pixelSize() > 0) {
        points = PixelsToTwips(font.pixelSize()) / 20.0;
    }
    return FontDesc{font.family().toStdString(), points, font.bold(), font.italic(), charset};
}

Vantile::Vantile(QWidget* parent) : QWidget(parent), label_(new QLabel(this)) {
    ++liveInstances;
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    label_->setObjectName(QStringLiteral("Label1"));
    label_->setAutoFillBackground(false);
    label_->setAttribute(Qt::WA_NoMousePropagation);
    label_->setMouseTracking(true);
    label_->setText(QString::fromLatin1(kDefaultCaption));
    label_->adjustSize();
    label_->installEventFilter(this);
    ApplyForeColor();
    resize(PixelsFromTwips(kInitialWidth), PixelsFromTwips(kInitialHeight));
    PlaceCaption(kInitialCaptionLeft, kInitialCaptionTop);
}

Vantile::~Vantile() {
    --liveInstances;
}

int Vantile::LiveInstances() {
    return liveInstances.load();
}

HRESULT Vantile::SetBackColor(OleColor color) {
    if (!IsValidOleColor(color)) {
        return CTL_E_INVALIDPROPERTYVALUE;
    }
    if (color == backColor_) {
        return S_OK;
    }
    backColor_ = color;
    Refresh();  // the new background and the edge on it at once
    emit backColorChanged(color);
    return S_OK;
}

void Vantile::SetForeColor(OleColor color) {
    if (color == foreColor_) {
        return;
    }
    foreColor_ = color;
    ApplyForeColor();
    emit foreColorChanged(color);
}

bool Vantile::Enabled() const {
    return !testAttribute(Qt::WA_ForceDisabled);
}

void Vantile::SetEnabled(bool enabled) {
    if (enabled == Enabled()) {
        return;
    }
    setEnabled(enabled);
    emit enabledChanged(enabled);
}

QFont Vantile::Font() const {
    return label_->font();
}

void Vantile::SetFont(const QFont& font) {
    if (label_->testAttribute(Qt::WA_SetFont) && font == label_->font()) {
        return;
    }
    ApplyFont(font);
    emit fontChanged(font);
}

void Vantile::ApplyFont(const QFont& font) {
    label_->setFont(font);  // a font with nothing set follows the container's font
    SizeCaption();
    CentreCaption();
}

void Vantile::SizeCaption() {
    if (label_->text().isEmpty()) {
        label_->resize(0, 0);
    } else {
        label_->adjustSize();
    }
}

void Vantile::SetEdge(int edge) {
    if (ApplyEdge(edge)) {
        emit edgeChanged(Edge());
    }
}

bool Vantile::ApplyEdge(int edge) {
    const int code = EdgeCodeOf(edge);
    if (code == edgeCode_) {
        return false;
    }
    edgeCode_ = code;
    // Non-zero paints the edge at once; zero clears the surface to its background, which the
    // same repaint does.
    Refresh();
    return true;
}

QString Vantile::Caption() const {
    return label_->text();
}

void Vantile::SetCaption(const QString& caption) {
    if (caption == label_->text()) {
        return;
    }
    label_->setText(caption);
    SizeCaption();
    CentreCaption();
    emit captionChanged(caption);
}

void Vantile::Refresh() {
    // Schedules a complete repaint (background, edge, caption). Qt paints it before the next
    // frame reaches the screen, and several changes in one event are painted once, so a host
    // that updates all its markers in one go does not paint each of them several times.
    update();
}

void Vantile::InitNew() {
    edgeCode_ = 0;
}

void Vantile::ReadProperties(const PropertyBag& bag) {
    // A saved value that is not a valid OLE colour is taken as absent.
    const auto back = bag.ReadInt32("BackColor");
    backColor_ = back && IsValidOleColor(static_cast<OleColor>(*back))
                     ? static_cast<OleColor>(*back)
                     : kDefaultBackColor;
    update();
    foreColor_ = static_cast<OleColor>(
        bag.ReadInt32("ForeColor").value_or(static_cast<std::int32_t>(kDefaultForeColor)));
    ApplyForeColor();
    setEnabled(bag.ReadBool("Enabled").value_or(true));
    if (const auto font = bag.ReadFont("Font")) {
        fontCharset_ = font->charset;
        ApplyFont(FontFromDesc(*font));
    } else {
        fontCharset_ = 0;
        ApplyFont(QFont());  // the container's ambient font
    }
    backStyle_ = bag.ReadInt16("BackStyle").value_or(kDefaultBackStyle);
    borderStyle_ = bag.ReadInt16("BorderStyle").value_or(kDefaultBorderStyle);
    ApplyEdge(bag.ReadInt32("Edge").value_or(None));  // the surface is repainted in any case
    // Straight to the label: the resize the host makes next centres it.
    label_->setText(
        QString::fromStdString(bag.ReadString("Caption").value_or(std::string(kDefaultCaption))));
    SizeCaption();
}

void Vantile::WriteProperties(PropertyBag& bag) const {
    if (backColor_ != kDefaultBackColor) {
        bag.Write("BackColor", static_cast<std::int32_t>(backColor_));
    }
    if (foreColor_ != kDefaultForeColor) {
        bag.Write("ForeColor", static_cast<std::int32_t>(foreColor_));
    }
    if (!Enabled()) {
        bag.Write("Enabled", false);
    }
    if (label_->testAttribute(Qt::WA_SetFont) && label_->font() != AmbientFont()) {
        bag.Write("Font", DescFromFont(label_->font(), fontCharset_));
    }
    if (backStyle_ != kDefaultBackStyle) {
        bag.Write("BackStyle", backStyle_);
    }
    if (borderStyle_ != kDefaultBorderStyle) {
        bag.Write("BorderStyle", borderStyle_);
    }
    if (Edge() != None) {
        bag.Write("Edge", static_cast<std::int32_t>(Edge()));
    }
    if (Caption() != QLatin1String(kDefaultCaption)) {
        bag.Write("Caption", Caption().toStdString());
    }
}

int Vantile::WidthTwips() const {
    return static_cast<int>(PixelsToTwips(width()));
}

int Vantile::HeightTwips() const {
    return static_cast<int>(PixelsToTwips(height()));
}

void Vantile::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRectF surface(0, 0, PixelsFromTwips(WidthTwips()), PixelsFromTwips(HeightTwips()));
    PaintSurface(painter, surface, backColor_, backStyle_ != 0, edgeCode_, palette());
}

void Vantile::resizeEvent(QResizeEvent*) {
    CentreCaption();
}

void Vantile::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        leftPressed_ = true;
    }
    emit MouseDown(ButtonCode(event->button()), ShiftCode(event->modifiers()),
                   Twips(event->position().x()), Twips(event->position().y()));
}

void Vantile::mouseMoveEvent(QMouseEvent* event) {
    emit MouseMove(ButtonsCode(event->buttons()), ShiftCode(event->modifiers()),
                   Twips(event->position().x()), Twips(event->position().y()));
}

void Vantile::mouseReleaseEvent(QMouseEvent* event) {
    emit MouseUp(ButtonCode(event->button()), ShiftCode(event->modifiers()),
                 Twips(event->position().x()), Twips(event->position().y()));
    if (event->button() == Qt::LeftButton && leftPressed_) {
        leftPressed_ = false;
        if (rect().contains(event->position().toPoint())) {
            emit Click();
        }
    }
}

void Vantile::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is the double click alone, not another MouseDown.
    if (event->button() == Qt::LeftButton) {
        leftPressed_ = false;
        emit DblClick();
    }
}

void Vantile::keyPressEvent(QKeyEvent* event) {
    short code = KeyCodeOf(event->key());
    emit KeyDown(code, ShiftCode(event->modifiers()));
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).unicode() <= 0xFF) {
        short ascii = static_cast<short>(text.at(0).unicode());
        emit KeyPress(ascii);
    }
}

void Vantile::keyReleaseEvent(QKeyEvent* event) {
    short code = KeyCodeOf(event->key());
    emit KeyUp(code, ShiftCode(event->modifiers()));
}

bool Vantile::eventFilter(QObject* watched, QEvent* event) {
    if (watched != label_) {
        return QWidget::eventFilter(watched, event);
    }
    // Presses on the caption text are clicks, never mouse-down, move or up events.
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            labelPressed_ = mouse->button() == Qt::LeftButton;
            if (focusPolicy() & Qt::ClickFocus) {
                setFocus(Qt::MouseFocusReason);
            }
            event->accept();
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && labelPressed_) {
                labelPressed_ = false;
                if (label_->rect().contains(mouse->position().toPoint())) {
                    emit Click();
                }
            }
            event->accept();
            return true;
        }
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                labelPressed_ = false;
                emit DblClick();
            }
            event->accept();
            return true;
        case QEvent::MouseMove:
            event->accept();
            return true;
        default:
            return QWidget::eventFilter(watched, event);
    }
}

void Vantile::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        ApplyForeColor();  // a system colour follows the new palette
    }
    QWidget::changeEvent(event);
}

void Vantile::ApplyForeColor() {
    const QColor color = ToQColor(foreColor_, palette()).value_or(Qt::black);
    QPalette pal = label_->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::WindowText, color);
    }
    label_->setPalette(pal);
}

void Vantile::CentreCaption() {
    const double labelWidth = PixelsToTwips(label_->width());
    const double labelHeight = PixelsToTwips(label_->height());
    PlaceCaption((WidthTwips() - labelWidth) / 2.0, (HeightTwips() - labelHeight) / 2.0);
}

void Vantile::PlaceCaption(double leftTwips, double topTwips) {
    captionLeft_ = leftTwips;
    captionTop_ = topTwips;
    label_->move(PixelsFromTwips(leftTwips), PixelsFromTwips(topTwips));
}

QFont Vantile::AmbientFont() const {
    return parentWidget() != nullptr ? parentWidget()->font() : QWidget::font();
}

}  // namespace vantile
