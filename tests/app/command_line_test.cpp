// The command line: read without a window, and the real program answering --help, --version
// and a wrong option with no display at all.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>

#include "app/CommandLine.h"

namespace quorvane::app {
namespace {

using Action = CommandLine::Action;
using Files = std::vector<std::string>;

TEST(CommandLine, ReadsOptionsFilesAndQtsOwnOptions) {
    const std::vector<std::tuple<Files, Action, Files>> cases{
        {Files{}, Action::Run, Files{}},
        {{"song.cho", "-", "b.sf2"}, Action::Run, {"song.cho", "-", "b.sf2"}},
        {{"a.cho", "--help", "--bogus"}, Action::Help, Files{}},
        {{"--version"}, Action::Version, Files{}},
        {{"-platform", "offscreen", "a.cho", "--style=fusion", "-reverse"}, Action::Run, {"a.cho"}},
        {{"--", "--help", "-x.cho"}, Action::Run, {"--help", "-x.cho"}},
        {{"--frobnicate"}, Action::Error, Files{}},
        {{"a.cho", "-reverse=1"}, Action::Error, Files{}},
        {{"a.cho", "-style"}, Action::Error, Files{}},
    };
    for (const auto& [args, action, files] : cases) {
        const CommandLine line = ParseCommandLine(args);
        EXPECT_EQ(line.action, action) << ::testing::PrintToString(args);
        EXPECT_EQ(line.files, action == Action::Run ? files : line.files);
        EXPECT_EQ(line.error.empty(), action != Action::Error);
    }
    EXPECT_EQ(ParseCommandLine({"--frobnicate"}).error, "unknown option '--frobnicate'");
}

TEST(CommandLine, KindOfFileByItsExtensionInAnyCase) {
    const std::vector<std::pair<const char*, FileKind>> cases{
        {"a.cho", FileKind::Chart},        {"/x/A.CHOPRO", FileKind::Chart},
        {"s.chordpro", FileKind::Chart},   {"b.crd", FileKind::Chart},
        {"c.Pro", FileKind::Chart},        {"d.txt", FileKind::Chart},
        {"/u/G.sf2", FileKind::Soundfont}, {"x.SF3", FileKind::Soundfont},
        {"a.mid", FileKind::Other},        {".cho", FileKind::Other},
        {"dir.cho/file", FileKind::Other}, {"a.sf2x", FileKind::Other}};
    for (const auto& [path, kind] : cases) {
        EXPECT_EQ(KindOfFile(path), kind) << path;
    }
}

// Status, standard output and standard error of the program with no display to open.
std::tuple<int, QString, QString> RunWithoutDisplay(const char* arg) {
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        env.remove(QString::fromLatin1(name));
    }
    program.setProcessEnvironment(env);
    program.start(QCoreApplication::applicationDirPath() + "/quorvane", {QString::fromLatin1(arg)});
    const bool ended =
        program.waitForFinished(30000) && program.exitStatus() == QProcess::NormalExit;
    return {ended ? program.exitCode() : -1,
            QString::fromLocal8Bit(program.readAllStandardOutput()),
            QString::fromLocal8Bit(program.readAllStandardError())};
}

TEST(CommandLine, TheProgramAnswersWithoutADisplay) {
    const auto [versionStatus, version, versionErr] = RunWithoutDisplay("--version");
    EXPECT_EQ(versionStatus, 0) << versionErr.toStdString();
    EXPECT_EQ(version, QStringLiteral("Quorvane " QUORVANE_VERSION "\n"));

    const auto [helpStatus, help, helpErr] = RunWithoutDisplay("--help");
    EXPECT_EQ(helpStatus, 0) << helpErr.toStdString();
    EXPECT_TRUE(help.startsWith("Usage: quorvane")) << help.toStdString();

    const auto [wrongStatus, wrongOut, wrong] = RunWithoutDisplay("--frobnicate");
    EXPECT_EQ(wrongStatus, 2);
    EXPECT_TRUE(wrongOut.isEmpty() && wrong.contains("'--frobnicate'") &&
                wrong.contains("Usage: quorvane"))
        << wrong.toStdString();
}

}  // namespace
}  // namespace quorvane::app
