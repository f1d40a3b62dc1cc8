#pragma once
// Collects what the program writes to one Qt logging category while an instance lives (the
// messages still reach stderr), for tests that check a failure's reason is reported.

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <utility>

namespace quorvane::testing {

class LogCapture {
  public:
    explicit LogCapture(QByteArray category) {
        Category() = std::move(category);
        Text().clear();
        Previous() = qInstallMessageHandler(&LogCapture::Handle);
    }
    ~LogCapture() {
        qInstallMessageHandler(Previous());
        Category().clear();
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Every message of the category so far, one a line.
    QString Lines() const { return Text(); }

  private:
    static QByteArray& Category() {
        static QByteArray category;
        return category;
    }
    static QString& Text() {
        static QString text;
        return text;
    }
    static QtMessageHandler& Previous() {
        static QtMessageHandler previous = nullptr;
        return previous;
    }
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (context.category != nullptr && Category() == context.category) {
            Text() += message + QLatin1Char('\n');
        }
        if (Previous() != nullptr) {
            Previous()(type, context, message);
        }
    }
};

}  // namespace quorvane::testing
