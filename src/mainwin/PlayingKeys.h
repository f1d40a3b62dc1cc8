#pragma once
// While notes are picked, the computer keys a window's controls would take as typing go to the
// program instead, wherever the focus is in that window: each press and release with its place
// (scan code) and character. Keys with Ctrl or Alt, Tab, the arrows, Home, End, Page Up, Page
// Down, the function keys, Return and Space keep their meaning; Escape asks for the picks to be
// emptied; auto-repeat is swallowed. A key that went down as a note comes up as a note, whatever
// modifiers are held by then. The window losing the focus asks for the held keys to go.

#include <QEvent>
#include <QObject>
#include <functional>
#include <map>

class QKeyEvent;
class QWidget;

namespace quorvane::mainwin {

class PlayingKeys final : public QObject {
  public:
    struct Handlers {
        std::function<void(quint32 scanCode, int character)> down;
        std::function<void(quint32 scanCode, int character)> up;
        std::function<void()> escape;
        std::function<void()> focusLost;
    };
    PlayingKeys(QWidget* window, Handlers handlers);
    ~PlayingKeys() override;
    PlayingKeys(const PlayingKeys&) = delete;
    PlayingKeys& operator=(const PlayingKeys&) = delete;

    void SetOn(bool on);
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // True when the event went to the program.
    bool Key(QEvent::Type type, const QKeyEvent& key);
    // Where the window system gives no scan code (0), the Qt key code tells keys apart.
    static int Place(const QKeyEvent& key);

    QWidget* window_;
    Handlers handlers_;
    bool on_ = false;
    // The keys down as notes: place -> the character they went down with.
    std::map<int, int> down_;
};

}  // namespace quorvane::mainwin
