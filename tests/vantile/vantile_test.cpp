#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMetaProperty>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <memory>

#include "vantile/ComponentHost.h"
#include "vantile/Vantile.h"

namespace vantile {
namespace {

// Distinct edge colours, so each band can be told apart on the grabbed pixels.
const QColor kLight(250, 250, 250);     // highlight
const QColor kMidlight(220, 220, 220);  // light
const QColor kDark(128, 128, 128);      // shadow
const QColor kShadow(10, 10, 10);       // dark shadow

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
  public:
    PaintCounter(QWidget* widget, int& count) : QObject(widget), count_(count) {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++count_;
        }
        return false;
    }

  private:
    int& count_;
};

class VantileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        host = std::make_unique<QWidget>();
        host->resize(300, 200);
        QPalette p = host->palette();
        p.setColor(QPalette::Light, kLight);
        p.setColor(QPalette::Midlight, kMidlight);
        p.setColor(QPalette::Dark, kDark);
        p.setColor(QPalette::Shadow, kShadow);
        p.setColor(QPalette::ButtonText, QColor(1, 2, 3));
        host->setPalette(p);
        control = new Vantile(host.get());
        label = control->findChild<QLabel*>("Label1");
        ASSERT_NE(label, nullptr);
    }

    QImage Grab() const { return control->grab().toImage(); }

    std::unique_ptr<QWidget> host;
    Vantile* control = nullptr;
    QLabel* label = nullptr;
};

TEST_F(VantileTest, NewInstanceStartsWithTheInitialState) {
    control->InitNew();
    EXPECT_EQ(control->BackColor(), 0x000080FFu);
    EXPECT_EQ(control->ForeColor(), 0x80000012u);
    EXPECT_TRUE(control->Enabled());
    EXPECT_EQ(control->Edge(), Vantile::None);
    EXPECT_EQ(control->Caption(), "Vantile");
    EXPECT_EQ(control->Font(), host->font());
    EXPECT_EQ(control->size(), QSize(94, 51));
    EXPECT_EQ(control->WidthTwips(), 1410);
    EXPECT_EQ(control->HeightTwips(), 765);
    EXPECT_EQ(label->pos(), QPoint(16, 20));
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(1, 2, 3));
    EXPECT_FALSE(label->autoFillBackground());
}

TEST_F(VantileTest, EachSetReadsBackAndNotifiesOnlyARealChange) {
    host->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
    int paints = 0;
    PaintCounter counter(control, paints);
    QFont big("DejaVu Sans");
    big.setPixelSize(20);
    const struct {
        const char* property;
        QVariant value;
        bool repaints;  // the set itself schedules a repaint of the control
    } cases[] = {
        {"BackColor", QVariant::fromValue<uint>(0x00C0C0C0), true},
        {"ForeColor", QVariant::fromValue<uint>(0x000000FF), false},
        {"Enabled", false, false},
        {"Font", big, false},
        {"Edge", 3, true},
        {"Caption", QStringLiteral("C#"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.property);
        const QMetaProperty property =
            control->metaObject()->property(control->metaObject()->indexOfProperty(c.property));
        ASSERT_TRUE(property.hasNotifySignal());
        QSignalSpy notified(control, property.notifySignal());
        ASSERT_TRUE(notified.isValid());
        QApplication::processEvents();
        paints = 0;
        ASSERT_TRUE(control->setProperty(c.property, c.value));
        EXPECT_EQ(control->property(c.property), c.value);
        EXPECT_EQ(notified.count(), 1);
        QApplication::processEvents();
        if (c.repaints) {
            EXPECT_GT(paints, 0);
        }
        // The same value again: nothing happens.
        paints = 0;
        ASSERT_TRUE(control->setProperty(c.property, c.value));
        QApplication::processEvents();
        EXPECT_EQ(notified.count(), 1);
        EXPECT_EQ(paints, 0);
    }
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_FALSE(control->isEnabled());
}

// Refused colours leave the control as it was and report the error to the host that set it.
TEST_F(VantileTest, BackColorRefusesValuesThatAreNotOleColours) {
    const struct {
        OleColor color;
        HRESULT result;
    } cases[] = {
        {0x00C0C0FF, S_OK},                        // RGB
        {0x80000010, S_OK},                        // button shadow
        {0x80000019, CTL_E_INVALIDPROPERTYVALUE},  // no system colour 25
        {0x8000001F, CTL_E_INVALIDPROPERTYVALUE},  // past the last index
        {0x80001012, CTL_E_INVALIDPROPERTYVALUE},  // stray bits above the index
        {0x0100FF00, CTL_E_INVALIDPROPERTYVALUE},  // high byte 0x01
        {0xFF00FF00, CTL_E_INVALIDPROPERTYVALUE},  // high byte 0xFF
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.color);
        control->SetBackColor(0x00123456);
        QSignalSpy changed(control, &Vantile::backColorChanged);
        EXPECT_EQ(PutByDispId(control, dispid::BackColor, QVariant::fromValue<uint>(c.color)),
                  c.result);
        const bool stored = c.result == S_OK;
        EXPECT_EQ(control->BackColor(), stored ? c.color : 0x00123456u);
        EXPECT_EQ(changed.count(), stored ? 1 : 0);
        EXPECT_EQ(control->SetBackColor(c.color), c.result);
    }
    // Saved state with such a colour loads the default one.
    PropertyBag in;
    in.Write("backcolor", static_cast<std::int32_t>(0xFF00FF00u));
    control->ReadProperties(in);
    EXPECT_EQ(control->BackColor(), kDefaultBackColor);
}

