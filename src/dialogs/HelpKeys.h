#pragma once
// HelpKeys: F1 in any window of the program asks for that window's help topic. A window class
// is given its topic once (Add<frmChordSequence>("sequence.html")); F1 pressed anywhere inside a
// window of that class (or of a class derived from it) then emits topicRequested, whichever
// child has the focus and whenever the window was made.

#include <QObject>
#include <QString>
#include <vector>

class QWidget;

namespace quorvane::dialogs {

// The help's pages for the program's windows, as F1 opens them.
inline constexpr const char* kMainWindowTopic = "main.html";
inline constexpr const char* kProgressionsTopic = "progressions.html";
inline constexpr const char* kMidiSettingsTopic = "midi.html";
inline constexpr const char* kSequenceTopic = "sequence.html";
inline constexpr const char* kFretboardTopic = "fretboard.html";

class HelpKeys final : public QObject {
    Q_OBJECT
  public:
    // Watches the key presses of the whole application while it lives.
    HelpKeys();
    ~HelpKeys() override;
    HelpKeys(const HelpKeys&) = delete;
    HelpKeys& operator=(const HelpKeys&) = delete;

    template <class Window>
    void Add(const char* topic) {
        Add(Window::staticMetaObject, QString::fromLatin1(topic));
    }
    void Add(const QMetaObject& windowClass, const QString& topic);
    // The topic of the window `widget` lies in; empty when its class has none.
    QString TopicOf(const QWidget* widget) const;

  signals:
    void topicRequested(const QString& topic);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Entry {
        const QMetaObject* windowClass;
        QString topic;
    };
    std::vector<Entry> topics_;
};

}  // namespace quorvane::dialogs
