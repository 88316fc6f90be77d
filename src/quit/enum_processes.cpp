#include "quit/enum_processes.h"

#include "core/limits.h"
#include "core/text.h"
#include "win/ansi_path.h"
#include "win/error_text.h"
#include "win/handles.h"
#include "win/wow64.h"

#include <tlhelp32.h>

#include <cstring>

namespace {

// The Windows 95 layout of PROCESSENTRY32, which the snapshot functions expect.
static_assert(sizeof(PROCESSENTRY32) == (sizeof(void*) == 4 ? 296 : 304),
              "PROCESSENTRY32 must keep the system's layout");

constexpr DWORD kSnapAll = 15;          // heaps, processes, threads and modules
constexpr DWORD kQueryAndRead = 0x0410; // PROCESS_QUERY_INFORMATION | PROCESS_VM_READ
constexpr DWORD kQueryLimited = 0x1000; // PROCESS_QUERY_LIMITED_INFORMATION
constexpr DWORD kNameChars = MAX_PATH + 1;

using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using Process32Fn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
using EnumProcessesFn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
using EnumProcessModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
using GetModuleFileNameExFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);
using QueryFullProcessImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, DWORD*);
// The system's text for an error code, or its number where the system has none.
std::string ErrorText(DWORD code) {
    std::string s = win::SystemErrorText(code);
    if (s.empty())
        s = "システム エラー " + text::IntToStr(code);
    return s;
}

// A program file as a registered entry can name it: its exact spelling in the code
// page, else its short form. The ANSI calls would give a best-fit spelling of a name
// the code page lacks, a file that does not exist, which no identity can be read
// from; a file that cannot be named either way is left unnamed.
std::string KeptName(const wchar_t* name, DWORD length) {
    return win::StorablePath(std::wstring(name, length)).Path;
}

// The program file of a process from its first module, or empty.
// The module list of a 64-bit process cannot be read from a 32-bit program, and
// trying costs as much as reading it (about a millisecond per process under Wine).
std::string ModuleFileName(DWORD pid, EnumProcessModulesFn enumModules,
                           GetModuleFileNameExFn moduleFileName) {
    win::Handle process(OpenProcess(kQueryAndRead, FALSE, pid));
    if (!process || win::IsNative64Process(process.get()))
        return std::string();
    HMODULE first = nullptr;
    DWORD needed = 0;
    if (!enumModules(process.get(), &first, sizeof first, &needed))
        return std::string();
    wchar_t buf[kNameChars];
    DWORD n = moduleFileName(process.get(), first, buf, kNameChars);
    if (n == 0)
        return std::string();
    return KeptName(buf, n < kNameChars ? n : kNameChars - 1);
}

// The image name of a process, which needs only the limited query right and works
// across the 32/64-bit boundary; empty where the system lacks the function.
std::string ImageFileName(DWORD pid, QueryFullProcessImageNameFn queryImageName) {
    if (!queryImageName)
        return std::string();
    win::Handle process(OpenProcess(kQueryLimited, FALSE, pid));
    if (!process)
        return std::string();
    wchar_t buf[kNameChars];
    DWORD size = kNameChars;
    if (!queryImageName(process.get(), 0, buf, &size) || size == 0)
        return std::string();
    return KeptName(buf, size < kNameChars ? size : kNameChars - 1);
}

bool IsNtFamily() {
    OSVERSIONINFOA vi;
    std::memset(&vi, 0, sizeof vi);
    vi.dwOSVersionInfoSize = sizeof vi;
    return GetVersionExA(&vi) && vi.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

} // namespace

// What the PSAPI walk binds, bound and released together: the process list, the
// module list and the image name.
class TEnumProcesses::PsapiCalls {
  public:
    PsapiCalls(const std::string& psapiLibrary, const std::string& imageNameLibrary)
        : lib_(LoadLibraryA(psapiLibrary.c_str())) {
        if (!lib_)
            throw EEnumProcesses("PSAPI.DLL がロードできません。");
        enumProcesses_ = win::ProcAddress<EnumProcessesFn>(lib_.get(), "EnumProcesses");
        enumModules_ = win::ProcAddress<EnumProcessModulesFn>(lib_.get(), "EnumProcessModules");
        moduleFileName_ =
            win::ProcAddress<GetModuleFileNameExFn>(lib_.get(), "GetModuleFileNameExW");
        if (!enumProcesses_ || !enumModules_ || !moduleFileName_)
            throw EEnumProcesses("API のアドレスを取得できません。");
        // The image name is one cheap call where the system has it (Vista on); the
        // module list costs a read of the other process's memory, milliseconds each
        // under Wine, and is there for older systems and for whatever the image name
        // cannot answer.
        imageLib_.reset(LoadLibraryA(imageNameLibrary.c_str()));
        queryImageName_ = imageLib_ ? win::ProcAddress<QueryFullProcessImageNameFn>(
                                          imageLib_.get(), "QueryFullProcessImageNameW")
                                    : nullptr;
    }

    std::vector<DWORD> Ids() const { return ReadProcessIds(enumProcesses_); }

