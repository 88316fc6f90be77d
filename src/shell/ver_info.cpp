#include "shell/ver_info.h"

#include <windows.h>

#include <cstdio>

#include "core/text.h"
#include "win/module.h"

namespace {

std::string Hex4(unsigned value) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", value & 0xFFFF);
    return buf;
}

} // namespace

EVerInfo::EVerInfo() : Exception("バージョン情報が取得できません.") {}

TVerInfo::TVerInfo(const std::string& fileName) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(fileName.c_str(), &handle);
    if (size == 0)
        throw EVerInfo();
    block_.resize(size);
    if (!GetFileVersionInfoA(fileName.c_str(), handle, size, block_.data()))
        throw EVerInfo();

    void* value = nullptr;
    UINT length = 0;
    char path[] = "\\VarFileInfo\\Translation";
    // An empty translation table has no first entry to read.
    if (!VerQueryValueA(block_.data(), path, &value, &length) || !value || length < 4)
        throw EVerInfo();
    const WORD* entry = static_cast<const WORD*>(value);
    language_ = Hex4(entry[0]);
    codePage_ = Hex4(entry[1]);
}

std::string TVerInfo::GetStringValue(const std::string& subBlock) const {
    void* value = nullptr;
    UINT length = 0;
    std::string path = subBlock;
    // VerQueryValueA reads the block only, but is declared to take it writable.
    if (!VerQueryValueA(const_cast<char*>(block_.data()), &path[0], &value, &length))
        throw EVerInfo();
    if (length == 0 || !value)
        return std::string();
    const char* chars = static_cast<const char*>(value);
    std::string s;
    for (UINT i = 0; i < length && chars[i] != '\0'; ++i)
        s += chars[i];
    return text::Trim(s);
}

std::string TVerInfo::StringFileInfoPath(const char* name) const {
    return "\\StringFileInfo\\" + language_ + codePage_ + "\\" + name;
}

std::string TVerInfo::GetProductName() const {
    return GetStringValue(StringFileInfoPath("ProductName"));
}

std::string TVerInfo::GetFileDescription() const {
    return GetStringValue(StringFileInfoPath("FileDescription"));
}

std::string TVerInfo::GetProductVersion() const {
    return GetStringValue(StringFileInfoPath("ProductVersion"));
}

std::string OwnProductVersion() {
    const std::string path = win::ModulePath();
    if (path.empty())
        throw EVerInfo();
    return TVerInfo(path).GetProductVersion();
}
