#pragma once
// Vantile: a small block painted in a background colour, with an optional 3-D edge round its
// border and a one-line caption centred in it. It forwards clicks, keys and mouse actions to its
// host as signals; mouse positions are in the control's own twips.

#include <QFont>
#include <QString>
#include <QWidget>
#include <atomic>
#include <cstdint>

#include "vantile/Component.h"
#include "vantile/EdgePainter.h"
#include "vantile/OleColor.h"
#include "vantile/PersistPropertyBag.h"
#include "vantile/PropertyBag.h"
#include "vantile/Twips.h"
#include "vantile/vantilectl_export.h"

class QLabel;

namespace vantile {

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

// Every property setter does nothing on a value the control already has: no repaint and no
// notification. A real change emits the property's own notify signal, which also tells the host
// that its saved state changed.
class VANTILECTL_EXPORT Vantile : public QWidget, public IPersistPropertyBag {
    Q_OBJECT
    Q_INTERFACES(vantile::IPersistPropertyBag)
    Q_CLASSINFO("ProgID", VANTILE_PROGID)
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
    Q_PROPERTY(uint BackColor READ BackColor WRITE SetBackColor NOTIFY backColorChanged)
    Q_PROPERTY(uint ForeColor READ ForeColor WRITE SetForeColor NOTIFY foreColorChanged)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled NOTIFY enabledChanged)
    Q_PROPERTY(QFont Font READ Font WRITE SetFont NOTIFY fontChanged)
    Q_PROPERTY(int Edge READ Edge WRITE SetEdge NOTIFY edgeChanged)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption NOTIFY captionChanged)

  public:
    enum eEdge { None = 0, Bump = 1, Etched = 2, Raised = 3, Sunken = 4 };
    Q_ENUM(eEdge)

    explicit Vantile(QWidget* parent = nullptr);
    ~Vantile() override;

    OleColor BackColor() const { return backColor_; }
    // S_OK, or CTL_E_INVALIDPROPERTYVALUE (the colour is kept) for a value that is not a valid
    // OLE colour. Invokable, so a host that binds the property by its dispatch identifier gets
    // the result (PutByDispId in ComponentHost.h).
    Q_INVOKABLE vantile::HRESULT SetBackColor(vantile::OleColor color);
    OleColor ForeColor() const { return foreColor_; }
    void SetForeColor(OleColor color);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    QFont Font() const;
    void SetFont(const QFont& font);
    int Edge() const { return vantile::EdgeFromCode(edgeCode_); }
    void SetEdge(int edge);
    QString Caption() const;
    void SetCaption(const QString& caption);

    Q_INVOKABLE void Refresh();

    // Saved state: a new instance, loading, saving.
    void InitNew();
    void ReadProperties(const PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;

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

    static int EdgeCodeOf(int edge) { return vantile::EdgeCodeOf(edge); }
    static int EdgeFromCode(int code) { return vantile::EdgeFromCode(code); }

  signals:
    void Click();
    void DblClick();
    void KeyDown(short& KeyCode, short Shift);
    void KeyPress(short& KeyAscii);
    void KeyUp(short& KeyCode, short Shift);
    void MouseDown(short Button, short Shift, float X, float Y);
    void MouseMove(short Button, short Shift, float X, float Y);
    void MouseUp(short Button, short Shift, float X, float Y);
    // A property changed (never on a set to the value it had); the host saves the control's
    // state when it sees one of these.
    void backColorChanged(uint color);
    void foreColorChanged(uint color);
    void enabledChanged(bool enabled);
    void fontChanged(const QFont& font);
    void edgeChanged(int edge);
    void captionChanged(const QString& caption);

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
    bool ApplyEdge(int edge);
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

}  // namespace vantile
