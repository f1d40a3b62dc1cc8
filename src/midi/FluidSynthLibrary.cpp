#include "midi/FluidSynthLibrary.h"

#include <dlfcn.h>

namespace quorvane::midi {

std::shared_ptr<const FluidSynthLibrary> FluidSynthLibrary::Load() {
    void* handle = nullptr;
    for (const char* name : {"libfluidsynth.so.3", "libfluidsynth.so"}) {
        handle = dlopen(name, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (handle != nullptr) {
            break;
        }
    }
    if (handle == nullptr) {
        return nullptr;
    }
    auto library = std::make_shared<FluidSynthLibrary>();
    bool complete = true;
#define QUORVANE_FLUID_RESOLVE(name)                                           \
    library->name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name)); \
    complete = complete && library->name != nullptr;
    QUORVANE_FLUID_FUNCTIONS(QUORVANE_FLUID_RESOLVE)
#undef QUORVANE_FLUID_RESOLVE
    // The handle is not closed: it only drops a reference, the library stays as loaded.
    dlclose(handle);
    return complete ? library : nullptr;
}

}  // namespace quorvane::midi
