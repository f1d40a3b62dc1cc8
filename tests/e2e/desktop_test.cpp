// The program as a user meets it on an X desktop with a window manager and an audio server.
#include <gtest/gtest.h>
#include <signal.h>
#include <xcb/xcb.h>

#include <QDir>
#include <QFile>
#include <QPoint>
#include <QRegularExpression>
#include <memory>

#include "Desktop.h"

namespace quorvane::e2e {
namespace {

#define E2E_START(call)                        \
    do {                                       \
        const QString why = (call);            \
        if (!why.isEmpty()) {                  \
            GTEST_SKIP() << why.toStdString(); \
        }                                      \
    } while (false)

// Whether the PulseAudio server plays a stream of the program's.
bool SynthStreamListed(const Desktop& desktop) {
    return desktop
        .Tool(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("sink-inputs")})
        .contains("application.name = \"Quorvane\"");
}

class OnX : public ::testing::Test {
  protected:
    void SetUp() override { E2E_START(desktop_.StartX()); }
    Desktop desktop_;
};

TEST_F(OnX, StartsPlaysOnPulseAudioAndExits) {
    E2E_START(desktop_.StartPulse());
    App app(desktop_);
    ASSERT_TRUE(app.Start());
    ASSERT_FALSE(app.PassReminder().isEmpty()) << app.Process().Output().toStdString();
    // The settings window's first activation opens the built-in synthesizer.
    ASSERT_FALSE(app.OpenMidiSettings().isEmpty());
    // The synthesizer's stream flows once the server lists it.
    ASSERT_TRUE(WaitFor([&] { return SynthStreamListed(desktop_); }));
    ASSERT_EQ(desktop_.StartRecording(), QString());
    desktop_.Keys(app.MainWindow(), {QStringLiteral("Return")});
    EXPECT_TRUE(WaitFor([&] { return desktop_.RecordedPeak() > 1000; }))
        << "Play was not heard on the null sink";
    desktop_.StopRecording();
    // The mixer shows the program by its own name.
    const QByteArray clients =
        desktop_.Tool(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("clients")});
    EXPECT_TRUE(clients.contains("application.name = \"Quorvane\"")) << clients.toStdString();
    EXPECT_EQ(app.Exit(), 0) << app.Process().Output().toStdString();
}

TEST_F(OnX, EndsCleanlyOnSignalsWithoutTheClosingReminder) {
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        App app(desktop_);
        ASSERT_TRUE(app.Start());
        ASSERT_FALSE(app.PassReminder().isEmpty());
        app.Process().Signal(sig);
        EXPECT_EQ(app.Process().Wait(5000), 0) << "signal " << sig;
        EXPECT_TRUE(desktop_.WindowGone(QStringLiteral("^Velmira$"), 200)) << "signal " << sig;
    }
}

TEST_F(OnX, LibrariesInTheWorkingFolderAreNotLoaded) {
    E2E_START(desktop_.StartPulse());  // the synthesizer opens, with no message in the way
    // What a user's download folder might hold: a library under the name of one the program
    // needs, started from there.
    const QString folder = desktop_.Folder() + QStringLiteral("/downloads");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const char* name : {"librtmidi.so.6", "libVantileCtl.so", "libfluidsynth.so.3"}) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(E2E_PLANTED_LIBRARY),
                                folder + QLatin1Char('/') + QLatin1String(name)));
    }
    App app(desktop_);
    ASSERT_TRUE(app.Start(BuildProgram(QStringLiteral("quorvane")), folder));
    ASSERT_FALSE(app.PassReminder().isEmpty()) << app.Process().Output().toStdString();
    app.OpenMidiSettings();  // loads the synthesizer's library
    ASSERT_TRUE(WaitFor([&] { return SynthStreamListed(desktop_); }));
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/planted-library-ran")));
    EXPECT_EQ(app.Exit(), 0);
}

TEST_F(OnX, HiddenWindowsStayHiddenWhenTheMainWindowIsMinimisedAndRestored) {
    App app(desktop_);
    ASSERT_TRUE(app.Start());
    const QString main = app.PassReminder();
    ASSERT_FALSE(main.isEmpty());
    // Once as started, once after the user showed and hid the chart again.
    for (const bool chartShownBefore : {false, true}) {
        if (chartShownBefore) {
            desktop_.Keys(main, {QStringLiteral("shift+F1")});
            ASSERT_FALSE(desktop_.WaitWindow(QStringLiteral("Progressions")).isEmpty());
            desktop_.Keys(main, {QStringLiteral("shift+F1")});
            ASSERT_TRUE(desktop_.WindowGone(QStringLiteral("Progressions")));
        }
        desktop_.Tool(QStringLiteral("xdotool"),
                      {QStringLiteral("windowminimize"), QStringLiteral("--sync"), main});
        EXPECT_EQ(desktop_.WmState(main), QStringLiteral("Iconic"));
        desktop_.Tool(QStringLiteral("xdotool"),
                      {QStringLiteral("windowmap"), QStringLiteral("--sync"), main});
        EXPECT_TRUE(WaitFor([&] { return desktop_.WmState(main) == QStringLiteral("Normal"); }));
        // Neither the chart nor the settings window was ever shown by the user here: the window
        // manager must not hold them, mapped or as icons.
        for (const QString& name :
             {QStringLiteral("Progressions\\]$"), QStringLiteral("\\[MIDI\\]$")}) {
            for (const QString& id : desktop_.Windows(name)) {
                EXPECT_FALSE(desktop_.Viewable(id)) << name.toStdString();
                const QString state = desktop_.WmState(id);
                EXPECT_TRUE(state.isEmpty() || state == QStringLiteral("Withdrawn"))
                    << name.toStdString() << " is " << state.toStdString()
                    << (chartShownBefore ? " after the chart was hidden" : " on a fresh start");
            }
        }
    }
    EXPECT_EQ(app.Exit(), 0);
}

