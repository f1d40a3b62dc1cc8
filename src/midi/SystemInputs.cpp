#include "midi/SystemInputs.h"

#include <chrono>
#include <optional>

#include "midi/MidiLog.h"
#include "midi/RtMidiSupport.h"

namespace quorvane::midi {

namespace {

// The interfaces whose ports are listed, in order.
std::vector<RtMidi::Api> ListedApis() {
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    std::erase(apis, RtMidi::RTMIDI_DUMMY);
    return apis;
}

// An open RtMidi input. The library calls back on a thread of its own; closing the port stops
// that thread before the object goes, so no call reaches a destroyed port.
class SystemInputPort final : public InputPort {
  public:
    SystemInputPort(std::unique_ptr<RtMidiIn> in, std::unique_ptr<PortStatus> status)
        : in_(std::move(in)), status_(std::move(status)) {}
    ~SystemInputPort() override {
        try {
            in_->closePort();  // stops the library's thread: no call comes after this
            in_->cancelCallback();
        } catch (const std::exception& e) {
            qCWarning(lcMidi).noquote() << "Closing the MIDI input port failed:" << e.what();
        }
        in_.reset();  // before the status its error callback writes to
    }
    SystemInputPort(const SystemInputPort&) = delete;
    SystemInputPort& operator=(const SystemInputPort&) = delete;

    // Runs on the library's thread.
    static void Arrived(double /*delta*/, std::vector<unsigned char>* message, void* self) {
        if (message == nullptr || message->empty()) {
            return;
        }
        const qint64 now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                               std::chrono::steady_clock::now().time_since_epoch())
                               .count();
        emit static_cast<SystemInputPort*>(self)->messageReceived(
            QByteArray(reinterpret_cast<const char*>(message->data()),
                       static_cast<qsizetype>(message->size())),
            now);
    }

    RtMidiIn& in() { return *in_; }
    PortStatus& status() { return *status_; }

  private:
    std::unique_ptr<RtMidiIn> in_;
    std::unique_ptr<PortStatus> status_;
};

}  // namespace

SystemInputs::SystemInputs() {
    PrepareProcessForMidi();
}

std::vector<std::string> SystemInputs::List() {
    std::vector<std::string> names;
    for (RtMidi::Api api : ListedApis()) {
        PortStatus status;
        std::unique_ptr<RtMidiIn> in = MakePortObject<RtMidiIn>(api, &status);
        if (!in) {
            qCDebug(lcMidi).noquote() << RtMidi::getApiDisplayName(api).c_str()
                                      << "lists no input ports:" << status.text.c_str();
            continue;
        }
        const unsigned count = in->getPortCount();
        for (unsigned i = 0; i < count; ++i) {
            status.failed = false;
            std::string name = in->getPortName(i);
            if (!status.failed && !name.empty()) {
                names.push_back(std::move(name));
            }
        }
    }
    return names;
}

std::unique_ptr<InputPort> SystemInputs::Open(const std::string& name, std::string* error) {
    std::string ignored;
    std::string& why = error != nullptr ? *error : ignored;
    why.clear();
    for (RtMidi::Api api : ListedApis()) {
        auto status = std::make_unique<PortStatus>();
        std::unique_ptr<RtMidiIn> in = MakePortObject<RtMidiIn>(api, status.get());
        if (!in) {
            continue;
        }
        std::optional<unsigned> found;
        const unsigned count = in->getPortCount();
        for (unsigned i = 0; i < count && !found; ++i) {
            if (in->getPortName(i) == name) {
                found = i;
            }
        }
        if (!found) {
            continue;
        }
        // Only notes are wanted: system exclusive, timing and active sensing stay out.
        in->ignoreTypes(true, true, true);
        auto port = std::make_unique<SystemInputPort>(std::move(in), std::move(status));
        port->status().failed = false;
        try {
            port->in().setCallback(&SystemInputPort::Arrived, port.get());
            port->in().openPort(*found, "Input");
        } catch (const std::exception& e) {
            port->status().failed = true;
            port->status().text = e.what();
        }
        if (port->status().failed || !port->in().isPortOpen()) {
            why =
                port->status().text.empty() ? std::string("no reason given") : port->status().text;
            return nullptr;
        }
        return port;
    }
    why = "the port is no longer there";
    return nullptr;
}

}  // namespace quorvane::midi
