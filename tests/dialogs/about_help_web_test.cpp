#include <gtest/gtest.h>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <set>
#include <vector>

#include "dialogs/HelpViewer.h"
#include "dialogs/WebLinks.h"
#include "dialogs/frmAbout.h"

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

TEST(WebLinks, AddressesAndTheOpenerReceivesThem) {
    EXPECT_EQ(HomePageAddress(), QStringLiteral("http://www.brackenfold.example/index.htm"));
    EXPECT_EQ(UpdatesPageAddress(),
              QStringLiteral("http://www.brackenfold.example/chord_frameset.htm"));
    std::vector<QUrl> opened;
    const WebOpener opener = [&](const QUrl& url) {
        opened.push_back(url);
        return false;  // no handler: nothing is reported
    };
    OpenWebPage(UpdatesPageAddress(), opener);
    OpenWebPage(HomePageAddress(), opener);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].host(), QStringLiteral("www.brackenfold.example"));
    EXPECT_EQ(opened[0].path(), QStringLiteral("/chord_frameset.htm"));
    EXPECT_EQ(opened[1].path(), QStringLiteral("/index.htm"));
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
    for (const char* page : {"start.html", "main.html", "menus.html", "progressions.html",
                             "midi.html", "dialogs.html"}) {
        EXPECT_TRUE(seen.count(QString::fromLatin1(page))) << page;
    }
}

TEST(Help, AMissingHelpFileIsReportedByTheViewer) {
    QWidget owner;
    auto* help = new HelpViewer(&owner, QUrl(QStringLiteral("qrc:/help/missing.html")));
    help->ShowContents();
    EXPECT_FALSE(help->ContentsFound());
    EXPECT_TRUE(help->Browser()->toPlainText().contains(QStringLiteral("missing.html")));
}

}  // namespace
}  // namespace quorvane::dialogs