TEST_F(OnX, WindowsCarryTheProgramIconAndSecondaryOnesAreOwned) {
    E2E_START(desktop_.StartPulse());  // the settings window opens the synthesizer
    App app(desktop_);
    ASSERT_TRUE(app.Start());
    const QString main = app.PassReminder();
    ASSERT_FALSE(main.isEmpty());
    desktop_.Keys(main, {QStringLiteral("shift+F1")});
    const QString chart = desktop_.WaitWindow(QStringLiteral("Progressions"));
    ASSERT_FALSE(chart.isEmpty());
    // The help and the MIDI settings stay with the program's windows: the window system knows
    // the main window as their owner.
    const QString settings = app.OpenMidiSettings();
    ASSERT_FALSE(settings.isEmpty());
    desktop_.Keys(main, {QStringLiteral("alt+h"), QStringLiteral("i")});
    const QString help = desktop_.WaitWindow(QStringLiteral("^Quorvane Help$"));
    ASSERT_FALSE(help.isEmpty());
    for (const QString& owned : {settings, help}) {
        const QByteArray owner =
            desktop_.Tool(QStringLiteral("xprop"),
                          {QStringLiteral("-id"), owned, QStringLiteral("WM_TRANSIENT_FOR")});
        EXPECT_TRUE(
            owner.contains(QStringLiteral("0x%1").arg(main.toULongLong(), 0, 16).toLatin1()))
            << owner.toStdString();
    }
    for (const QString& id : {main, chart, help, settings}) {
        const QByteArray icon = desktop_.Tool(
            QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_WM_ICON")});
        EXPECT_TRUE(icon.contains("Icon (")) << icon.left(200).toStdString();
    }
    EXPECT_EQ(app.Exit(), 0);
}

TEST_F(OnX, RightPressOpensTheInversionsPopUpOnlyOnTheStaffNameAndKeyboard) {
    App app(desktop_);
    ASSERT_TRUE(app.Start());
    const QString main = app.PassReminder();
    ASSERT_FALSE(main.isEmpty());
    // The layout is in twips of the client area, which starts below the menu bar; the client
    // area is 415 pixels high.
    const QByteArray geometry =
        desktop_.Tool(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), main});
    const int height = QString::fromLatin1(geometry).section(QLatin1Char('x'), -1).toInt();
    const int menuBar = height - 415;
    ASSERT_GT(menuBar, 0) << geometry.toStdString();
    auto visibleWindows = [this] {
        return desktop_
            .Tool(QStringLiteral("xdotool"),
                  {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                   QStringLiteral("--class"), QStringLiteral("quorvane")})
            .count('\n');
    };
    const qsizetype alone = visibleWindows();
    struct Place {
        const char* what;
        int left, top;  // twips
        bool popUp;
    };
    const Place places[] = {
        {"staff", 3000, 5100, true},
        {"Play button", 8046, 3846, false},
        {"Root Note list", 700, 3870, false},
        {"Treble Clef option", 700, 5760, false},
        {"Root Note: label", 500, 3570, false},
        {"Scale: label over the staff", 870, 4530, false},
        {"clef sign", 420, 5000, false},
        {"staff", 3000, 5100, true},
        {"chord name", 4100, 400, true},
        {"keyboard", 1100, 2900, true},
    };
    for (const Place& place : places) {
        desktop_.Tool(
            QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("--window"),
             main, QString::number(place.left / 15), QString::number(place.top / 15 + menuBar)});
        // The pop-up opens on the press; it is looked for before the release, which may choose
        // the item under the pointer and close it. Once the press is handled, a pop-up it opened
        // is mapped.
        desktop_.Tool(QStringLiteral("xdotool"),
                      {QStringLiteral("mousedown"), QStringLiteral("3")});
        ASSERT_TRUE(desktop_.Handled(main)) << place.what;
        const bool opened = visibleWindows() > alone;
        desktop_.Tool(QStringLiteral("xdotool"), {QStringLiteral("mouseup"), QStringLiteral("3")});
        EXPECT_EQ(opened, place.popUp) << place.what;
        // Esc closes the pop-up, which has the keyboard while it is open.
        EXPECT_TRUE(WaitFor([&] {
            if (visibleWindows() <= alone) {
                return true;
            }
            desktop_.Tool(QStringLiteral("xdotool"),
                          {QStringLiteral("key"), QStringLiteral("Escape")});
            return false;
        }));
    }
    EXPECT_EQ(app.Exit(), 0);
}

