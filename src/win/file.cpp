#include "win/file.h"

#include "win/handles.h"
#include "win/wow64.h"

namespace win {

namespace {

bool Fail(DWORD code, DWORD* error) {
    if (error)
        *error = code;
    return false;
}

} // namespace

bool FileExists(const std::string& path) {
    const DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    const DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

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

std::string NativeSystemPath(const std::string& path) {
    if (!RunsUnderWow64())
        return path;
    char system[MAX_PATH];
    char windows[MAX_PATH];
    UINT n = GetSystemDirectoryA(system, sizeof system);
    UINT w = GetWindowsDirectoryA(windows, sizeof windows);
    if (n == 0 || n >= sizeof system || w == 0 || w >= sizeof windows || path.size() <= n ||
        path[n] != '\\' ||
        CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path.c_str(), static_cast<int>(n), system,
                       static_cast<int>(n)) != CSTR_EQUAL)
        return path;
    std::string folder(windows, w);
    if (folder.back() != '\\')
        folder += '\\';
    std::string native = folder + "Sysnative" + path.substr(n);
    return FileExists(native) ? native : path;
}

namespace {

bool OpenIdentity(const std::string& path, FileIdentity& id) {
    // No access asked for: enough for the file's information, and no open by
    // another program can refuse it.
    FileHandle f(CreateFileA(path.c_str(), 0,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!f || !GetFileInformationByHandle(f.get(), &info))
        return false;
    id.Volume = info.dwVolumeSerialNumber;
    id.IndexHigh = info.nFileIndexHigh;
    id.IndexLow = info.nFileIndexLow;
    return true;
}

} // namespace

bool IdentityOf(const std::string& path, FileIdentity& id) {
    if (path.empty())
        return false;
    if (OpenIdentity(path, id))
        return true;
    const std::string native = NativeSystemPath(path);
    return native != path && OpenIdentity(native, id);
}

} // namespace win
