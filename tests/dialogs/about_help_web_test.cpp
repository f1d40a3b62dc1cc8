#include <gtest/gtest.h>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QTimer>
#include <QUrl>

#include <set>
#include <vector>

#include "dialogs/HelpKeys.h"
#include "dialogs/HelpSearch.h"
#include "dialogs/HelpViewer.h"
#include "dialogs/WebLinks.h"
#include "dialogs/frmAbout.h"
#include "theory/theory.h"

namespace quorvane::dialogs {
namespace {

TEST(About, WindowControlsAndOkOnlyHides) {
    QWidget owner;
    auto* about = new frmAbout(&owner);
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About Quorvane"));
    EXPECT_EQ(about->size(), QSize(429, 165));
    EXPECT_EQ(about->Label(1)->text(), QStringLiteral("Velmira Version 2.0"));
    EXPECT_EQ(about->Command1()->text(), QStringLiteral("OK"));
    EXPECT_EQ(about->Picture1()->pixmap().size(), QSize(32, 32));
    EXPECT_EQ(about->Command1()->geometry(), QRect(360, 16, 57, 25));
    QTimer::singleShot(0, about, [about] { about->Command1()->click(); });
    about->ShowModal();
    EXPECT_TRUE(about->isHidden());
    EXPECT_EQ(about->parent(), &owner) << "hidden, not destroyed";
}

// What the desktop's handler is given: the program passes these addresses on (its Help menu and
// the reminder's "WWW" are tested with the program).
TEST(WebLinks, AddressesAreWholeUrlsOnTheMakersServer) {
    EXPECT_EQ(HomePageAddress(), QStringLiteral("http://www.brackenfold.example/index.htm"));
    EXPECT_EQ(UpdatesPageAddress(),
              QStringLiteral("http://www.brackenfold.example/chord_frameset.htm"));
    const QUrl updates(UpdatesPageAddress());
    const QUrl home(HomePageAddress());
    for (const QUrl& url : {updates, home}) {
        EXPECT_TRUE(url.isValid());
        EXPECT_EQ(url.scheme(), QStringLiteral("http"));
        EXPECT_EQ(url.host(), QStringLiteral("www.brackenfold.example"));
    }
    EXPECT_EQ(updates.path(), QStringLiteral("/chord_frameset.htm"));
    EXPECT_EQ(home.path(), QStringLiteral("/index.htm"));
}

TEST(Help, OpensAtTheContentsPageOwnedByItsWindow) {
    QWidget owner;
    auto* help = new HelpViewer(&owner);
    help->ShowContents();
    EXPECT_TRUE(help->ContentsFound());
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->parentWidget(), &owner);
    EXPECT_TRUE(help->isWindow());
    EXPECT_EQ(help->Browser()->source(), QUrl(QString::fromLatin1(kHelpContents)));
    EXPECT_TRUE(help->Browser()->toPlainText().contains(QStringLiteral("Contents")));
    // It closes from inside too (a window manager may give a dialog no title bar).
    help->cmdClose()->click();
    EXPECT_FALSE(help->isVisible());
    help->ShowContents();
    QTest::keyClick(help->Browser(), Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
}

TEST(Help, EveryLinkOfTheHelpLeadsToAPageOfIt) {
    // Walk the pages from the contents page; every linked page and anchor must exist.
    std::set<QString> seen;
    std::vector<QString> pending{QStringLiteral("chord.html")};
    while (!pending.empty()) {
        const QString page = pending.back();
        pending.pop_back();
        if (!seen.insert(page).second) {
            continue;
        }
        QFile file(QStringLiteral(":/help/") + page);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << page.toStdString();
        const QString html = QString::fromUtf8(file.readAll());
        static const QRegularExpression link(QStringLiteral("href=\"([^\"#]*)(#([^\"]*))?\""));
        for (auto it = link.globalMatch(html); it.hasNext();) {
            const auto m = it.next();
            const QString target = m.captured(1).isEmpty() ? page : m.captured(1);
            if (!m.captured(3).isEmpty()) {
                QFile targetFile(QStringLiteral(":/help/") + target);
                ASSERT_TRUE(targetFile.open(QIODevice::ReadOnly)) << target.toStdString();
                EXPECT_TRUE(QString::fromUtf8(targetFile.readAll())
                                .contains(QStringLiteral("name=\"%1\"").arg(m.captured(3))))
                    << target.toStdString() << "#" << m.captured(3).toStdString();
            }
            pending.push_back(target);
        }
    }
    // The windows and menus all have their page.
    for (const char* page :
         {"start.html", "main.html", "menus.html", "progressions.html", "midi.html", "dialogs.html",
          "chords.html", "scales.html", "numbers.html", "held.html", "playas.html", "export.html",
          "spelling.html", "picknotes.html", "sequence.html", "fretboard.html", "soundfont.html",
          "commandline.html", "index.html"}) {
        EXPECT_TRUE(seen.count(QString::fromLatin1(page))) << page;
    }
}

// The cells of the first table of a help page, row by row, as the help viewer shows them.
std::vector<QStringList> FirstTableOf(const QString& page) {
    QTextBrowser browser;
    browser.setSource(QUrl(QStringLiteral("qrc:/help/") + page));
    std::vector<QStringList> rows;
    for (QTextFrame* frame : browser.document()->rootFrame()->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(frame)) {
            for (int r = 0; r < table->rows(); ++r) {
                QStringList cells;
                for (int c = 0; c < table->columns(); ++c) {
                    QTextCursor cursor = table->cellAt(r, c).firstCursorPosition();
                    cursor.setPosition(table->cellAt(r, c).lastPosition(), QTextCursor::KeepAnchor);
                    cells << cursor.selectedText();
                }
                rows.push_back(cells);
            }
            break;
        }
    }
    return rows;
}

TEST(HelpReference, ChordAndScaleFormulasAgreeWithTheCatalogue) {
    struct Entry {
        std::string_view name;
        std::string_view intervals;
    };
    std::vector<Entry> chords;
    std::vector<Entry> scales;
    for (const auto& c : theory::ChordTypes) {
        chords.push_back({c.name, c.intervals});
    }
    for (const auto& s : theory::Scales) {
        scales.push_back({s.name, s.intervals});
    }
    struct Case {
        const char* page;
        const std::vector<Entry>& catalogue;
        QStringList header;
    };
    const Case cases[] = {
        {"chords.html", chords, {"Chord type", "Degrees", "Semitones", "On C"}},
        {"scales.html", scales, {"Scale", "Steps", "Degrees", "Semitones"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        const std::vector<QStringList> rows = FirstTableOf(QString::fromLatin1(c.page));
        ASSERT_EQ(rows.size(), c.catalogue.size() + 1) << "a header and one row per entry";
        ASSERT_EQ(rows[0], c.header);
        for (std::size_t i = 0; i < c.catalogue.size(); ++i) {
            const QStringList& row = rows[i + 1];
            const Entry& entry = c.catalogue[i];
            SCOPED_TRACE(entry.name);
            EXPECT_EQ(row[0].toStdString(), entry.name);
            const std::vector<int> semitones = *theory::ReadIntervals(entry.intervals);
            QStringList numbers;
            QStringList degrees;
            QStringList steps;
            QStringList notes;
            for (std::size_t n = 0; n < semitones.size(); ++n) {
                numbers << QString::number(semitones[n]);
                degrees << QString::fromLatin1(theory::IntervalLabels[semitones[n] % 24]);
                notes << QString::fromLatin1(theory::NoteName(semitones[n]));
                if (n > 0) {
                    steps << QString::number(semitones[n] - semitones[n - 1]);
                }
            }
            const std::pair<const char*, QString> expected[] = {{"Degrees", degrees.join(' ')},
                                                                {"Semitones", numbers.join(' ')},
                                                                {"Steps", steps.join('-')},
                                                                {"On C", notes.join(' ')}};
            for (const auto& [title, text] : expected) {
                const qsizetype at = c.header.indexOf(QString::fromLatin1(title));
                if (at >= 0) {
                    EXPECT_EQ(row[at], text) << title;
                }
            }
        }
    }
}

TEST(HelpReference, EveryNumbersCaptionIsExplained) {
    const std::vector<QStringList> rows = FirstTableOf(QStringLiteral("numbers.html"));
    ASSERT_EQ(rows.size(), theory::IntervalLabels.size() + 1);
    for (std::size_t d = 0; d < theory::IntervalLabels.size(); ++d) {
        const QStringList& row = rows[d + 1];
        EXPECT_EQ(row[0], QString::number(d));
        EXPECT_EQ(row[1].toStdString(), theory::IntervalLabels[d]);
        EXPECT_FALSE(row[2].isEmpty()) << "the interval's name, for " << d;
    }
}

TEST(Help, FilePrintIsDescribedAsPrintingTheChordSheet) {
    QFile file(QStringLiteral(":/help/menus.html"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(html.contains(QStringLiteral("prints the chord sheet")));
    EXPECT_FALSE(html.contains(QStringLiteral("it prints nothing")));
}

TEST(Help, AMissingHelpFileIsReportedByTheViewer) {
    QWidget owner;
    auto* help = new HelpViewer(&owner, QUrl(QStringLiteral("qrc:/help/missing.html")));
    help->ShowContents();
    EXPECT_FALSE(help->ContentsFound());
    EXPECT_TRUE(help->Browser()->toPlainText().contains(QStringLiteral("missing.html")));
}

TEST(Help, SearchFindsEachTopicByItsWordsFirst) {
    // "words=page": the page the words find first.
    for (const char* item :
         {"arpeggio=playas", "FLATS=spelling", "computer keyboard=picknotes", "ChordPro=sequence",
          "capo=fretboard", "FluidR3=soundfont", "sustain pedal=held", "drag DAW=export"}) {
        const QStringList parts = QString::fromLatin1(item).split('=');
        const QList<HelpHit> hits = SearchHelp(QStringLiteral(":/help"), parts[0]);
        ASSERT_FALSE(hits.isEmpty()) << item;
        EXPECT_EQ(hits.front().page, parts[1] + ".html") << item;
    }
    // Words are matched in the text a reader sees, never in the markup.
    EXPECT_TRUE(SearchHelp(QStringLiteral(":/help"), QStringLiteral("href bgcolor")).isEmpty());

    QWidget owner;
    auto* help = new HelpViewer(&owner);
    help->txtSearch()->setText(QStringLiteral("arpeggio strum"));
    QTest::keyClick(help->txtSearch(), Qt::Key_Return);
    EXPECT_TRUE(help->isVisible() &&
                help->Browser()->toHtml().contains(QStringLiteral("qrc:/help/playas.html")));
    help->ShowTopic(QStringLiteral("picknotes.html#keys"));
    EXPECT_EQ(help->Browser()->source(), QUrl(QStringLiteral("qrc:/help/picknotes.html#keys")));
}

TEST(HelpKeys, F1AsksForTheTopicOfTheWindowItIsPressedIn) {
    HelpKeys keys;
    keys.Add<QDialog>("dialog.html");
    keys.Add<QMessageBox>("box.html");
    const QSignalSpy asked(&keys, &HelpKeys::topicRequested);
    QDialog dialog;
    auto* field = new QLineEdit(&dialog);
    QMessageBox box;
    QWidget other;
    QTest::keyClick(field, Qt::Key_F1);
    QTest::keyClick(&box, Qt::Key_F1);
    QTest::keyClick(&other, Qt::Key_F1);
    QTest::keyClick(field, Qt::Key_F1, Qt::ShiftModifier);
    ASSERT_EQ(asked.count(), 2);
    EXPECT_EQ(asked.at(0).at(0).toString(), QStringLiteral("dialog.html"));
    EXPECT_EQ(asked.at(1).at(0).toString(), QStringLiteral("box.html")) << "the nearer class";
}

}  // namespace
}  // namespace quorvane::dialogs