TEST_F(VantileTest, EdgeValuesStoreThePlatformEdgeCodes) {
    const struct {
        int edge;
        int code;
        int readBack;
    } cases[] = {{0, 0, 0},  {1, 9, 1}, {2, 6, 2}, {3, 5, 3},
                 {4, 10, 4}, {5, 0, 0}, {7, 0, 0}, {-1, 0, 0}};
    for (const auto& c : cases) {
        control->SetEdge(3);
        control->SetEdge(c.edge);
        EXPECT_EQ(control->EdgeCode(), c.code) << c.edge;
        EXPECT_EQ(control->Edge(), c.readBack) << c.edge;
    }
}

// Pixels of a 30 x 20 control without caption: the outer band on the outermost pixels, the inner
// band inside it, for each edge kind.
TEST_F(VantileTest, EdgesAreDrawnInTheClassicBandColours) {
    control->resize(30, 20);
    control->SetCaption("");
    control->SetBackColor(0x00C0C0FF);
    const QColor back(255, 192, 192);
    const struct {
        int edge;
        QColor outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight;
    } cases[] = {
        {Vantile::Raised, kMidlight, kShadow, kLight, kDark},
        {Vantile::Sunken, kDark, kLight, kShadow, kMidlight},
        {Vantile::Etched, kDark, kLight, kLight, kDark},
        {Vantile::Bump, kMidlight, kShadow, kShadow, kMidlight},
    };
    for (const auto& c : cases) {
        control->SetEdge(c.edge);
        const QImage img = Grab();
        SCOPED_TRACE(c.edge);
        EXPECT_EQ(img.pixelColor(10, 0), c.outerTopLeft);
        EXPECT_EQ(img.pixelColor(0, 10), c.outerTopLeft);
        EXPECT_EQ(img.pixelColor(0, 0), c.outerTopLeft);
        EXPECT_EQ(img.pixelColor(10, 19), c.outerBottomRight);
        EXPECT_EQ(img.pixelColor(29, 10), c.outerBottomRight);
        EXPECT_EQ(img.pixelColor(29, 0), c.outerBottomRight);  // the shared corners
        EXPECT_EQ(img.pixelColor(0, 19), c.outerBottomRight);
        EXPECT_EQ(img.pixelColor(10, 1), c.innerTopLeft);
        EXPECT_EQ(img.pixelColor(1, 10), c.innerTopLeft);
        EXPECT_EQ(img.pixelColor(10, 18), c.innerBottomRight);
        EXPECT_EQ(img.pixelColor(28, 10), c.innerBottomRight);
        EXPECT_EQ(img.pixelColor(2, 2), back);
        EXPECT_EQ(img.pixelColor(15, 10), back);
    }
}

