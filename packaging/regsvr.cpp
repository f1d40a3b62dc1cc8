// quorvane-regsvr: registers a component library by calling its own DllRegisterServer (or, with
// -u, DllUnregisterServer), as the package's install and removal scripts do. The registry it
// writes to is the library's choice; VANTILE_REGISTRY names the system-wide one at install time.
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

using EntryPoint = std::int32_t (*)();

int Usage() {
    std::fprintf(stderr, "usage: quorvane-regsvr [-u] LIBRARY\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool unregister = false;
    const char* library = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-u") == 0) {
            unregister = true;
        } else if (library == nullptr) {
            library = argv[i];
        } else {
            return Usage();
        }
    }
    if (library == nullptr) {
        return Usage();
    }
    void* handle = dlopen(library, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        std::fprintf(stderr, "quorvane-regsvr: %s\n", dlerror());
        return 1;
    }
    const char* name = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    void* symbol = dlsym(handle, name);
    if (symbol == nullptr) {
        std::fprintf(stderr, "quorvane-regsvr: %s has no %s\n", library, name);
        dlclose(handle);
        return 1;
    }
    EntryPoint entry = nullptr;
    static_assert(sizeof(entry) == sizeof(symbol));
    std::memcpy(&entry, &symbol, sizeof(symbol));
    const std::int32_t result = entry();
    if (result != 0) {
        std::fprintf(stderr, "quorvane-regsvr: %s failed (0x%08X)\n", name,
                     static_cast<unsigned>(result));
    }
    // The library stays loaded until the process ends: its Qt objects may be torn down at exit.
    return result == 0 ? 0 : 1;
}
