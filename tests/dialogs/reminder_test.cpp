#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

#include "dialogs/ReminderArrangement.h"
#include "dialogs/frmMoney.h"
#include "views/Twips.h"

namespace quorvane::dialogs {
namespace {

struct ArrangementCase {
    bool closing;
    float draw;
    int k, ok, cancel, web;
};

TEST(ArrangeReminder, EachDrawPicksItsRotation) {
    const std::vector<ArrangementCase> cases{
        {false, 0.0f, 1, 600, 1680, 2760},  {false, 0.3333f, 1, 600, 1680, 2760},
        {false, 0.34f, 2, 1680, 2760, 600}, {false, 0.6666f, 2, 1680, 2760, 600},
        {false, 0.67f, 3, 2760, 600, 1680}, {false, 0.99999994f, 3, 2760, 600, 1680},
        {true, 0.0f, 1, 960, -1, 2280},     {true, 0.4999f, 1, 960, -1, 2280},
        {true, 0.5f, 2, 2280, -1, 960},     {true, 0.99999994f, 2, 2280, -1, 960},
    };
    for (const ArrangementCase& c : cases) {
        const ReminderArrangement a = ArrangeReminder(c.closing, c.draw);
        SCOPED_TRACE(testing::Message() << "closing " << c.closing << " draw " << c.draw);
        EXPECT_EQ(a.k, c.k);
        EXPECT_EQ(a.okLeft, c.ok);
        EXPECT_EQ(a.webSiteLeft, c.web);
        EXPECT_EQ(a.cancelVisible, !c.closing);
        if (!c.closing) {
            EXPECT_EQ(a.cancelLeft, c.cancel);
        }
        EXPECT_EQ(a.defaultButton, c.closing ? ReminderButton::WebSite : ReminderButton::Cancel);
    }
}

TEST(ArrangeReminder, DrawsOutsideTheRangeStillGiveAnArrangement) {
    EXPECT_EQ(ArrangeReminder(false, 1.0f).k, 3);
    EXPECT_EQ(ArrangeReminder(false, -0.5f).k, 1);
    EXPECT_EQ(ArrangeReminder(true, 1.0f).k, 2);
}

TEST(ClockSeededDraw, StaysBelowOne) {
    for (int i = 0; i < 1000; ++i) {
        const float r = ClockSeededDraw();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
    }
}

// Runs `action` on the reminder once its modal loop is running.
void WhenShown(frmMoney& dialog, std::function<void()> action) {
    auto* timer = new QTimer(&dialog);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, &dialog, [timer, &dialog, action] {
        if (dialog.isVisible() && QApplication::activeModalWidget() == &dialog) {
            timer->stop();
            timer->deleteLater();
            action();
        }
    });
    timer->start();
}

class ReminderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QObject::connect(&dialog, &frmMoney::exitRequested, [this] {
            ++shutDowns;
            visibleAtShutDown = dialog.OnScreen();
        });
        QObject::connect(&dialog, &frmMoney::webSiteRequested, [this] {
            ++pagesOpened;
            visibleAtPageOpen = dialog.isVisible();
        });
    }
    int LeftOf(QPushButton* b) const { return b->geometry().x(); }

    frmMoney dialog;
    float draw = 0.0f;
    int shutDowns = 0;
    int pagesOpened = 0;
    bool visibleAtShutDown = false;
    bool visibleAtPageOpen = true;
};

TEST_F(ReminderTest, WindowAndTexts) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Velmira"));
    EXPECT_EQ(dialog.size(), QSize(275, 267));
    EXPECT_EQ(dialog.Label(1)->text(),
              QStringLiteral("Remember to visit our website for information on the latest "
                             "release of Quorvane and other software."));
    EXPECT_TRUE(dialog.Label(1)->wordWrap());
    EXPECT_EQ(dialog.Label(2)->text(), QStringLiteral("Brackenfold Ltd."));
    EXPECT_EQ(dialog.cmdOK()->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog.cmdCancel()->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(dialog.cmdWebSite()->text(), QStringLiteral("WWW"));
    EXPECT_TRUE(dialog.cmdCancel()->isDefault());
    for (QPushButton* b : {dialog.cmdOK(), dialog.cmdCancel(), dialog.cmdWebSite()}) {
        EXPECT_EQ(b->geometry().y(), 224);
        EXPECT_EQ(b->size(), QSize(57, 25));
    }
    // Every label's text fits its box.
    for (int n : {1, 2, 5, 6, 8}) {
        QLabel* l = dialog.Label(n);
        const QRect needed = l->fontMetrics().boundingRect(l->rect(), Qt::TextWordWrap, l->text());
        EXPECT_LE(needed.width(), l->width()) << n;
    }
}

