// One fresh folder per test, holding copies of the program files.
#include <gtest/gtest.h>

#include <cstring>

#include "core/text.h"
#include "vako_e2e.h"
#include "win/ansi_path.h"
#include "win/file.h"

namespace e2e {

namespace {

std::string WithSlash(std::string folder) {
    if (folder.empty() || text::FileNamePart(folder).empty())
        return folder;
    return folder + "\\";
}

std::string FullPath(const std::string& path) {
    char buf[MAX_PATH];
    DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, buf, nullptr);
    if (n == 0 || n >= MAX_PATH)
        ThrowLastError("GetFullPathNameA " + path);
    return buf;
}

// Parameterised tests carry "/" in their names; keep one folder level.
std::string FolderNameFor(const std::string& s) {
    std::string out;
    for (unsigned char c : s)
        out += std::strchr("\\/:*?\"<>|", c) && c ? '_' : static_cast<char>(c);
    return out;
}

std::string CurrentTestName() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!info)
        throw DriverError("Sandbox: no running test; give SandboxOptions::name");
    return FolderNameFor(std::string(info->test_suite_name()) + "." + info->name());
}

// Walked whole: a test may leave names behind that the code page cannot spell.
void RemoveTreeWide(const std::wstring& folder) {
    WIN32_FIND_DATAW fd;
    win::FindHandle find(FindFirstFileW((folder + L"*").c_str(), &fd));
    if (!find)
        return;
    do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring path = folder + name;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveTreeWide(path + L"\\");
            if (!RemoveDirectoryW(path.c_str()))
                ThrowLastError("RemoveDirectoryW " + win::BestFitAnsi(path));
        } else {
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!DeleteFileW(path.c_str()))
                ThrowLastError("DeleteFileW " + win::BestFitAnsi(path) +
                               " (is a program of the last run still running?)");
        }
    } while (FindNextFileW(find.get(), &fd));
}

void RemoveTree(const std::string& folder) {
    RemoveTreeWide(win::WideFromAnsi(folder));
}

} // namespace

void MakeFolders(const std::string& folder) {
    // Create each level from the top; existing ones are fine.
    std::string path;
    for (const char* p = folder.c_str(); *p; p = CharNextA(p)) {
        const char* next = CharNextA(p);
        path.append(p, next);
        if (*p == '\\' && path.size() > 3)
            CreateDirectoryA(path.c_str(), nullptr);
    }
    CreateDirectoryA(folder.c_str(), nullptr);
    DWORD attr = GetFileAttributesA(folder.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_DIRECTORY))
        ThrowLastError("cannot create folder " + folder);
}

std::string TestBinDir() {
    char buf[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        ThrowLastError("GetModuleFileNameA");
    return text::FolderPart(buf);
}

void MakeEmptyFolder(const std::string& folder) {
    std::string dir = WithSlash(folder);
    // A path too short to be a test folder is refused: emptying it would be a disaster.
    if (dir.size() < 8)
        throw DriverError("refusing to empty " + dir);
    MakeFolders(dir);
    RemoveTree(dir);
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    win::FileHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f)
        ThrowLastError("CreateFileA " + path);
    DWORD written = 0;
    if (!::WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        ThrowLastError("WriteFile " + path);
}

std::string ReadFileBytes(const std::string& path) {
    std::string bytes;
    if (!win::ReadWholeFile(path, bytes))
        ThrowLastError("CreateFileA " + path);
    return bytes;
}

bool FileExists(const std::string& path) {
    DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

Sandbox::Sandbox() : Sandbox(SandboxOptions{}) {}

Sandbox::Sandbox(std::initializer_list<std::string> extraFiles)
    : Sandbox(SandboxOptions{true, extraFiles, "", ""}) {}

Sandbox::Sandbox(const SandboxOptions& options) {
    const std::string bin = TestBinDir();
    const std::string name = options.name.empty() ? CurrentTestName() : options.name;
    root_ = FullPath(bin + "..\\e2e\\" + name) + "\\";
    EndLeftoverProcesses();
    MakeEmptyFolder(root_);
    dir_ = root_;
    if (!options.subFolder.empty()) {
        dir_ = WithSlash(root_ + options.subFolder);
        MakeFolders(dir_);
    }
    if (options.copyProgram) {
        CopyFromBin("VakoQuit.exe");
        if (FileExists(bin + "VakoHook.dll"))
            CopyFromBin("VakoHook.dll");
    }
    for (const std::string& f : options.extraFiles)
        CopyFromBin(f);
}

std::string Sandbox::Copy(const std::string& from, const std::string& asName) const {
    std::string to = dir_ + (asName.empty() ? text::FileNamePart(from) : asName);
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE))
        ThrowLastError("CopyFileA " + from + " -> " + to);
    return to;
}

std::string Sandbox::CopyFromBin(const std::string& name, const std::string& asName) const {
    return Copy(TestBinDir() + name, asName);
}

void Sandbox::WriteFile(const std::string& relative, const std::string& bytes) const {
    WriteFileBytes(Path(relative), bytes);
}

std::string Sandbox::ReadFile(const std::string& relative) const {
    return ReadFileBytes(Path(relative));
}

bool Sandbox::Exists(const std::string& relative) const {
    return FileExists(Path(relative));
}

void Sandbox::Remove(const std::string& relative) const {
    if (!DeleteFileA(Path(relative).c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
        ThrowLastError("DeleteFileA " + Path(relative));
}

} // namespace e2e
