#include "hook_support.h"

#include "win/file.h"

#include <cstring>

#include "../quit/support.h"

namespace ht {

NotifyWindow::NotifyWindow()
    : commandMsg_(RegisterWindowMessageA("VakoHookUniqueMessage1")),
      sysCommandMsg_(RegisterWindowMessageA("VakoHookUniqueMessage2")) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VakoHookTestNotify";
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(0, wc.lpszClassName, "Vako Hook Test", WS_OVERLAPPED, 0, 0, 10, 10,
                            nullptr, nullptr, wc.hInstance, this);
}

NotifyWindow::~NotifyWindow() {
    if (hwnd_)
        DestroyWindow(hwnd_);
}

LRESULT CALLBACK NotifyWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<NotifyWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && (msg == self->commandMsg_ || msg == self->sysCommandMsg_)) {
        self->received_.push_back({msg, wp, lp});
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

bool NotifyWindow::WaitCount(size_t count, DWORD timeoutMs) {
    return qt::WaitFor([&] { return received_.size() >= count; }, timeoutMs);
}

uint32_t BlockBytes::U32(size_t offset) const {
    uint32_t v;
    std::memcpy(&v, Bytes + offset, sizeof v);
    return v;
}

BlockBytes ReadBlock() {
    BlockBytes b;
    HANDLE h = OpenFileMappingA(FILE_MAP_READ, FALSE, "VakoHookShareMem");
    if (!h)
        return b;
    if (const void* view = MapViewOfFile(h, FILE_MAP_READ, 0, 0, 0)) {
        std::memcpy(b.Bytes, view, sizeof b.Bytes);
        UnmapViewOfFile(view);
        b.Ok = true;
    }
    CloseHandle(h);
    return b;
}

namespace {

struct FindData {
    DWORD Pid;
    const char* ClassName;
    HWND Found;
};

BOOL CALLBACK FindProc(HWND hwnd, LPARAM lp) {
    auto* d = reinterpret_cast<FindData*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[256] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (pid == d->Pid && std::strcmp(cls, d->ClassName) == 0) {
        d->Found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Converts a relative virtual address into an offset of the file.
size_t FileOffset(const std::string& pe, size_t sections, unsigned count, uint32_t rva) {
    for (unsigned i = 0; i < count; ++i) {
        IMAGE_SECTION_HEADER s;
        std::memcpy(&s, pe.data() + sections + i * sizeof s, sizeof s);
        uint32_t size = s.Misc.VirtualSize ? s.Misc.VirtualSize : s.SizeOfRawData;
        if (rva >= s.VirtualAddress && rva < s.VirtualAddress + size)
            return rva - s.VirtualAddress + s.PointerToRawData;
    }
    return std::string::npos;
}

template <typename T> bool At(const std::string& pe, size_t offset, T& out) {
    if (offset == std::string::npos || offset + sizeof out > pe.size())
        return false;
    std::memcpy(&out, pe.data() + offset, sizeof out);
    return true;
}

std::string CString(const std::string& pe, size_t offset) {
    if (offset >= pe.size())
        return std::string();
    return std::string(pe.c_str() + offset);
}

} // namespace

HWND WindowOf(DWORD pid, const char* className) {
    FindData d = {pid, className, nullptr};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&d));
    return d.Found;
}

PeTables ReadPeTables(const std::string& path) {
    PeTables t;
    std::string pe;
    if (!win::ReadWholeFile(path, pe))
        return t;
    IMAGE_DOS_HEADER dos;
    IMAGE_FILE_HEADER file;
    uint16_t magic = 0;
    if (!At(pe, 0, dos) || !At(pe, dos.e_lfanew + 4, file) ||
        !At(pe, dos.e_lfanew + 4 + sizeof file, magic))
        return t;
    size_t optional = dos.e_lfanew + 4 + sizeof file;
    t.Is64 = magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    size_t dirs = optional + (t.Is64 ? offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory)
                                     : offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory));
    size_t sections = optional + file.SizeOfOptionalHeader;
    auto offsetOf = [&](uint32_t rva) {
        return FileOffset(pe, sections, file.NumberOfSections, rva);
    };

    IMAGE_DATA_DIRECTORY exp, imp;
    if (!At(pe, dirs + IMAGE_DIRECTORY_ENTRY_EXPORT * sizeof exp, exp) ||
        !At(pe, dirs + IMAGE_DIRECTORY_ENTRY_IMPORT * sizeof imp, imp))
        return t;
    if (exp.VirtualAddress) {
        IMAGE_EXPORT_DIRECTORY ed;
        if (!At(pe, offsetOf(exp.VirtualAddress), ed))
            return t;
        for (DWORD i = 0; i < ed.NumberOfNames; ++i) {
            uint32_t nameRva = 0;
            if (!At(pe, offsetOf(ed.AddressOfNames + i * 4), nameRva))
                return t;
            t.Exports.push_back(CString(pe, offsetOf(nameRva)));
        }
        // Every exported function has a name: no export by ordinal only.
        if (ed.NumberOfFunctions != ed.NumberOfNames)
            t.Exports.push_back("<unnamed>");
    }
    if (imp.VirtualAddress) {
        for (size_t at = offsetOf(imp.VirtualAddress);; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
            IMAGE_IMPORT_DESCRIPTOR d;
            if (!At(pe, at, d))
                return t;
            if (d.Name == 0)
                break;
            t.Imports.push_back(CString(pe, offsetOf(d.Name)));
        }
    }
    t.Ok = true;
    return t;
}

} // namespace ht
