#include "mainwin/PlayingKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace quorvane::mainwin {

namespace {

bool KeepsItsMeaning(const QKeyEvent& key) {
    if ((key.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) != 0) {
        return true;
    }
    const int code = key.key();
    switch (code) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            return true;
        default:
            break;
    }
    if (code >= Qt::Key_F1 && code <= Qt::Key_F35) {
        return true;
    }
    // Typing keys are the program's: letters, digits and whatever prints a character.
    const bool letterOrDigit =
        (code >= Qt::Key_A && code <= Qt::Key_Z) || (code >= Qt::Key_0 && code <= Qt::Key_9);
    const QString text = key.text();
    const bool prints = !text.isEmpty() && text.at(0).isPrint() && !text.at(0).isSpace();
    return !letterOrDigit && !prints;
}

}  // namespace

PlayingKeys::PlayingKeys(QWidget* window, Handlers handlers)
    : QObject(window), window_(window), handlers_(std::move(handlers)) {
    // The application sees a key before whichever control of the window has the focus.
    qApp->installEventFilter(this);
}

PlayingKeys::~PlayingKeys() {
    qApp->removeEventFilter(this);
}

void PlayingKeys::SetOn(bool on) {
    on_ = on;
    down_.clear();
}

int PlayingKeys::Place(const QKeyEvent& key) {
    return key.nativeScanCode() != 0 ? static_cast<int>(key.nativeScanCode()) : -key.key();
}

bool PlayingKeys::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == window_ && type == QEvent::WindowDeactivate) {
        down_.clear();
        handlers_.focusLost();
        return false;
    }
    if (!on_ || (type != QEvent::KeyPress && type != QEvent::KeyRelease) ||
        !watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != window_) {
        return false;
    }
    return Key(type, *static_cast<QKeyEvent*>(event));
}

bool PlayingKeys::Key(QEvent::Type type, const QKeyEvent& key) {
    if (key.key() == Qt::Key_Escape &&
        (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0) {
        if (type == QEvent::KeyPress) {
            handlers_.escape();
        }
        return true;
    }
    if (key.isAutoRepeat()) {
        return !KeepsItsMeaning(key);
    }
    // Released with Ctrl or Alt down, a note still ends, with the character it began with.
    if (type == QEvent::KeyRelease) {
        if (const auto it = down_.find(Place(key)); it != down_.end()) {
            const int character = it->second;
            down_.erase(it);
            handlers_.up(key.nativeScanCode(), character);
            return true;
        }
    }
    if (KeepsItsMeaning(key)) {
        return false;
    }
    if (type == QEvent::KeyPress) {
        down_[Place(key)] = key.key();
        handlers_.down(key.nativeScanCode(), key.key());
    } else {
        handlers_.up(key.nativeScanCode(), key.key());
    }
    return true;
}

}  // namespace quorvane::mainwin
