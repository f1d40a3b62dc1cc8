#pragma once
// The MIDI input service: the system's input ports listed by name, each opened to deliver the raw
// messages a keyboard sends. A port delivers from the thread the messages arrive on (the MIDI
// library's own); whoever receives them connects queued and handles them on its own thread.

#include <QByteArray>
#include <QObject>
#include <memory>
#include <string>
#include <vector>

namespace quorvane::midi {

// One open input port. Destroying it closes it; no message is delivered once it is gone.
class InputPort : public QObject {
    Q_OBJECT
  public:
    ~InputPort() override = default;

  signals:
    // One message as it arrived (running status and several messages in one delivery are
    // possible), and the steady clock's time of its arrival in nanoseconds since the clock's
    // epoch.
    void messageReceived(const QByteArray& bytes, qint64 arrivedNs);
};

class InputPorts {
  public:
    virtual ~InputPorts() = default;
    // The input ports as they are now, by name, in the order the system lists them.
    virtual std::vector<std::string> List() = 0;
    // Opens the port of that name; nullptr when it cannot be opened, with the reason in `error`.
    virtual std::unique_ptr<InputPort> Open(const std::string& name, std::string* error) = 0;
};

}  // namespace quorvane::midi
