#include "win/module.h"

namespace win {

std::string ModulePath(HMODULE module) {
    // A path that fills the buffer was cut: the buffer grows until it holds the
    // whole path, which the system limits to 32767 characters.
    for (DWORD size = MAX_PATH + 1; size <= 0x10000; size *= 2) {
        std::string path(size, '\0');
        const DWORD n = GetModuleFileNameA(module, &path[0], size);
        if (n == 0)
            return std::string();
        if (n < size) {
            path.resize(n);
            return path;
        }
    }
    return std::string();
}

} // namespace win
