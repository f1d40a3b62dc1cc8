#include "support/FakeInputs.h"

#include <thread>

namespace quorvane::midi {

class FakeInputs::Port final : public InputPort {
  public:
    Port(std::string name, std::shared_ptr<Port*> open) : name_(std::move(name)), open_(open) {
        *open_ = this;
    }
    ~Port() override { *open_ = nullptr; }
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;
    void Deliver(const QByteArray& bytes, MidiClock::time_point arrived) {
        emit messageReceived(
            bytes, std::chrono::duration_cast<std::chrono::nanoseconds>(arrived.time_since_epoch())
                       .count());
    }
    const std::string& name() const { return name_; }

  private:
    std::string name_;
    std::shared_ptr<Port*> open_;
};

FakeInputs::FakeInputs(std::vector<PortSpec> ports, std::function<MidiClock::time_point()> now)
    : ports_(std::move(ports)),
      now_(now ? std::move(now) : [] { return std::chrono::steady_clock::now(); }),
      open_(std::make_shared<Port*>(nullptr)) {}

std::vector<std::string> FakeInputs::List() {
    std::vector<std::string> names;
    for (const PortSpec& p : ports_) {
        names.push_back(p.name);
    }
    return names;
}

std::unique_ptr<InputPort> FakeInputs::Open(const std::string& name, std::string* error) {
    for (const PortSpec& p : ports_) {
        if (p.name == name && p.opens) {
            return std::make_unique<Port>(name, open_);
        }
    }
    if (error != nullptr) {
        *error = "the test's port refuses to open";
    }
    return nullptr;
}

bool FakeInputs::Send(const QByteArray& bytes) {
    Port* port = *open_;
    if (port == nullptr) {
        return false;
    }
    const MidiClock::time_point arrived = now_();
    std::thread([port, bytes, arrived] { port->Deliver(bytes, arrived); }).join();
    return true;
}

bool FakeInputs::Send(std::initializer_list<int> bytes) {
    QByteArray raw;
    for (int b : bytes) {
        raw.append(static_cast<char>(b));
    }
    return Send(raw);
}

std::string FakeInputs::OpenPort() const {
    return *open_ != nullptr ? (*open_)->name() : std::string();
}

}  // namespace quorvane::midi
