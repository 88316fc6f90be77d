#include "win/file.h"

#include "win/handles.h"

namespace win {

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    FileHandle f(CreateFileA(path.c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f)
        return false;
    bytes.clear();
    char buf[64 * 1024];
    DWORD got = 0;
    while (ReadFile(f.get(), buf, sizeof buf, &got, nullptr) && got > 0)
        bytes.append(buf, got);
    return true;
}

} // namespace win
