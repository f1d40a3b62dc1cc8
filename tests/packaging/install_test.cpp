// `cmake --install` into a staging directory: every file at its place, valid desktop metadata,
// and the installed program finding its control library from the installed tree.
#include <gtest/gtest.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>

namespace {

struct RunResult {
    bool finished = false;
    int exitCode = -1;
    QString output;
};

RunResult RunTool(const QString& program, const QStringList& args,
                  const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    RunResult result;
    result.finished =
        process.waitForFinished(300000) && process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.output = QString::fromLocal8Bit(process.readAll());
    return result;
}

// Executables and shared libraries below `root` (symbolic links are checked at their target).
QStringList LinkedElfFiles(const QString& root) {
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::NoSymLinks | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QByteArray head = file.read(18);
        if (head.size() < 18 || head.left(4) != QByteArray::fromHex("7f454c46")) {
            continue;
        }
        const bool little = head[5] == 1;
        const int type = little ? (uchar(head[16]) | uchar(head[17]) << 8)
                                : (uchar(head[16]) << 8 | uchar(head[17]));
        if (type == 2 || type == 3) {  // ET_EXEC, ET_DYN
            files << path;
        }
    }
    return files;
}

// The RPATH and RUNPATH entries of an ELF file that the dynamic loader would resolve against the
// directory the program is started from: empty ones and relative ones not based on $ORIGIN.
QStringList EntriesFromTheCurrentDirectory(const QString& file) {
    QProcess readelf;
    readelf.start(QStringLiteral("readelf"), {QStringLiteral("-d"), file});
    readelf.waitForFinished(60000);
    const QString dynamic = QString::fromLocal8Bit(readelf.readAllStandardOutput());
    static const QRegularExpression path(QStringLiteral(R"(\((?:RUNPATH|RPATH)\)[^[]*\[(.*)\])"));
    QStringList bad;
    for (auto match = path.globalMatch(dynamic); match.hasNext();) {
        for (const QString& entry : match.next().captured(1).split(QLatin1Char(':'))) {
            const bool origin = entry == "$ORIGIN" || entry.startsWith("$ORIGIN/") ||
                                entry == "${ORIGIN}" || entry.startsWith("${ORIGIN}/");
            if (!entry.startsWith(QLatin1Char('/')) && !origin) {
                bad << (entry.isEmpty() ? QStringLiteral("(empty)") : entry);
            }
        }
    }
    return bad;
}

class InstalledTreeTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        stage = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(stage->isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DESTDIR"), stage->path());
        const RunResult install =
            RunTool(QStringLiteral(QUORVANE_CMAKE_COMMAND),
                    {QStringLiteral("--install"), QStringLiteral(QUORVANE_BINARY_DIR),
                     QStringLiteral("--prefix"), QStringLiteral("/usr")},
                    env);
        ASSERT_TRUE(install.finished && install.exitCode == 0) << install.output.toStdString();
        prefix = stage->path() + QStringLiteral("/usr");
    }
    static void TearDownTestSuite() { stage.reset(); }

    static QString At(const QString& relative) { return prefix + QLatin1Char('/') + relative; }

    static std::unique_ptr<QTemporaryDir> stage;
    static QString prefix;
};

std::unique_ptr<QTemporaryDir> InstalledTreeTest::stage;
QString InstalledTreeTest::prefix;

