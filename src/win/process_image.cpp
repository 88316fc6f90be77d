#include "win/process_image.h"

#include "win/handles.h"

namespace win {

namespace {

using QueryFullProcessImageNameWFn = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, DWORD*);

// Long enough for any path the wide functions return.
constexpr DWORD kWideChars = 32768;

QueryFullProcessImageNameWFn QueryImageName() {
    static const auto query = ProcAddress<QueryFullProcessImageNameWFn>(
        GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameW");
    return query;
}

} // namespace

bool CanReadProcessImagePath() {
    return QueryImageName() != nullptr;
}

std::wstring ProcessImagePath(HANDLE process) {
    const auto query = QueryImageName();
    if (!query || !process)
        return std::wstring();
    std::wstring path(kWideChars, L'\0');
    DWORD size = kWideChars;
    if (!query(process, 0, &path[0], &size) || size == 0 || size >= kWideChars)
        return std::wstring();
    path.resize(size);
    return path;
}

} // namespace win
