#pragma once
// Vantile: a small block painted in a background colour, with an optional 3-D edge round its
// border and a one-line caption centred in it. It forwards clicks, keys and mouse actions to its
// host as signals; mouse positions are in the control's own twips.

#include <QFont>
#include <QString>
#include <QWidget>
#include <atomic>
#include <cstdint>

#include "vantile/OleColor.h"
#include "vantile/PropertyBag.h"
#include "vantile/vantilectl_export.h"

class QLabel;

namespace vantile {

// Edge codes are the platform's edge flags added together.
namespace edgeflag {
inline constexpr int RaisedOuter = 1;
inline constexpr int SunkenOuter = 2;
inline constexpr int RaisedInner = 4;
inline constexpr int SunkenInner = 8;
}  // namespace edgeflag

// Default values, which saving leaves out.
inline constexpr OleColor kDefaultBackColor = 0x000080FFu;
inline constexpr OleColor kDefaultForeColor = 0x80000012u;  // button text
inline constexpr std::int16_t kDefaultBackStyle = 1;        // opaque
inline constexpr std::int16_t kDefaultBorderStyle = 0;      // none
inline constexpr const char* kDefaultCaption = "Vantile";

// Size of a new instance and the first place of its caption, in twips.
inline constexpr int kInitialWidth = 1410;
inline constexpr int kInitialHeight = 765;
inline constexpr int kInitialCaptionLeft = 240;
inline constexpr int kInitialCaptionTop = 300;

class VANTILECTL_EXPORT Vantile : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("ProgID", "VantileCtl.Vantile")
    Q_CLASSINFO("DispId:BackColor", "-501")
    Q_CLASSINFO("DispId:ForeColor", "-513")
    Q_CLASSINFO("DispId:Enabled", "-514")
    Q_CLASSINFO("DispId:Font", "-512")
    Q_CLASSINFO("DispId:Edge", "1745027072")
    Q_CLASSINFO("DispId:Caption", "-518")
    Q_CLASSINFO("DispId:Refresh", "-550")
    Q_CLASSINFO("DispId:Click", "-600")
    Q_CLASSINFO("DispId:DblClick", "-601")
    Q_CLASSINFO("DispId:KeyDown", "-602")
    Q_CLASSINFO("DispId:KeyPress", "-603")
    Q_CLASSINFO("DispId:KeyUp", "-604")
    Q_CLASSINFO("DispId:MouseDown", "-605")
    Q_CLASSINFO("DispId:MouseMove", "-606")
    Q_CLASSINFO("DispId:MouseUp", "-607")
    Q_CLASSINFO("Description:Edge", "Returns/sets the style of the 3D edge of the control.")
    Q_PROPERTY(uint BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(uint ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(QFont Font READ Font WRITE SetFont)
    Q_PROPERTY(int Edge READ Edge WRITE SetEdge)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

  public:
    enum eEdge { None = 0, Bump = 1, Etched = 2, Raised = 3, Sunken = 4 };
    Q_ENUM(eEdge)

    explicit Vantile(QWidget* parent = nullptr);
    ~Vantile() override;

    OleColor BackColor() const { return backColor_; }
    void SetBackColor(OleColor color);
    OleColor ForeColor() const { return foreColor_; }
    void SetForeColor(OleColor color);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    QFont Font() const;
    void SetFont(const QFont& font);
    int Edge() const { return EdgeFromCode(edgeCode_); }
    void SetEdge(int edge);
    QString Caption() const;
    void SetCaption(const QString& caption);

    Q_INVOKABLE void Refresh();

    // Saved state: a new instance, loading, saving.
    void InitNew();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    // The stored edge code (0, 5, 6, 9 or 10) and the surface attributes without properties.
    int EdgeCode() const { return edgeCode_; }
    std::int16_t BackStyle() const { return backStyle_; }
    std::int16_t BorderStyle() const { return borderStyle_; }

    // Size and caption place in twips.
    int WidthTwips() const;
    int HeightTwips() const;
    double CaptionLeftTwips() const { return captionLeft_; }
    double CaptionTopTwips() const { return captionTop_; }

    // Instances alive in this process.
    static int LiveInstances();

    static int EdgeCodeOf(int edge);
    static int EdgeFromCode(int code);

  signals:
    void Click();
    void DblClick();
    void KeyDown(short& KeyCode, short Shift);
    void KeyPress(short& KeyAscii);
    void KeyUp(short& KeyCode, short Shift);
    void MouseDown(short Button, short Shift, float X, float Y);
    void MouseMove(short Button, short Shift, float X, float Y);
    void MouseUp(short Button, short Shift, float X, float Y);
    // A property was set; the host saves the control's state when it sees this.
    void PropertyChanged(const QString& name);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void ApplyForeColor();
    void ApplyFont(const QFont& font);
    void ApplyEdge(int edge);
    void SizeCaption();
    void CentreCaption();
    void PlaceCaption(double leftTwips, double topTwips);
    QFont AmbientFont() const;

    QLabel* label_;  // Label1, owned by this widget
    OleColor backColor_ = kDefaultBackColor;
    OleColor foreColor_ = kDefaultForeColor;
    std::int16_t backStyle_ = kDefaultBackStyle;
    std::int16_t borderStyle_ = kDefaultBorderStyle;
    int edgeCode_ = 0;
    int fontCharset_ = 0;
    double captionLeft_ = kInitialCaptionLeft;
    double captionTop_ = kInitialCaptionTop;
    bool leftPressed_ = false;
    bool labelPressed_ = false;
};

// Fonts of saved state. A face that is not installed gets the nearest installed one.
VANTILECTL_EXPORT QFont FontFromDesc(const FontDesc& desc);
VANTILECTL_EXPORT FontDesc DescFromFont(const QFont& font, int charset);

// Pixels for a size in twips, rounded to nearest with halves to even.
VANTILECTL_EXPORT int PixelsFromTwips(double twips);

}  // namespace vantile
