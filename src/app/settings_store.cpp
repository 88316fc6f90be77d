#include "app/settings_store.h"

#include "core/text.h"
#include "win/error_text.h"
#include "win/file.h"
#include "win/handles.h"

#include <windows.h>

std::string SettingsPathFor(const std::string& programPath) {
    std::string folder = text::FolderPart(programPath);
    std::string name = text::FileNamePart(programPath);
    std::string base = text::BaseNameNoExt(programPath);
    // A name without extension gets one added.
    return folder + (base.empty() ? name : base) + ".ini";
}

SettingsRead ReadSettingsFile(const std::string& path, std::string& bytes, std::string& error) {
    DWORD code = ERROR_SUCCESS;
    if (win::ReadWholeFile(path, bytes, &code))
        return SettingsRead::Read;
    bytes.clear();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
        return SettingsRead::Missing;
    error = "設定ファイルを読み込めませんでした。\n" + path + "\n" + win::SystemErrorText(code);
    return SettingsRead::Failed;
}

bool WriteFileSafely(const std::string& path, const std::string& bytes, std::string& error) {
    const std::string temp = path + ".new";
    DWORD code = ERROR_SUCCESS;
    // A read-only settings file is the user's wish that it stays as it is. Windows
    // refuses to replace it anyway; Wine would rename over it.
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        code = ERROR_ACCESS_DENIED;
    if (code == ERROR_SUCCESS) {
        win::FileHandle f(CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!f) {
            code = GetLastError();
        } else {
            DWORD written = 0;
            if (!WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                           nullptr) ||
                written != bytes.size() || !FlushFileBuffers(f.get()))
                code = GetLastError();
            if (code == ERROR_SUCCESS && written != bytes.size())
                code = ERROR_DISK_FULL;
        }
    }
    if (code == ERROR_SUCCESS && !MoveFileExA(temp.c_str(), path.c_str(),
                                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        code = GetLastError();
    if (code == ERROR_SUCCESS)
        return true;
    DeleteFileA(temp.c_str());
    error = "設定ファイルを保存できませんでした。\n" + path + "\n" + win::SystemErrorText(code);
    return false;
}