TEST_F(InstalledTreeTest, EveryFileIsAtItsPlace) {
    const QString id = QStringLiteral(QUORVANE_APP_ID);
    QStringList expected{
        "bin/quorvane",
        "lib/quorvane/quorvane-regsvr",
        "lib/quorvane/libquorvane-system-midi.so",
        "share/icons/hicolor/scalable/apps/quorvane.svg",
        "share/applications/" + id + ".desktop",
        "share/metainfo/" + id + ".metainfo.xml",
        "share/mime/packages/" + id + ".xml",
        "share/man/man1/quorvane.1.gz",
        "share/doc/quorvane/copyright",
        "share/doc/quorvane/changelog.gz",
    };
    for (const char* size : {"16", "22", "24", "32", "48", "64", "128", "256"}) {
        expected << QStringLiteral("share/icons/hicolor/%1x%1/apps/quorvane.png").arg(size);
    }
    expected << "lib/libVantileCtl.so"
             << "lib/libVantileCtl.so.1"
             << "lib/libVantileCtl.so.1.0.0";
    expected << "share/quorvane/help/chord.html"
             << "share/quorvane/help/chords.html";  // a page written at build time
    for (const QString& file : expected) {
        EXPECT_TRUE(QFileInfo::exists(At(file))) << file.toStdString();
    }
    EXPECT_TRUE(QFileInfo(At("bin/quorvane")).isExecutable());
    // The PNG icons are the sizes their folders name.
    for (int size : {16, 32, 48, 256}) {
        QFile png(At(QStringLiteral("share/icons/hicolor/%1x%1/apps/quorvane.png").arg(size)));
        ASSERT_TRUE(png.open(QIODevice::ReadOnly));
        const QByteArray head = png.read(24);
        ASSERT_EQ(head.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
        const auto be32 = [&](int at) {
            return (uchar(head[at]) << 24) | (uchar(head[at + 1]) << 16) |
                   (uchar(head[at + 2]) << 8) | uchar(head[at + 3]);
        };
        EXPECT_EQ(be32(16), size);
        EXPECT_EQ(be32(20), size);
    }
    // Nothing lands outside the prefix.
    const QStringList top = QDir(stage->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    EXPECT_EQ(top, QStringList{"usr"});
}

TEST_F(InstalledTreeTest, DesktopEntryAndMetadataAreValid) {
    const QString id = QStringLiteral(QUORVANE_APP_ID);
    QFile desktop(At("share/applications/" + id + ".desktop"));
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString entry = QString::fromUtf8(desktop.readAll());
    EXPECT_TRUE(entry.contains("\nExec=quorvane %F\n"));
    EXPECT_TRUE(entry.contains("\nMimeType=text/x-chordpro;audio/x-soundfont;\n"));
    EXPECT_TRUE(entry.contains("\nIcon=quorvane\n"));
    EXPECT_TRUE(
        entry.contains(QRegularExpression("\nCategories=(AudioVideo;)?Audio;Music;Education;\n")));

    const QString appstream = QStandardPaths::findExecutable("appstreamcli");
    ASSERT_FALSE(appstream.isEmpty()) << "appstream is needed (scripts/setup.sh)";
    const RunResult meta =
        RunTool(appstream, {"validate", "--no-net", At("share/metainfo/" + id + ".metainfo.xml")});
    EXPECT_TRUE(meta.finished && meta.exitCode == 0) << meta.output.toStdString();

    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    ASSERT_FALSE(validator.isEmpty()) << "desktop-file-utils is needed (scripts/setup.sh)";
    const RunResult check = RunTool(validator, {At("share/applications/" + id + ".desktop")});
    EXPECT_TRUE(check.finished && check.exitCode == 0) << check.output.toStdString();
    EXPECT_FALSE(check.output.contains("error")) << check.output.toStdString();
}

TEST_F(InstalledTreeTest, TheMimePackageNamesChordProSongsAndSoundFonts) {
    QTemporaryDir data;
    const QString id = QStringLiteral(QUORVANE_APP_ID);
    ASSERT_TRUE(QDir().mkpath(data.filePath("mime/packages")));
    ASSERT_TRUE(QFile::copy(At("share/mime/packages/" + id + ".xml"),
                            data.filePath("mime/packages/" + id + ".xml")));
    const RunResult update = RunTool("update-mime-database", {data.filePath("mime")});
    ASSERT_TRUE(update.finished && update.exitCode == 0) << update.output.toStdString();
    QFile globs(data.filePath("mime/globs2"));
    ASSERT_TRUE(globs.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString table = QString::fromUtf8(globs.readAll());
    for (const char* glob : {"*.cho", "*.chopro", "*.chordpro", "*.crd", "*.pro"}) {
        EXPECT_TRUE(table.contains(QStringLiteral(":text/x-chordpro:%1\n").arg(glob))) << glob;
    }
    EXPECT_TRUE(table.contains(":audio/x-soundfont:*.sf2\n")) << table.toStdString();
}

TEST_F(InstalledTreeTest, InstalledProgramResolvesItsLibrariesFromTheTree) {
    // Every shared library the program links is found, and it looks in ../lib first.
    const RunResult ldd = RunTool("ldd", {At("bin/quorvane")});
    ASSERT_TRUE(ldd.finished && ldd.exitCode == 0) << ldd.output.toStdString();
    EXPECT_FALSE(ldd.output.contains("not found")) << ldd.output.toStdString();
    const RunResult dynamic = RunTool("readelf", {"-d", At("bin/quorvane")});
    EXPECT_TRUE(dynamic.output.contains("[$ORIGIN/../lib]")) << dynamic.output.toStdString();

    // Started with an empty component registry, the program loads the control library that was
    // installed with it (the dynamic loader's trace names the file it opens).
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.path() + "/config");
    env.insert("XDG_CONFIG_DIRS", home.path() + "/xdg");
    env.insert("VANTILE_REGISTRY", home.path() + "/components.ini");
    env.insert("LD_DEBUG", "files");
    QProcess program;
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(At("bin/quorvane"), {});
    ASSERT_TRUE(program.waitForStarted(30000));
    const QString wanted = At("lib/libVantileCtl.so");
    QString trace;
    // The program waits in its start-up reminder; read until the library shows up or it ends.
    while (!trace.contains("calling init: " + wanted) && program.state() == QProcess::Running &&
           program.waitForReadyRead(30000)) {
        trace += QString::fromLocal8Bit(program.readAll());
    }
    trace += QString::fromLocal8Bit(program.readAll());
    program.kill();
    program.waitForFinished(30000);
    EXPECT_TRUE(trace.contains("calling init: " + wanted)) << trace.right(3000).toStdString();
}

TEST_F(InstalledTreeTest, NoBinaryLoadsLibrariesFromTheCurrentDirectory) {
    const QString build = QStringLiteral(QUORVANE_BINARY_DIR);
    const QStringList files = LinkedElfFiles(build) + LinkedElfFiles(prefix);
    QStringList expected{build + "/bin/quorvane", At("bin/quorvane"),
                         At("lib/quorvane/quorvane-regsvr")};
    expected << build + "/bin/libVantileCtl.so.1.0.0" << At("lib/libVantileCtl.so.1.0.0");
    for (const QString& file : expected) {
        EXPECT_TRUE(files.contains(file)) << file.toStdString() << " was not examined";
    }
    for (const QString& file : files) {
        const QStringList bad = EntriesFromTheCurrentDirectory(file);
        EXPECT_TRUE(bad.isEmpty()) << file.toStdString() << ": " << bad.join(", ").toStdString();
    }
}

TEST_F(InstalledTreeTest, RegistrationToolRegistersAndUnregistersTheControl) {
    // What the package's install scripts run, against a registry of the test's own.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString registry = dir.filePath("components.ini");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VANTILE_REGISTRY", registry);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    const QString tool = At("lib/quorvane/quorvane-regsvr");
    const QString library = At("lib/libVantileCtl.so.1");

    const RunResult reg = RunTool(tool, {library}, env);
    ASSERT_TRUE(reg.finished && reg.exitCode == 0) << reg.output.toStdString();
    QFile file(registry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString entries = QString::fromUtf8(file.readAll());
    file.close();
    EXPECT_TRUE(entries.contains("VantileCtl.Vantile")) << entries.toStdString();
    EXPECT_TRUE(entries.contains("InprocServer=" + library)) << entries.toStdString();

    const RunResult unreg = RunTool(tool, {"-u", library}, env);
    ASSERT_TRUE(unreg.finished && unreg.exitCode == 0) << unreg.output.toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    EXPECT_FALSE(QString::fromUtf8(file.readAll()).contains("VantileCtl.Vantile"));

    // A library that is not there is an error, not a silent success.
    const RunResult missing = RunTool(tool, {dir.filePath("libNothing.so")}, env);
    EXPECT_TRUE(missing.finished);
    EXPECT_NE(missing.exitCode, 0);
}

}  // namespace
