#include "dialogs/HelpKeys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace quorvane::dialogs {

HelpKeys::HelpKeys() {
    QCoreApplication::instance()->installEventFilter(this);
}

HelpKeys::~HelpKeys() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeEventFilter(this);
    }
}

void HelpKeys::Add(const QMetaObject& windowClass, const QString& topic) {
    topics_.push_back({&windowClass, topic});
}

QString HelpKeys::TopicOf(const QWidget* widget) const {
    const QWidget* window = widget != nullptr ? widget->window() : nullptr;
    if (window == nullptr) {
        return {};
    }
    // The most derived class that has a topic: a window derived from another keeps its own.
    for (const QMetaObject* meta = window->metaObject(); meta != nullptr;
         meta = meta->superClass()) {
        for (const Entry& entry : topics_) {
            if (entry.windowClass == meta) {
                return entry.topic;
            }
        }
    }
    return {};
}

bool HelpKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) {
        return false;
    }
    const QString topic = TopicOf(static_cast<QWidget*>(watched));
    if (topic.isEmpty()) {
        return false;
    }
    emit topicRequested(topic);
    return true;
}

}  // namespace quorvane::dialogs
