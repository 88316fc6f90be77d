#include "win/module.h"

#include "win/ansi_path.h"

namespace win {

std::string ModulePath(HMODULE module) {
    // A path that fills the buffer was cut: the buffer grows until it holds the
    // whole path, which the system limits to 32767 characters.
    for (DWORD size = MAX_PATH + 1; size <= 0x10000; size *= 2) {
        std::wstring path(size, L'\0');
        const DWORD n = GetModuleFileNameW(module, &path[0], size);
        if (n == 0)
            return std::string();
        if (n < size) {
            path.resize(n);
            // Read whole: in a folder whose name the code page lacks, the settings
            // file and the helpers beside the program are found by its short form.
            return UsablePath(path);
        }
    }
    return std::string();
}

} // namespace win