TEST_F(VantileTest, BackColorKeepsTheEdgeAndEdgeZeroClearsIt) {
    control->resize(30, 20);
    control->SetCaption("");
    control->SetEdge(Vantile::Raised);
    control->SetBackColor(0x00C0C0C0);
    QImage img = Grab();
    EXPECT_EQ(img.pixelColor(10, 0), kMidlight);
    EXPECT_EQ(img.pixelColor(10, 19), kShadow);
    EXPECT_EQ(img.pixelColor(15, 10), QColor(192, 192, 192));

    control->SetEdge(7);  // out of range: no edge
    img = Grab();
    for (const QPoint p : {QPoint(0, 0), QPoint(10, 0), QPoint(1, 10), QPoint(29, 19),
                           QPoint(28, 10), QPoint(10, 18)}) {
        EXPECT_EQ(img.pixelColor(p), QColor(192, 192, 192)) << p.x() << "," << p.y();
    }
}

TEST_F(VantileTest, SystemColourBackgroundComesFromThePalette) {
    control->resize(30, 20);
    control->SetCaption("");
    control->SetBackColor(0x80000010);  // button shadow
    EXPECT_EQ(Grab().pixelColor(15, 10), kDark);
    QPalette p = host->palette();
    p.setColor(QPalette::Dark, QColor(40, 50, 60));
    p.setColor(QPalette::ButtonText, QColor(70, 80, 90));
    host->setPalette(p);
    EXPECT_EQ(Grab().pixelColor(15, 10), QColor(40, 50, 60));
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(70, 80, 90));  // ForeColor
}

TEST_F(VantileTest, CaptionIsCentredAfterResizeCaptionAndFontChanges) {
    auto expectCentred = [&](const char* when) {
        SCOPED_TRACE(when);
        EXPECT_DOUBLE_EQ(control->CaptionLeftTwips(),
                         (control->WidthTwips() - label->width() * 15) / 2.0);
        EXPECT_DOUBLE_EQ(control->CaptionTopTwips(),
                         (control->HeightTwips() - label->height() * 15) / 2.0);
        EXPECT_LE(std::abs(2 * label->x() + label->width() - control->width()), 1);
        EXPECT_LE(std::abs(2 * label->y() + label->height() - control->height()), 1);
    };
    host->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
    control->resize(60, 40);
    expectCentred("resize");
    control->SetCaption("Major 9th");
    expectCentred("caption");
    const int narrowWidth = label->width();
    QFont big = control->Font();
    big.setPixelSize(18);
    control->SetFont(big);
    EXPECT_GT(label->width(), narrowWidth);
    expectCentred("font");
    control->SetCaption("");
    EXPECT_EQ(label->size(), QSize(0, 0));
}

TEST_F(VantileTest, SavingDefaultsWritesNothing) {
    control->InitNew();
    PropertyBag bag;
    control->WriteProperties(bag);
    EXPECT_TRUE(bag.Empty()) << bag.Keys().front();
}

TEST_F(VantileTest, SaveAndLoadRoundTripInTheSavedOrder) {
    PropertyBag in;
    in.Write("caption", "3b");  // order of the input does not matter
    in.Write("edge", std::int32_t{4});
    in.Write("borderstyle", std::int16_t{1});
    in.Write("backstyle", std::int16_t{0});
    in.Write("font", FontDesc{"Terminal", 6.0, true, false, 255});
    in.Write("enabled", false);
    in.Write("forecolor", std::int32_t{0x00FF0000});
    in.Write("backcolor", std::int32_t{0x00C0C0FF});
    control->ReadProperties(in);
    EXPECT_EQ(control->BackStyle(), 0);
    EXPECT_EQ(control->BorderStyle(), 1);
    EXPECT_EQ(control->Font().pixelSize(), 8);  // 6 pt by the twips rule
    EXPECT_TRUE(control->Font().bold());

    PropertyBag out;
    control->WriteProperties(out);
    EXPECT_EQ(out.Keys(),
              (std::vector<std::string>{"BackColor", "ForeColor", "Enabled", "Font", "BackStyle",
                                        "BorderStyle", "Edge", "Caption"}));
    EXPECT_EQ(out.ReadInt32("BackColor"), 0x00C0C0FF);
    EXPECT_EQ(out.ReadInt32("ForeColor"), 0x00FF0000);
    EXPECT_EQ(out.ReadBool("Enabled"), false);
    EXPECT_EQ(out.ReadFont("Font"), (FontDesc{"Terminal", 6.0, true, false, 255}));
    EXPECT_EQ(out.ReadInt16("BackStyle"), std::int16_t{0});
    EXPECT_EQ(out.ReadInt16("BorderStyle"), std::int16_t{1});
    EXPECT_EQ(out.ReadInt32("Edge"), 4);
    EXPECT_EQ(out.ReadString("Caption"), "3b");
}

