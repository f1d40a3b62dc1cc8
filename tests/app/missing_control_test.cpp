// The program where its control library is not: this executable is built into a folder of its
// own, so the only way to the library is a registry that names it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/Program.h"
#include "app/SystemMidiLoader.h"
#include "support/LogCapture.h"
#include "support/RecordingOutputs.h"
#include "support/TestDesktop.h"
#include "vantile/ComponentHost.h"

namespace quorvane::app {
namespace {

struct Box {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int shown = 0;
};

class MissingControlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        registry = dir.filePath("components.ini");
        QFile empty(registry);
        ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
        empty.close();
        setenv(vantile::kRegistryEnvironment, QFile::encodeName(registry).constData(), 1);
    }
    void TearDown() override { unsetenv(vantile::kRegistryEnvironment); }

    std::unique_ptr<Program> MakeProgram() {
        auto desktopOwned = std::make_unique<quorvane::testing::TestDesktop>();
        desktop = desktopOwned.get();
        desktop->screenWidth = 1280;
        // The real message box, answered by AnswerMessageBox.
        desktop->showMessages = true;
        return std::make_unique<Program>(
            std::make_unique<midi::RecordingOutputs>(
                std::vector<midi::RecordingOutputs::DeviceSpec>{{"Synth", true}}),
            nullptr, std::move(desktopOwned));
    }

    // Answers the next message box, noting what it said.
    void AnswerMessageBox() {
        auto* timer = new QTimer();
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, [this, timer] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                timer->stop();
                timer->deleteLater();
                seen = {box->windowTitle(), box->text(), box->icon(), seen.shown + 1};
                box->accept();
            }
        });
        timer->start();
    }

    QTemporaryDir dir;
    QString registry;
    quorvane::testing::TestDesktop* desktop = nullptr;
    Box seen;
};

TEST_F(MissingControlTest, WithoutTheLibraryTheProgramSaysWhereItLookedAndFails) {
    const quorvane::testing::LogCapture log("quorvane.startup");
    auto program = MakeProgram();
    AnswerMessageBox();
    // Should it start after all, its event loop ends at once rather than waiting for a user.
    auto* shown = new QTimer(&program->Main());
    QObject::connect(shown, &QTimer::timeout, [&program] {
        if (program->Main().isVisible()) {
            QApplication::exit(0);
        }
    });
    shown->start(5);
    EXPECT_NE(program->Run(), 0);

    EXPECT_EQ(desktop->reminders, 1) << "the start-up reminder comes first, no closing one";
    EXPECT_EQ(seen.shown, 1);
    EXPECT_EQ(seen.title, "Quorvane");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    const QString beside = QCoreApplication::applicationDirPath() + "/libVantileCtl.so";
    for (const QString& part : {QStringLiteral("\"VantileCtl.Vantile\""), registry, beside}) {
        EXPECT_TRUE(seen.text.contains(part)) << part.toStdString() << "\n"
                                              << seen.text.toStdString();
        EXPECT_TRUE(log.Lines().contains(part)) << part.toStdString();
    }
    EXPECT_EQ(program->Main().vtlPlayKey(0), nullptr);
    EXPECT_FALSE(program->Main().isVisible());
    EXPECT_EQ(program->Progressions(), nullptr) << "start-up stopped before the chart";
    EXPECT_EQ(desktop->ends, 0);
}

TEST_F(MissingControlTest, ARegistryNamingTheLibraryLetsItStart) {
    ASSERT_TRUE(vantile::ComponentRegistry(registry).Register(
        {vantile::kVantileProgId, QString::fromStdString(vantile::ToString(vantile::kClsidVantile)),
         VANTILE_LIBRARY_FILE, QString::fromStdString(vantile::ToString(vantile::kLibidVantileCtl)),
         "1.0"}));
    auto program = MakeProgram();
    EXPECT_TRUE(program->Start());
    EXPECT_NE(program->Main().vtlPlayKey(0), nullptr);
    EXPECT_FALSE(program->Main().ControlMissing());
    EXPECT_EQ(seen.shown, 0);
}

// Nor is the system MIDI module beside this executable or in its library folder: the reason
// names each place with what stopped it there.
TEST(SystemMidiModule, MissingFromEveryPlaceSaysWhyAtEach) {
    LaterSystemOutputs outputs;
    EXPECT_EQ(outputs.GetNumDevs(), 0);
    const QString why = QString::fromStdString(outputs.LastOpenError());
    const QString beside = QCoreApplication::applicationDirPath() + "/" + kSystemMidiModule;
    EXPECT_TRUE(why.contains(beside + ": cannot open shared object file")) << why.toStdString();
    EXPECT_EQ(why.count(QStringLiteral(": cannot open shared object file")), 2)
        << why.toStdString();
}

}  // namespace
}  // namespace quorvane::app