// The colour (0xRRGGBB) of one pixel of a window, read from the X server; -1 when unreadable.
long PixelAt(const Desktop& desktop, const QString& window, int x, int y) {
    const QByteArray display = desktop.Env().value(QStringLiteral("DISPLAY")).toLatin1();
    std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t*)> c(
        xcb_connect(display.constData(), nullptr), xcb_disconnect);
    if (xcb_connection_has_error(c.get()) != 0) {
        return -1;
    }
    std::unique_ptr<xcb_get_image_reply_t, void (*)(void*)> image(
        xcb_get_image_reply(
            c.get(),
            xcb_get_image(c.get(), XCB_IMAGE_FORMAT_Z_PIXMAP, window.toUInt(),
                          static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), 1, 1, ~0u),
            nullptr),
        free);
    if (!image || xcb_get_image_data_length(image.get()) < 3) {
        return -1;
    }
    const std::uint8_t* bgr = xcb_get_image_data(image.get());
    return (long{bgr[2]} << 16) | (long{bgr[1]} << 8) | bgr[0];
}

// Picking with the mouse and playing on the computer keyboard, typed from outside through the
// X server on a US and on a German layout: the held notes are named, and drawn while held.
TEST_F(OnX, PickedAndTypedNotesAreNamedAndDrawnHeld) {
    App app(desktop_);
    ASSERT_TRUE(app.Start());
    const QString main = app.PassReminder();
    ASSERT_FALSE(main.isEmpty());
    const int menuBar =
        QString::fromLatin1(
            desktop_.Tool(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), main}))
            .section(QLatin1Char('x'), -1)
            .toInt() -
        415;
    // The lower half of white key k, left of any black key, in the window's pixels.
    const auto keyPoint = [menuBar](int key) {
        constexpr int kOffsets[12] = {0, 0, 390, 0, 780, 1170, 0, 1560, 0, 1950, 0, 2340};
        const int left = 120 + 30 + 2730 * (key / 12) + kOffsets[key % 12] + 100;
        return QPoint(left / 15, (840 + 30 + 2150) / 15 + menuBar);
    };
    constexpr long kHeldShade = 0xFFAA3C;
    const auto named = [&app](const char* chord) {
        return app.Process().Output().count(QByteArray("Played chord: ") + chord + '\n');
    };
    desktop_.Keys(main, {QStringLiteral("alt+o"), QStringLiteral("p")});  // Pick Notes
    for (int key : {12, 16, 19, 23, 23}) {
        const QPoint at = keyPoint(key);
        desktop_.Tool(
            QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QStringLiteral("--window"), main, QString::number(at.x()),
             QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")});
    }
    const auto shade = [&](int key) {
        return PixelAt(desktop_, main, keyPoint(key).x(), keyPoint(key).y());
    };
    ASSERT_TRUE(desktop_.Handled(main));
    EXPECT_TRUE(WaitFor([&] { return named("CMajor Basic") == 2; }))
        << "once at G, again when B is taken away";
    EXPECT_EQ(named("CMajor 7th Basic"), 1) << app.Process().Output().toStdString();
    EXPECT_TRUE(WaitFor([&] { return shade(16) == kHeldShade; }));
    desktop_.Keys(main, {QStringLiteral("Escape")});
    EXPECT_TRUE(WaitFor([&] { return shade(16) != kHeldShade; }));

    // The keys in the places of Z, C and B: C, E and G of the lowest octave.
    const struct {
        const char* layout;
        QStringList keys;
    } layouts[] = {{"us", {"z", "c", "b"}}, {"de", {"y", "c", "b"}}};
    int times = 2;
    for (const auto& layout : layouts) {
        SCOPED_TRACE(layout.layout);
        desktop_.Tool(QStringLiteral("setxkbmap"), {QString::fromLatin1(layout.layout)});
        desktop_.Focus(main);
        ASSERT_TRUE(desktop_.Handled(main));  // the new layout
        desktop_.Tool(QStringLiteral("xdotool"),
                      QStringList{QStringLiteral("keydown")} + layout.keys);
        ++times;
        EXPECT_TRUE(WaitFor([&] { return named("CMajor Basic") == times; }));
        EXPECT_TRUE(WaitFor([&] {
            return shade(0) == kHeldShade && shade(4) == kHeldShade && shade(7) == kHeldShade;
        }));
        desktop_.Tool(QStringLiteral("xdotool"),
                      QStringList{QStringLiteral("keyup")} + layout.keys);
        EXPECT_TRUE(WaitFor([&] {
            return shade(0) != kHeldShade && shade(4) != kHeldShade && shade(7) != kHeldShade;
        }));
    }
    EXPECT_EQ(app.Exit(), 0);
}

}  // namespace
}  // namespace quorvane::e2e