TEST_F(VantileTest, LoadingAppliesDefaultsForAbsentWrongTypedAndUnknownKeys) {
    control->SetCaption("x");
    control->SetBackColor(0);
    PropertyBag in;
    in.Write("Caption", std::int32_t{5});  // wrong type
    in.Write("Edge", std::string("3"));    // wrong type
    in.Write("Shape", std::int32_t{2});    // unknown
    in.Write("ForeColor", std::int32_t{0x00123456});
    control->ReadProperties(in);
    EXPECT_EQ(control->Caption(), "Vantile");
    EXPECT_EQ(control->BackColor(), 0x000080FFu);
    EXPECT_EQ(control->Edge(), Vantile::None);
    EXPECT_EQ(control->ForeColor(), 0x00123456u);
    EXPECT_TRUE(control->Enabled());
    EXPECT_EQ(control->Font(), host->font());
}

TEST_F(VantileTest, KeyMarkerLayoutLoadsFromLowerCaseKeys) {
    PropertyBag in;
    in.Write("backcolor", std::int32_t{0x00C0C0FF});
    in.Write("font", FontDesc{"Terminal", 6.0, true, false, 255});
    in.Write("edge", std::int32_t{3});
    in.Write("caption", std::string());
    control->ReadProperties(in);
    control->setGeometry(10, 10, 18, 25);
    EXPECT_EQ(control->BackColor(), 0x00C0C0FFu);
    EXPECT_EQ(control->Edge(), Vantile::Raised);
    EXPECT_EQ(control->EdgeCode(), 5);
    EXPECT_EQ(control->Caption(), "");
    EXPECT_EQ(control->Font().family(), "Terminal");
    EXPECT_EQ(control->WidthTwips(), 270);
    EXPECT_EQ(control->HeightTwips(), 375);
}

class VantileEventsTest : public VantileTest {
  protected:
    void SetUp() override {
        VantileTest::SetUp();
        control->setGeometry(0, 0, 90, 40);
        control->SetCaption("Chord");
        host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
        ASSERT_GT(label->width(), 0);
    }
};

TEST_F(VantileEventsTest, PressOnTheCaptionIsAClickButNoMouseDown) {
    QSignalSpy down(control, &Vantile::MouseDown);
    QSignalSpy up(control, &Vantile::MouseUp);
    QSignalSpy click(control, &Vantile::Click);
    QSignalSpy dbl(control, &Vantile::DblClick);
    const QPoint centre = label->rect().center();
    QTest::mouseClick(label, Qt::LeftButton, {}, centre);
    EXPECT_EQ(click.count(), 1);
    EXPECT_EQ(down.count(), 0);
    EXPECT_EQ(up.count(), 0);
    QTest::mouseDClick(label, Qt::LeftButton, {}, centre);
    EXPECT_EQ(dbl.count(), 1);
    EXPECT_EQ(down.count(), 0);
}

TEST_F(VantileEventsTest, PressOnTheMarginGivesMouseDownInTwips) {
    QSignalSpy down(control, &Vantile::MouseDown);
    QSignalSpy up(control, &Vantile::MouseUp);
    QSignalSpy click(control, &Vantile::Click);
    QTest::mousePress(control, Qt::RightButton, Qt::ShiftModifier, QPoint(2, 3));
    ASSERT_EQ(down.count(), 1);
    EXPECT_EQ(down.at(0).at(0).value<short>(), 2);  // right button
    EXPECT_EQ(down.at(0).at(1).value<short>(), 1);  // Shift
    EXPECT_FLOAT_EQ(down.at(0).at(2).toFloat(), 30.0f);
    EXPECT_FLOAT_EQ(down.at(0).at(3).toFloat(), 45.0f);
    QTest::mouseRelease(control, Qt::RightButton, Qt::ShiftModifier, QPoint(2, 3));
    EXPECT_EQ(up.count(), 1);
    EXPECT_EQ(click.count(), 0);  // only the left button clicks

    QTest::mouseClick(control, Qt::LeftButton, Qt::ControlModifier, QPoint(85, 36));
    ASSERT_EQ(down.count(), 2);
    EXPECT_EQ(down.at(1).at(0).value<short>(), 1);
    EXPECT_EQ(down.at(1).at(1).value<short>(), 2);  // Ctrl
    EXPECT_FLOAT_EQ(down.at(1).at(2).toFloat(), 1275.0f);
    EXPECT_FLOAT_EQ(down.at(1).at(3).toFloat(), 540.0f);
    EXPECT_EQ(click.count(), 1);
}