    std::string ProgramFileOf(DWORD pid) const {
        std::string name = ImageFileName(pid, queryImageName_);
        if (name.empty())
            name = ModuleFileName(pid, enumModules_, moduleFileName_);
        return text::Trim(name);
    }

  private:
    win::Library lib_;
    win::Library imageLib_;
    EnumProcessesFn enumProcesses_ = nullptr;
    EnumProcessModulesFn enumModules_ = nullptr;
    GetModuleFileNameExFn moduleFileName_ = nullptr;
    QueryFullProcessImageNameFn queryImageName_ = nullptr;
};

TEnumProcesses::TEnumProcesses() = default;
TEnumProcesses::~TEnumProcesses() = default;

std::vector<DWORD> ReadProcessIds(const EnumProcessesCall& enumProcesses) {
    std::vector<DWORD> pids(kFirstProcessIdCount);
    for (;;) {
        const DWORD size = static_cast<DWORD>(pids.size() * sizeof(DWORD));
        DWORD bytes = 0;
        if (!enumProcesses(pids.data(), size, &bytes))
            throw EEnumProcesses(ErrorText(GetLastError()));
        if (bytes < size) {
            pids.resize(bytes / sizeof(DWORD));
            return pids;
        }
        // The byte count is a DWORD: a buffer that cannot double any more was
        // still not enough, which no real system reaches.
        if (size > MAXDWORD / 2)
            throw EEnumProcesses(text::IntToStr(static_cast<long long>(pids.size())) +
                                 " 個以上のプロセスがあるみたいです。");
        pids.resize(pids.size() * 2);
    }
}

void TEnumProcesses::Execute(intptr_t lParam) {
    OSVERSIONINFOA vi;
    std::memset(&vi, 0, sizeof vi);
    vi.dwOSVersionInfoSize = sizeof vi;
    if (!GetVersionExA(&vi))
        vi.dwPlatformId = 0;
    ExecuteForPlatform(vi.dwPlatformId, lParam);
}

void TEnumProcesses::ExecuteForPlatform(DWORD platformId, intptr_t lParam) {
    switch (platformId) {
    case VER_PLATFORM_WIN32_WINDOWS:
        ToolhelpWalk(lParam);
        break;
    case VER_PLATFORM_WIN32_NT:
        PsapiWalk(lParam);
        break;
    default:
        throw EEnumProcesses("未対応のプラットフォームです。");
    }
}

void TEnumProcesses::ToolhelpWalk(intptr_t lParam) {
    win::Library lib(LoadLibraryA(toolhelpLibrary_.c_str()));
    if (!lib)
        throw EEnumProcesses("Kernel32.dll がロードできません。");
    auto createSnapshot = win::ProcAddress<CreateSnapshotFn>(lib.get(), "CreateToolhelp32Snapshot");
    auto first = win::ProcAddress<Process32Fn>(lib.get(), "Process32First");
    auto next = win::ProcAddress<Process32Fn>(lib.get(), "Process32Next");
    if (!createSnapshot || !first || !next)
        throw EEnumProcesses("API のアドレスを取得できません。");

    // Declared after the library, so it is closed before the library is freed.
    win::FileHandle snapshot(createSnapshot(kSnapAll, 0));
    if (!snapshot)
        throw EEnumProcesses("Toolhelp スナップショットが取得できません。");

    PROCESSENTRY32 entry;
    std::memset(&entry, 0, sizeof entry);
    entry.dwSize = sizeof entry;
    BOOL ok = first(snapshot.get(), &entry);
    bool continueEnum = true;
    while (ok && continueEnum) {
        if (OnEnum) {
            const char* name = entry.szExeFile;
            OnEnum(std::string(name, strnlen(name, MAX_PATH)), entry.th32ProcessID, continueEnum,
                   lParam);
        }
        if (continueEnum)
            ok = next(snapshot.get(), &entry);
    }
}

void TEnumProcesses::PsapiWalk(intptr_t lParam) {
    const PsapiCalls calls(psapiLibrary_, imageNameLibrary_);
    const std::vector<DWORD> pids = calls.Ids();
    bool continueEnum = true;
    for (DWORD pid : pids) {
        const std::string name = calls.ProgramFileOf(pid);
        if (OnEnum)
            OnEnum(name, pid, continueEnum, lParam);
        if (!continueEnum)
            break;
    }
}

const TEnumProcesses::PsapiCalls& TEnumProcesses::BoundCalls() {
    if (!bound_)
        bound_ = std::make_unique<PsapiCalls>(psapiLibrary_, imageNameLibrary_);
    return *bound_;
}

bool TEnumProcesses::ProcessIds(std::vector<DWORD>& ids) {
    if (ntFamily_ < 0)
        ntFamily_ = IsNtFamily() ? 1 : 0;
    if (!ntFamily_)
        return false;
    ids = BoundCalls().Ids();
    return true;
}

std::string TEnumProcesses::ProgramFileOf(DWORD processId) {
    return BoundCalls().ProgramFileOf(processId);
}
