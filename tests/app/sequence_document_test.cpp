// The chord sequence's files through the program's dialogs: a saved sequence opens back whole,
// and a file that cannot be saved or opened is said and loses nothing.
#include "app/SequenceDocument.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "support/TestDesktop.h"
#include "theory/symbols.h"

namespace quorvane::app {
namespace {

using progressions::SequenceModel;

struct DocumentRig {
    DocumentRig()
        : document(
              model, desktop, [] { return nullptr; }, [] { return spelling; }, folder) {}
    static constexpr theory::Spelling spelling = theory::Spelling::ByChord;
    quorvane::testing::TestDesktop desktop;
    QString folder;
    SequenceModel model;
    SequenceDocument document;
};

TEST(SequenceDocument, ASavedSequenceOpensBackWithItsSettings) {
    QTemporaryDir dir;
    DocumentRig saved;
    saved.model.Insert(theory::ReadChordSymbols("| Eb | Cm7 | C7alt | Bb7/F | Ab |").cells);
    saved.model.SetTempo(132);
    saved.model.SetBeatsPerChord(2);
    saved.model.SetVoicing(theory::Voicing::Smooth);
    saved.desktop.saveAs = dir.filePath(QStringLiteral("song.cho"));
    ASSERT_TRUE(saved.document.Save());
    EXPECT_FALSE(saved.model.Modified());

    DocumentRig opened;
    ASSERT_TRUE(opened.document.OpenFile(saved.desktop.saveAs));
    EXPECT_EQ(opened.model.Cells(), saved.model.Cells());
    EXPECT_EQ(opened.model.Tempo(), 132);
    EXPECT_EQ(opened.model.BeatsPerChord(), 2);
    EXPECT_EQ(opened.model.Voicing(), theory::Voicing::Smooth);
    EXPECT_EQ(opened.model.Key(), saved.model.Key());
    EXPECT_EQ(opened.model.FilePath(), saved.desktop.saveAs);
    EXPECT_FALSE(opened.model.Modified());
    EXPECT_TRUE(opened.desktop.messages.empty());
}

TEST(SequenceDocument, AFileThatCannotBeSavedOrOpenedIsSaidAndLosesNothing) {
    QTemporaryDir dir;
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QFile file(dir.filePath(QLatin1String(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    const std::vector<std::pair<QString, QString>> files{
        {dir.filePath(QStringLiteral("missing.cho")), QStringLiteral("cannot be read")},
        {write("big.cho", QByteArray(1024 * 1024 + 1, 'C')), QStringLiteral("over 1 MB")},
        {write("line.cho", "{title: x}\n" + QByteArray(64 * 1024 + 1, 'C')),
         QStringLiteral("Line 2")},
        {write("many.cho", QByteArray("C ").repeated(513)), QStringLiteral("at most 512")},
    };
    for (const auto& [path, why] : files) {
        SCOPED_TRACE(path.toStdString());
        DocumentRig rig;
        rig.model.AddChord({0, 0, 0});
        rig.desktop.saveChoice = mainwin::Desktop::SaveChoice::Discard;
        const progressions::SequenceCells before = rig.model.Cells();
        EXPECT_FALSE(rig.document.OpenFile(path));
        EXPECT_EQ(rig.model.Cells(), before);
        ASSERT_EQ(rig.desktop.messages.size(), 1U);
        EXPECT_TRUE(rig.desktop.messages[0].contains(path));
        EXPECT_TRUE(rig.desktop.messageDetails[0].contains(why))
            << rig.desktop.messageDetails[0].toStdString();
    }
    DocumentRig rig;
    rig.model.AddChord({0, 0, 0});
    rig.desktop.saveAs = dir.filePath(QStringLiteral("no/such/folder/song.cho"));
    EXPECT_FALSE(rig.document.Save());
    EXPECT_EQ(rig.desktop.messages.size(), 1U);
    EXPECT_TRUE(rig.model.Modified());
}

}  // namespace
}  // namespace quorvane::app
