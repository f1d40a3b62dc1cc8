// The program on a Wayland desktop: natively through Qt's Wayland platform, on a headless
// compositor with a private PulseAudio server for the built-in synthesizer.
#include <gtest/gtest.h>

#include "Desktop.h"

namespace quorvane::e2e {
namespace {

class OnWayland : public ::testing::TestWithParam<bool> {};

// Natively on Wayland (false), and as an X client of the compositor's XWayland server (true).
TEST_P(OnWayland, StartsChangesTheChordPlaysAndExits) {
    const bool xwayland = GetParam();
    Desktop desktop;
    for (const QString& why : {desktop.StartWeston(xwayland), desktop.StartPulse()}) {
        if (!why.isEmpty()) {
            GTEST_SKIP() << why.toStdString();
        }
    }
    ASSERT_EQ(desktop.StartRecording(), QString());
    QProcessEnvironment env = desktop.Env();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"),
               xwayland ? QStringLiteral("xcb") : QStringLiteral("wayland"));
    Child session;
    ASSERT_TRUE(session.Start(BuildProgram(QStringLiteral("e2e_session_child")), {}, env,
                              desktop.Folder()));
    const std::optional<int> status = session.Wait(30000);
    const QByteArray output = session.Output();
    EXPECT_EQ(status, 0) << output.toStdString();
    EXPECT_TRUE(output.contains("played")) << output.toStdString();
    EXPECT_GT(desktop.StopRecording(), 1000) << "Play was not heard";
    // Qt found its Wayland platform and nothing fell back to another one.
    EXPECT_FALSE(output.contains("qt.qpa")) << output.toStdString();
}

INSTANTIATE_TEST_SUITE_P(NativeAndXWayland, OnWayland, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "XWayland" : "Native";
                         });

}  // namespace
}  // namespace quorvane::e2e
