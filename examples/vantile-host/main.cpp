// A small host of the Vantile control: it creates one by its ProgID through the host side of the
// SDK (without linking the control library), loads it from a property bag, sets its properties
// by dispatch identifier, receives its events and saves its state again. It prints what happens
// and ends with 0 when the control behaved as a host expects.
//
// The control library must be registered (quorvane-regsvr registers the installed one).

#include <QApplication>
#include <QMouseEvent>
#include <QTextStream>
#include <QWidget>
#include <cstdint>
#include <string>

#include "vantile/ComponentHost.h"
#include "vantile/OleColor.h"

namespace {

QTextStream& Out() {
    static QTextStream out(stdout);
    return out;
}

// Receives the control's events and notifications; the control is bound by name only.
class Listener : public QObject {
    Q_OBJECT
  public:
    int mouseDowns = 0;
    int clicks = 0;
    QStringList captions;

  public slots:
    void OnMouseDown(short button, short shift, float x, float y) {
        ++mouseDowns;
        Out() << "MouseDown button " << button << " shift " << shift << " at " << x << ", " << y
              << " twips\n";
    }
    void OnClick() {
        ++clicks;
        Out() << "Click\n";
    }
    void OnCaptionChanged(const QString& caption) {
        captions << caption;
        Out() << "Caption changed to \"" << caption << "\"\n";
    }
};

bool Check(bool ok, const char* what) {
    Out() << (ok ? "ok    " : "FAILED ") << what << "\n";
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(200, 100);

    // The state a host's stored layout keeps for the control (keys in any case).
    vantile::PropertyBag layout;
    layout.Write("backcolor", std::int32_t{0x00C0C0FF});
    layout.Write("edge", std::int32_t{3});
    layout.Write("caption", std::string("C#"));

    const vantile::ClassLookup found = vantile::FindClass(vantile::kVantileProgId);
    QWidget* control = vantile::CreateControl(found, &window, &layout);
    if (control == nullptr) {
        Out() << vantile::kVantileProgId << " is not available. Looked in:\n";
        for (const QString& place : found.places) {
            Out() << "  " << place << "\n";
        }
        return 1;
    }
    Out() << "Created " << vantile::kVantileProgId << " from " << found.library << "\n";
    control->setGeometry(10, 10, 90, 40);

    Listener listener;
    QObject::connect(control, SIGNAL(MouseDown(short, short, float, float)), &listener,
                     SLOT(OnMouseDown(short, short, float, float)));
    QObject::connect(control, SIGNAL(Click()), &listener, SLOT(OnClick()));
    QObject::connect(control, SIGNAL(captionChanged(QString)), &listener,
                     SLOT(OnCaptionChanged(QString)));
    window.show();

    bool ok = true;
    ok &= Check(vantile::GetByDispId(control, vantile::dispid::Caption).toString() == "C#",
                "the caption comes from the property bag");
    ok &= Check(vantile::PutByDispId(control, vantile::dispid::Caption, QStringLiteral("Dm")) ==
                    vantile::S_OK,
                "Caption is set by its dispatch identifier");
    ok &= Check(vantile::PutByDispId(control, vantile::dispid::Caption, QStringLiteral("Dm")) ==
                        vantile::S_OK &&
                    listener.captions == QStringList{"Dm"},
                "setting the same caption again changes nothing");
    ok &= Check(vantile::PutByDispId(control, vantile::dispid::BackColor,
                                     vantile::OleColor{0x00FFC0C0}) == vantile::S_OK,
                "BackColor takes an RGB colour");
    ok &= Check(
        vantile::PutByDispId(control, vantile::dispid::BackColor, vantile::OleColor{0x01000000}) ==
            vantile::CTL_E_INVALIDPROPERTYVALUE,
        "BackColor refuses a value that is not an OLE colour");
    ok &= Check(vantile::InvokeByDispId(control, vantile::dispid::Refresh), "Refresh is called");

    // A left click near the corner, away from the caption.
    const QPointF corner(2, 3);
    QMouseEvent press(QEvent::MouseButtonPress, corner, control->mapToGlobal(corner),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(control, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, corner, control->mapToGlobal(corner),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(control, &release);
    ok &= Check(listener.mouseDowns == 1 && listener.clicks == 1,
                "a click raises MouseDown and Click");

    vantile::PropertyBag saved;
    ok &= Check(vantile::SaveProperties(control, saved), "the control saves its state");
    Out() << "Saved:";
    for (const std::string& key : saved.Keys()) {
        Out() << " " << QString::fromStdString(key);
    }
    Out() << "\n";
    ok &= Check(saved.ReadString("Caption") == "Dm" &&
                    saved.ReadInt32("BackColor") == std::int32_t{0x00FFC0C0} &&
                    saved.ReadInt32("Edge") == 3,
                "the saved state holds what was set");
    return ok ? 0 : 1;
}

#include "main.moc"
