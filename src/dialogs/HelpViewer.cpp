#include "dialogs/HelpViewer.h"

#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "dialogs/DialogLook.h"
#include "dialogs/HelpSearch.h"

namespace quorvane::dialogs {

namespace {

bool Exists(const QUrl& url) {
    if (url.scheme() == QLatin1String("qrc")) {
        return QFile::exists(QLatin1Char(':') + url.path());
    }
    return url.isLocalFile() && QFile::exists(url.toLocalFile());
}

// The folder a help address lies in, as a path QDir reads.
QString LocalFolder(const QUrl& folder) {
    return folder.scheme() == QLatin1String("qrc") ? QLatin1Char(':') + folder.path()
                                                   : folder.toLocalFile();
}

}  // namespace

HelpViewer::HelpViewer(QWidget* owner, const QUrl& contents)
    // A dialog window: the window system keeps it with its owner (Qt tells it the owner only
    // for dialog-like windows); it can still be minimised, maximised and resized.
    : QWidget(owner, Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      contents_(contents) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Quorvane Help"));
    setWindowIcon(ProgramIcon());
    resize(640, 560);  // wide enough for the reference tables

    cmdContents_ = new QPushButton(QStringLiteral("&Contents"), this);
    cmdBack_ = new QPushButton(QStringLiteral("&Back"), this);
    cmdForward_ = new QPushButton(QStringLiteral("&Forward"), this);
    cmdClose_ = new QPushButton(QStringLiteral("C&lose"), this);
    txtSearch_ = new QLineEdit(this);
    txtSearch_->setAccessibleName(QStringLiteral("Search"));
    txtSearch_->setPlaceholderText(QStringLiteral("words, then Enter"));
    txtSearch_->setClearButtonEnabled(true);
    auto* lblSearch = new QLabel(QStringLiteral("&Search:"), this);
    lblSearch->setBuddy(txtSearch_);
    browser_ = new QTextBrowser(this);
    browser_->setAccessibleName(QStringLiteral("Help"));
    browser_->setOpenExternalLinks(false);
    browser_->setOpenLinks(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdContents_);
    buttons->addWidget(cmdBack_);
    buttons->addWidget(cmdForward_);
    buttons->addStretch(1);
    buttons->addWidget(lblSearch);
    buttons->addWidget(txtSearch_, 1);
    buttons->addWidget(cmdClose_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_, 1);

    cmdBack_->setEnabled(false);
    cmdForward_->setEnabled(false);
    connect(cmdContents_, &QPushButton::clicked, this, &HelpViewer::ShowContents);
    connect(cmdBack_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(cmdForward_, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(cmdClose_, &QPushButton::clicked, this, &QWidget::close);
    connect(txtSearch_, &QLineEdit::returnPressed, this,
            [this] { ShowSearch(txtSearch_->text()); });
    connect(browser_, &QTextBrowser::backwardAvailable, cmdBack_, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, cmdForward_, &QPushButton::setEnabled);
}

void HelpViewer::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void HelpViewer::ShowContents() {
    ShowPage(contents_);
}

void HelpViewer::ShowTopic(const QString& topic) {
    ShowPage(contents_.resolved(QUrl(topic)));
}

void HelpViewer::ShowPage(const QUrl& page) {
    QUrl file = page;
    file.setFragment(QString());
    found_ = Exists(file);
    if (found_) {
        browser_->setSource(page);
    } else {
        browser_->setHtml(QStringLiteral("<h3>Help is not available</h3><p>The help file "
                                         "<b>%1</b> could not be found.</p>")
                              .arg(file.fileName().toHtmlEscaped()));
    }
    BringToFront();
}

void HelpViewer::ShowSearch(const QString& words) {
    const QUrl folder = contents_.resolved(QUrl(QStringLiteral(".")));
    QString address = folder.toString();
    address.chop(1);  // the trailing "/"
    browser_->setHtml(SearchResultsHtml(address, words, SearchHelp(LocalFolder(folder), words)));
    BringToFront();
}

void HelpViewer::BringToFront() {
    show();
    if (isMinimized()) {
        showNormal();
    }
    raise();
    activateWindow();
}

}  // namespace quorvane::dialogs
