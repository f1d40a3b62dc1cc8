// The command line: read without a window, and the real program answering --help, --version
// and a wrong option with no display at all.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>

#include "app/CommandLine.h"

namespace quorvane::app {
namespace {

using Action = CommandLine::Action;

TEST(CommandLine, ReadsOptionsFilesAndQtsOwnOptions) {
    struct Case {
        std::vector<std::string> args;
        Action action;
        std::vector<std::string> files;
    };
    const std::vector<Case> cases{
        {{}, Action::Run, {}},
        {{"song.cho", "-", "b.sf2"}, Action::Run, {"song.cho", "-", "b.sf2"}},
        {{"a.cho", "--help", "--bogus"}, Action::Help, {}},
        {{"--version"}, Action::Version, {}},
        {{"-platform", "offscreen", "a.cho", "--style=fusion", "-reverse"}, Action::Run, {"a.cho"}},
        {{"--", "--help", "-x.cho"}, Action::Run, {"--help", "-x.cho"}},
        {{"--frobnicate"}, Action::Error, {}},
        {{"a.cho", "-reverse=1"}, Action::Error, {}},
        {{"a.cho", "-style"}, Action::Error, {}},
    };
    for (const Case& c : cases) {
        const CommandLine line = ParseCommandLine(c.args);
        EXPECT_EQ(line.action, c.action) << ::testing::PrintToString(c.args);
        if (c.action == Action::Run) {
            EXPECT_EQ(line.files, c.files);
        }
        EXPECT_EQ(line.error.empty(), c.action != Action::Error);
    }
    EXPECT_EQ(ParseCommandLine({"--frobnicate"}).error, "unknown option '--frobnicate'");
}

TEST(CommandLine, KindOfFileByItsExtensionInAnyCase) {
    for (const char* chart : {"a.cho", "/x/A.CHOPRO", "s.chordpro", "b.crd", "c.Pro", "d.txt"}) {
        EXPECT_EQ(KindOfFile(chart), FileKind::Chart) << chart;
    }
    for (const char* font : {"/usr/share/sounds/sf2/FluidR3_GM.sf2", "x.SF3"}) {
        EXPECT_EQ(KindOfFile(font), FileKind::Soundfont) << font;
    }
    for (const char* other : {"a.mid", "cho", ".cho", "dir.cho/file", "a.sf2x"}) {
        EXPECT_EQ(KindOfFile(other), FileKind::Other) << other;
    }
}

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

Outcome RunProgram(const QStringList& args) {
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        env.remove(QString::fromLatin1(name));
    }
    program.setProcessEnvironment(env);
    program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/quorvane"), args);
    Outcome run;
    if (program.waitForFinished(30000) && program.exitStatus() == QProcess::NormalExit) {
        run.status = program.exitCode();
    } else {
        program.kill();
        program.waitForFinished();
    }
    run.out = QString::fromLocal8Bit(program.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(program.readAllStandardError());
    return run;
}

TEST(CommandLine, TheProgramAnswersWithoutADisplay) {
    const Outcome version = RunProgram({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0) << version.err.toStdString();
    EXPECT_EQ(version.out, QStringLiteral("Quorvane %1\n").arg(QStringLiteral(QUORVANE_VERSION)));

    const Outcome help = RunProgram({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: quorvane"))) << help.out.toStdString();
    EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();

    const Outcome wrong = RunProgram({QStringLiteral("--frobnicate")});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_TRUE(wrong.out.isEmpty());
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("--frobnicate")));
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("Usage: quorvane"))) << wrong.err.toStdString();
}

}  // namespace
}  // namespace quorvane::app
