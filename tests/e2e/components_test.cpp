// Where the program finds its marker control, seen from outside: a registry that anyone may
// write, a library named by a relative path, and no library at all.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>

#include "Desktop.h"

namespace quorvane::e2e {
namespace {

constexpr auto kAnyoneMayWrite = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                 QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;

class Components : public ::testing::Test {
  protected:
    void SetUp() override {
        const QString why = desktop_.StartX();
        if (!why.isEmpty()) {
            GTEST_SKIP() << why.toStdString();
        }
        // The machine's own registries stay out of it.
        env_ = desktop_.Env();
        env_.insert(QStringLiteral("XDG_CONFIG_DIRS"), desktop_.Folder() + QStringLiteral("/xdg"));
    }

    // A registry that names `library` for the control, written as the control's own
    // registration would, then pointed elsewhere; its path.
    QString Registry(const QString& library) {
        const QString path = desktop_.Folder() + QStringLiteral("/components.ini");
        QProcessEnvironment env = env_;
        env.insert(QStringLiteral("VANTILE_REGISTRY"), path);
        Child regsvr;
        EXPECT_TRUE(regsvr.Start(BuildProgram(QStringLiteral("quorvane-regsvr")),
                                 {BuildProgram(QStringLiteral("libVantileCtl.so"))}, env));
        EXPECT_EQ(regsvr.Wait(10000), 0) << regsvr.Output().toStdString();
        QSettings registry(path, QSettings::IniFormat);
        const QString clsid =
            registry.value(QStringLiteral("ProgID/VantileCtl.Vantile")).toString();
        EXPECT_FALSE(clsid.isEmpty());
        registry.setValue(QStringLiteral("CLSID/") + clsid + QStringLiteral("/InprocServer"),
                          library);
        registry.sync();
        return path;
    }

    // A library that leaves "planted-library-ran" in the program's working folder when loaded.
    QString Planted(const QString& folder) {
        QDir().mkpath(folder);
        const QString path = folder + QStringLiteral("/libVantileCtl.so");
        QFile::copy(QStringLiteral(E2E_PLANTED_LIBRARY), path);
        return path;
    }

    Desktop desktop_;
    QProcessEnvironment env_;
};

TEST_F(Components, RegistriesAndLibrariesOthersCanWriteAreNotTrusted) {
    const QString work = desktop_.Folder() + QStringLiteral("/work");
    ASSERT_TRUE(QDir().mkpath(work));
    const QString library = Planted(desktop_.Folder() + QStringLiteral("/shared"));
    ASSERT_TRUE(QFile::setPermissions(library, kAnyoneMayWrite | QFile::ExeOwner));
    const QString registry = Registry(library);
    ASSERT_TRUE(QFile::setPermissions(registry, kAnyoneMayWrite));
    env_.insert(QStringLiteral("VANTILE_REGISTRY"), registry);

    App app(desktop_);
    ASSERT_TRUE(app.Start(BuildProgram(QStringLiteral("quorvane")), work, env_));
    // The control still comes from beside the program, so the program runs as usual.
    ASSERT_FALSE(app.PassReminder().isEmpty()) << app.Process().Output().toStdString();
    EXPECT_FALSE(QFile::exists(work + QStringLiteral("/planted-library-ran")));
    EXPECT_EQ(app.Exit(), 0);
}

TEST_F(Components, ARelativeLibraryPathIsNotLoadedFromTheWorkingFolder) {
    const QString work = desktop_.Folder() + QStringLiteral("/work");
    Planted(work + QStringLiteral("/plugins"));
    env_.insert(QStringLiteral("VANTILE_REGISTRY"),
                Registry(QStringLiteral("plugins/libVantileCtl.so")));
    App app(desktop_);
    ASSERT_TRUE(app.Start(BuildProgram(QStringLiteral("quorvane")), work, env_));
    ASSERT_FALSE(app.PassReminder().isEmpty()) << app.Process().Output().toStdString();
    EXPECT_FALSE(QFile::exists(work + QStringLiteral("/planted-library-ran")));
    EXPECT_EQ(app.Exit(), 0);
}

TEST_F(Components, WithoutTheControlLibraryTheProgramSaysSoAndEnds) {
    // The program copied on its own to another folder.
    const QString alone = desktop_.Folder() + QStringLiteral("/alone");
    ASSERT_TRUE(QDir().mkpath(alone));
    ASSERT_TRUE(
        QFile::copy(BuildProgram(QStringLiteral("quorvane")), alone + QStringLiteral("/quorvane")));
    env_.insert(QStringLiteral("VANTILE_REGISTRY"),
                desktop_.Folder() + QStringLiteral("/none.ini"));
    App app(desktop_);
    ASSERT_TRUE(app.Start(alone + QStringLiteral("/quorvane"), alone, env_));
    app.PassReminder();
    // A message box names the control; OK ends the program with a failure status.
    const QString box = desktop_.WaitWindow(QStringLiteral("^Quorvane$"));
    ASSERT_FALSE(box.isEmpty());
    ASSERT_TRUE(desktop_.Handled(box));
    desktop_.Keys(box, {QStringLiteral("Return")});
    const std::optional<int> status = app.Process().Wait(10000);
    ASSERT_TRUE(status.has_value());
    EXPECT_NE(*status, 0);
    EXPECT_TRUE(app.Process().Output().contains("VantileCtl.Vantile"))
        << app.Process().Output().toStdString();
}

}  // namespace
}  // namespace quorvane::e2e
