#include "win/process_command_line.h"

#include "win/handles.h"

#include <cstdint>
#include <vector>

namespace win {
namespace {

using NtQueryInformationProcessFn = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);

// The information classes and results of NtQueryInformationProcess used here.
constexpr ULONG kProcessBasicInformation = 0;
constexpr ULONG kProcessWow64Information = 26;
constexpr ULONG kProcessCommandLineInformation = 60;
constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);
constexpr LONG kStatusBufferTooSmall = static_cast<LONG>(0xC0000023);
constexpr LONG kStatusBufferOverflow = static_cast<LONG>(0x80000005);

// Offsets of the two layouts: PEB.ProcessParameters and
// RTL_USER_PROCESS_PARAMETERS.CommandLine.
constexpr uint64_t kPeb32Parameters = 0x10;
constexpr uint64_t kParameters32CommandLine = 0x40;
constexpr uint64_t kPeb64Parameters = 0x20;
constexpr uint64_t kParameters64CommandLine = 0x70;

template <typename Pointer> struct UnicodeStringOf {
    USHORT Length;
    USHORT MaximumLength;
    Pointer Buffer;
};

struct BasicInformation {
    LONG ExitStatus;
    PVOID PebBaseAddress;
    ULONG_PTR AffinityMask;
    LONG BasePriority;
    ULONG_PTR UniqueProcessId;
    ULONG_PTR InheritedFromUniqueProcessId;
};

NtQueryInformationProcessFn Query() {
    static const auto fn = ProcAddress<NtQueryInformationProcessFn>(GetModuleHandleA("ntdll.dll"),
                                                                    "NtQueryInformationProcess");
    return fn;
}

bool FromCommandLineClass(HANDLE process, std::wstring& out) {
    std::vector<ULONG_PTR> buffer(64);
    ULONG size = static_cast<ULONG>(buffer.size() * sizeof(ULONG_PTR));
    ULONG needed = 0;
    LONG status = Query()(process, kProcessCommandLineInformation, buffer.data(), size, &needed);
    if ((status == kStatusInfoLengthMismatch || status == kStatusBufferTooSmall ||
         status == kStatusBufferOverflow) &&
        needed > size) {
        buffer.resize(needed / sizeof(ULONG_PTR) + 1);
        size = static_cast<ULONG>(buffer.size() * sizeof(ULONG_PTR));
        status = Query()(process, kProcessCommandLineInformation, buffer.data(), size, &needed);
    }
    if (status < 0)
        return false;
    const auto* s = reinterpret_cast<const UnicodeStringOf<PWSTR>*>(buffer.data());
    if (!s->Buffer && s->Length != 0)
        return false;
    out.assign(s->Buffer ? s->Buffer : L"", s->Length / sizeof(wchar_t));
    return true;
}

template <typename T>
bool ReadAt(HANDLE process, uint64_t address, T* out, size_t size = sizeof(T)) {
    if (address == 0 || address > UINTPTR_MAX)
        return false;
    SIZE_T read = 0;
    return ReadProcessMemory(process, reinterpret_cast<LPCVOID>(static_cast<uintptr_t>(address)),
                             out, size, &read) &&
           read == size;
}

// The command line from the process parameters of the PEB at `peb`, of the 32-bit
// or the 64-bit layout.
template <typename Pointer>
bool FromPeb(HANDLE process, uint64_t peb, uint64_t parametersAt, uint64_t commandLineAt,
             std::wstring& out) {
    Pointer parameters = 0;
    UnicodeStringOf<Pointer> s = {};
    if (!ReadAt(process, peb + parametersAt, &parameters) ||
        !ReadAt(process, uint64_t{parameters} + commandLineAt, &s))
        return false;
    if (s.Length % sizeof(wchar_t) != 0 || s.Length > s.MaximumLength)
        return false;
    std::wstring text(s.Length / sizeof(wchar_t), L'\0');
    if (s.Length != 0 && !ReadAt(process, uint64_t{s.Buffer}, &text[0], s.Length))
        return false;
    out = text;
    return true;
}

} // namespace

bool QueryProcessCommandLine(HANDLE process, std::wstring& commandLine) {
    return Query() && FromCommandLineClass(process, commandLine);
}

bool ReadProcessCommandLine(HANDLE process, std::wstring& commandLine) {
    if (!Query())
        return false;
    if (FromCommandLineClass(process, commandLine))
        return true;
    // A 32-bit process on 64-bit Windows has a PEB of its own layout, which the
    // system names here; elsewhere (and where the system gives no address) the PEB
    // is of this program's own layout.
    ULONG_PTR wow64Peb = 0;
    if (Query()(process, kProcessWow64Information, &wow64Peb, sizeof wow64Peb, nullptr) >= 0 &&
        wow64Peb != 0 &&
        FromPeb<uint32_t>(process, wow64Peb, kPeb32Parameters, kParameters32CommandLine,
                          commandLine))
        return true;
    BasicInformation basic = {};
    if (Query()(process, kProcessBasicInformation, &basic, sizeof basic, nullptr) < 0)
        return false;
    const uint64_t peb = reinterpret_cast<uintptr_t>(basic.PebBaseAddress);
    if (sizeof(void*) == 8)
        return FromPeb<uint64_t>(process, peb, kPeb64Parameters, kParameters64CommandLine,
                                 commandLine);
    return FromPeb<uint32_t>(process, peb, kPeb32Parameters, kParameters32CommandLine, commandLine);
}

} // namespace win
