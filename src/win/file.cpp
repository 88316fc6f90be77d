#include "win/file.h"

#include "win/handles.h"

namespace win {

namespace {

bool Fail(DWORD code, DWORD* error) {
    if (error)
        *error = code;
    return false;
}

} // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes, DWORD* error) {
    FileHandle f(CreateFileA(path.c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f)
        return Fail(GetLastError(), error);
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(f.get(), &size))
        return Fail(GetLastError(), error);
    bytes.clear();
    char buf[64 * 1024];
    DWORD got = 0;
    for (;;) {
        // A failed read in the middle would otherwise pass for the end of the file.
        if (!ReadFile(f.get(), buf, sizeof buf, &got, nullptr))
            return Fail(GetLastError(), error);
        if (got == 0)
            break;
        bytes.append(buf, got);
    }
    // Fewer bytes than the file held when opened is not its whole content. A file
    // that grows meanwhile is read as far as it then reaches.
    if (static_cast<LONGLONG>(bytes.size()) < size.QuadPart)
        return Fail(ERROR_HANDLE_EOF, error);
    return true;
}

} // namespace win