TEST_F(ReminderTest, LoadPlacesTheButtonsForEachDrawInBothModes) {
    for (const bool closing : {false, true}) {
        for (const float r : {0.1f, 0.5f, 0.9f}) {
            draw = r;
            dialog.bClosing = closing;
            dialog.Form_Load(draw);
            const ReminderArrangement a = ArrangeReminder(closing, r);
            EXPECT_EQ(LeftOf(dialog.cmdOK()), views::TwipsToPixels(a.okLeft));
            EXPECT_EQ(LeftOf(dialog.cmdWebSite()), views::TwipsToPixels(a.webSiteLeft));
            EXPECT_EQ(dialog.cmdCancel()->isVisibleTo(&dialog), !closing);
            if (!closing) {
                EXPECT_EQ(LeftOf(dialog.cmdCancel()), views::TwipsToPixels(a.cancelLeft));
            }
            EXPECT_EQ(dialog.cmdCancel()->isDefault(), !closing);
            EXPECT_EQ(dialog.cmdWebSite()->isDefault(), closing);
            EXPECT_FALSE(dialog.cmdOK()->isDefault());
        }
    }
}

struct KeyCase {
    bool closing;
    Qt::Key key;
    frmMoney::Outcome outcome;
    int shutDowns;
    int pages;
};

TEST_F(ReminderTest, EnterAndEscInBothModes) {
    const std::vector<KeyCase> cases{
        {false, Qt::Key_Return, frmMoney::Outcome::Cancel, 1, 0},
        {false, Qt::Key_Escape, frmMoney::Outcome::Cancel, 1, 0},
        {true, Qt::Key_Return, frmMoney::Outcome::WebSite, 0, 1},
        {true, Qt::Key_Escape, frmMoney::Outcome::OK, 0, 0},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "closing " << c.closing << " key " << c.key);
        shutDowns = pagesOpened = 0;
        dialog.bClosing = c.closing;
        WhenShown(dialog, [&] { QTest::keyClick(&dialog, c.key); });
        EXPECT_EQ(dialog.ShowModal(draw), c.outcome);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(shutDowns, c.shutDowns);
        EXPECT_EQ(pagesOpened, c.pages);
    }
    // Cancel's ShutDown runs while the dialog is still on screen, so it is not shown again.
    dialog.bClosing = false;
    WhenShown(dialog, [&] { dialog.cmdCancel()->click(); });
    dialog.ShowModal(draw);
    EXPECT_TRUE(visibleAtShutDown);
}

TEST_F(ReminderTest, OkAndWwwLetTheCallerContinue) {
    for (const bool closing : {false, true}) {
        dialog.bClosing = closing;
        WhenShown(dialog, [&] { dialog.cmdOK()->click(); });
        EXPECT_EQ(dialog.ShowModal(draw), frmMoney::Outcome::OK);
        WhenShown(dialog, [&] { dialog.cmdWebSite()->click(); });
        EXPECT_EQ(dialog.ShowModal(draw), frmMoney::Outcome::WebSite);
    }
    EXPECT_EQ(shutDowns, 0);
    EXPECT_EQ(pagesOpened, 2);
    EXPECT_FALSE(visibleAtPageOpen) << "the dialog closes before the page opens";
}

TEST_F(ReminderTest, FocusGoesToCancelAtStartAndToWwwWhenClosing) {
    for (const bool closing : {false, true}) {
        dialog.bClosing = closing;
        QWidget* focused = nullptr;
        WhenShown(dialog, [&] {
            focused = dialog.focusWidget();
            dialog.cmdOK()->click();
        });
        dialog.ShowModal(draw);
        EXPECT_EQ(focused, closing ? static_cast<QWidget*>(dialog.cmdWebSite())
                                   : static_cast<QWidget*>(dialog.cmdCancel()));
    }
}

}  // namespace
}  // namespace quorvane::dialogs
