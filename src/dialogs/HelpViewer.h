#pragma once
// HelpViewer: the program's own help window. It shows the help document bundled with the
// program, opened at its contents page, and follows the links between its pages.

#include <QUrl>
#include <QWidget>

class QLineEdit;
class QPushButton;
class QTextBrowser;

namespace quorvane::dialogs {

// The help document's contents page inside the program's resources.
inline constexpr const char* kHelpContents = "qrc:/help/chord.html";

class HelpViewer : public QWidget {
    Q_OBJECT
  public:
    // `owner` is the window the help belongs to: it stays in front of it and closes with it.
    explicit HelpViewer(QWidget* owner,
                        const QUrl& contents = QUrl(QString::fromLatin1(kHelpContents)));

    // Opens the help at its contents page and brings it to the front.
    void ShowContents();
    // Opens the help at `topic`, a page of the help ("sequence.html", "main.html#play"), and
    // brings it to the front.
    void ShowTopic(const QString& topic);
    // Shows the pages that hold every one of `words`, as links.
    void ShowSearch(const QString& words);

    QTextBrowser* Browser() const { return browser_; }
    // Closes (hides) the viewer: a dialog window may have no title bar of its own under some
    // window managers. Esc does the same.
    QPushButton* cmdClose() const { return cmdClose_; }
    QLineEdit* txtSearch() const { return txtSearch_; }
    // False when the help document could not be found (the viewer then says so itself).
    bool ContentsFound() const { return found_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void ShowPage(const QUrl& page);
    void BringToFront();

    QUrl contents_;
    QTextBrowser* browser_ = nullptr;
    QPushButton* cmdContents_ = nullptr;
    QPushButton* cmdBack_ = nullptr;
    QPushButton* cmdForward_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
    QLineEdit* txtSearch_ = nullptr;
    bool found_ = false;
};

}  // namespace quorvane::dialogs
