#include "app/SystemMidiLoader.h"

#include <dlfcn.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "midi/MidiLog.h"

namespace quorvane::app {

namespace {

// What dlopen said of `place`, without the place when it starts with it.
std::string LoadError(const std::string& place) {
    const char* error = dlerror();
    std::string why = error != nullptr ? error : "cannot be loaded";
    if (why.rfind(place + ": ", 0) == 0) {
        why.erase(0, place.size() + 2);
    }
    return why;
}

// The module's factory of that name; nullptr with the reason in `failure` when the module or the
// factory cannot be loaded: each place tried, with what stopped it there. The module stays loaded
// for the rest of the process.
void* Factory(const char* name, std::string* failure) {
    static void* module = nullptr;
    static std::string why;
    if (module == nullptr && why.empty()) {
        const QDir here(QCoreApplication::applicationDirPath());
        for (const QString& place : {here.filePath(QLatin1String(kSystemMidiModule)),
                                     here.filePath(QStringLiteral(QUORVANE_MODULE_DIR "/") +
                                                   QLatin1String(kSystemMidiModule))}) {
            const QByteArray file = QFile::encodeName(QDir::cleanPath(place));
            module = dlopen(file.constData(), RTLD_NOW | RTLD_LOCAL);
            if (module != nullptr) {
                break;
            }
            why += (why.empty() ? "the system MIDI module cannot be loaded from " : "; from ") +
                   file.toStdString() + ": " + LoadError(file.toStdString());
        }
        if (module != nullptr) {
            why.clear();
        } else {
            qCWarning(midi::lcMidi).noquote()
                << "No system MIDI devices or ports:" << QString::fromStdString(why);
        }
    }
    void* factory = module != nullptr ? dlsym(module, name) : nullptr;
    if (factory == nullptr) {
        *failure = module != nullptr ? std::string("the system MIDI module lacks ") + name : why;
    }
    return factory;
}

template <typename Service>
std::unique_ptr<Service> Make(const char* name, std::string* failure) {
    auto* make = reinterpret_cast<Service* (*)()>(Factory(name, failure));
    return std::unique_ptr<Service>(make != nullptr ? make() : nullptr);
}

}  // namespace

midi::OutputDevices* LaterSystemOutputs::Loaded() {
    if (loaded_ == nullptr && failure_.empty()) {
        loaded_ = Make<midi::OutputDevices>("quorvane_system_outputs", &failure_);
    }
    return loaded_.get();
}

int LaterSystemOutputs::GetNumDevs() {
    return Loaded() != nullptr ? loaded_->GetNumDevs() : 0;
}

std::optional<std::string> LaterSystemOutputs::GetDevName(int device) {
    return Loaded() != nullptr ? loaded_->GetDevName(device) : std::nullopt;
}

std::unique_ptr<midi::OutputDevice> LaterSystemOutputs::Open(int device) {
    return Loaded() != nullptr ? loaded_->Open(device) : nullptr;
}

std::string LaterSystemOutputs::LastOpenError() const {
    return loaded_ != nullptr ? loaded_->LastOpenError() : failure_;
}

midi::InputPorts* LaterSystemInputs::Loaded() {
    if (loaded_ == nullptr && failure_.empty()) {
        loaded_ = Make<midi::InputPorts>("quorvane_system_inputs", &failure_);
    }
    return loaded_.get();
}

std::vector<std::string> LaterSystemInputs::List() {
    return Loaded() != nullptr ? loaded_->List() : std::vector<std::string>{};
}

std::unique_ptr<midi::InputPort> LaterSystemInputs::Open(const std::string& name,
                                                         std::string* error) {
    if (Loaded() == nullptr) {
        if (error != nullptr) {
            *error = failure_;
        }
        return nullptr;
    }
    return loaded_->Open(name, error);
}

}  // namespace quorvane::app
