#include "midi/FluidSynthLibrary.h"

#include <dlfcn.h>

#include <string>

namespace quorvane::midi {

std::shared_ptr<const FluidSynthLibrary> FluidSynthLibrary::Load(std::string* error) {
    std::string reasons;
    void* handle = nullptr;
    for (const char* name : {"libfluidsynth.so.3", "libfluidsynth.so"}) {
        handle = dlopen(name, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (handle != nullptr) {
            break;
        }
        const char* why = dlerror();
        reasons += (reasons.empty() ? "" : "; ") + std::string(why != nullptr ? why : name);
    }
    if (handle == nullptr) {
        if (error != nullptr) {
            *error = "FluidSynth cannot be loaded: " + reasons;
        }
        return nullptr;
    }
    auto library = std::make_shared<FluidSynthLibrary>();
    std::string missing;
#define QUORVANE_FLUID_RESOLVE(name)                                           \
    library->name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name)); \
    if (library->name == nullptr) {                                            \
        missing += (missing.empty() ? "" : ", ") + std::string(#name);         \
    }
    QUORVANE_FLUID_FUNCTIONS(QUORVANE_FLUID_RESOLVE)
#undef QUORVANE_FLUID_RESOLVE
    // The handle is not closed: it only drops a reference, the library stays as loaded.
    dlclose(handle);
    if (!missing.empty()) {
        if (error != nullptr) {
            *error = "The installed FluidSynth lacks " + missing;
        }
        return nullptr;
    }
    return library;
}

}  // namespace quorvane::midi
