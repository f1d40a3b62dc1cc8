// Looks like a component library but lacks DllCanUnloadNow: it only imports it. Its start-up code
// writes the file named by $VANTILE_TEST_MARK, so a test can tell whether a host ran it.
#include <cstdio>
#include <cstdlib>

extern "C" {

__attribute__((visibility("default"))) int DllRegisterServer() {
    return 0;
}
__attribute__((visibility("default"))) int DllUnregisterServer() {
    return 0;
}
__attribute__((visibility("default"))) int DllGetClassObject(const void*, const void*,
                                                             void** object) {
    *object = nullptr;
    return static_cast<int>(0x80040111u);
}
__attribute__((weak)) int DllCanUnloadNow();

}  // extern "C"

namespace {

__attribute__((constructor)) void LeaveMark() {
    if (const char* path = std::getenv("VANTILE_TEST_MARK")) {
        if (std::FILE* mark = std::fopen(path, "w")) {
            std::fputs(DllCanUnloadNow != nullptr ? "ran, linked" : "ran", mark);
            std::fclose(mark);
        }
    }
}

}  // namespace