TEST_F(VantileEventsTest, EmptyCaptionLeavesTheWholeSurfaceToMouseDown) {
    control->SetCaption("");
    QSignalSpy down(control, &Vantile::MouseDown);
    QTest::mousePress(control, Qt::LeftButton, {}, QPoint(45, 20));
    EXPECT_EQ(down.count(), 1);
}

TEST_F(VantileEventsTest, MovesOverTheSurfaceOnlyAndNothingWhileDisabled) {
    QSignalSpy move(control, &Vantile::MouseMove);
    QTest::mouseMove(control, QPoint(4, 4));
    QTest::mouseMove(label, label->rect().center());
    EXPECT_EQ(move.count(), 1);
    control->SetEnabled(false);
    QSignalSpy down(control, &Vantile::MouseDown);
    QTest::mousePress(control, Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_EQ(down.count(), 0);
}

TEST_F(VantileEventsTest, KeysGiveTheirVirtualCodesAndCharacters) {
    control->setFocus();
    std::vector<int> downs, presses, ups;
    std::vector<int> shifts;
    QObject::connect(control, &Vantile::KeyDown, [&](short& code, short shift) {
        downs.push_back(code);
        shifts.push_back(shift);
    });
    QObject::connect(control, &Vantile::KeyPress, [&](short& ascii) { presses.push_back(ascii); });
    QObject::connect(control, &Vantile::KeyUp, [&](short& code, short) { ups.push_back(code); });
    QTest::keyClick(control, Qt::Key_A);
    QTest::keyClick(control, Qt::Key_Left);
    QTest::keyClick(control, Qt::Key_Return);
    QTest::keyClick(control, Qt::Key_B, Qt::ShiftModifier);
    // Shift goes down and up as a key of its own around B.
    EXPECT_EQ(downs, (std::vector<int>{0x41, 0x25, 0x0D, 0x10, 0x42}));
    EXPECT_EQ(ups, (std::vector<int>{0x41, 0x25, 0x0D, 0x42, 0x10}));
    EXPECT_EQ(presses, (std::vector<int>{'a', 13, 'b'}));  // QTest types the text as given
    EXPECT_EQ(shifts, (std::vector<int>{0, 0, 0, 1, 1}));
}

TEST_F(VantileTest, DispatchIdentifiersAndTheEdgeDescriptionAreMetadata) {
    EXPECT_EQ(MemberOfDispId(control, dispid::BackColor), "BackColor");
    EXPECT_EQ(MemberOfDispId(control, dispid::Caption), "Caption");
    EXPECT_EQ(MemberOfDispId(control, dispid::Refresh), "Refresh");
    EXPECT_EQ(MemberOfDispId(control, dispid::MouseDown), "MouseDown");
    EXPECT_EQ(MemberOfDispId(control, dispid::Edge), "Edge");
    const int progId = control->metaObject()->indexOfClassInfo("ProgID");
    ASSERT_GE(progId, 0);
    EXPECT_STREQ(control->metaObject()->classInfo(progId).value(), kVantileProgId);
    EXPECT_TRUE(MemberOfDispId(control, 12345).isEmpty());
    EXPECT_TRUE(SetByDispId(control, dispid::Caption, QStringLiteral("R")));
    EXPECT_EQ(control->Caption(), "R");
    EXPECT_TRUE(SetByDispId(control, dispid::BackColor, QVariant::fromValue<uint>(0xC0C0C0)));
    EXPECT_EQ(GetByDispId(control, dispid::BackColor).toUInt(), 0xC0C0C0u);
    EXPECT_TRUE(InvokeByDispId(control, dispid::Refresh));
    const QMetaObject* meta = control->metaObject();
    const int info = meta->indexOfClassInfo("Description:Edge");
    ASSERT_GE(info, 0);
    EXPECT_STREQ(meta->classInfo(info).value(),
                 "Returns/sets the style of the 3D edge of the control.");
    EXPECT_GE(meta->indexOfEnumerator("eEdge"), 0);
}

}  // namespace
}  // namespace vantile
