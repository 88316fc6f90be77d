#include "support.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace testing_shell {
namespace {

std::wstring Wide(const std::string& s) {
    int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, &w[0], n);
    w.resize(n > 0 ? n - 1 : 0);
    return w;
}

void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA f;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &f);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = f.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = dir + "\\" + name;
            if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(h, &f));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

BoxAnswerer* g_answerer = nullptr;

std::string WindowText(HWND w) {
    char buf[2048] = "";
    GetWindowTextA(w, buf, sizeof buf);
    return buf;
}

} // namespace

ComScope::ComScope() : hr(CoInitialize(nullptr)) {}
ComScope::~ComScope() {
    if (SUCCEEDED(hr))
        CoUninitialize();
}

std::string OwnExePath() {
    char buf[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    return std::string(buf, n);
}

std::string BinDir() {
    std::string exe = OwnExePath();
    return exe.substr(0, exe.find_last_of('\\') + 1);
}

TempDir::TempDir(const std::string& tag) {
    std::string bin = BinDir();
    std::string build = bin.substr(0, bin.find_last_of('\\', bin.size() - 2) + 1);
    std::string root = build + "test-tmp";
    CreateDirectoryA(root.c_str(), nullptr);
    path_ = root + "\\" + tag + "-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(GetTickCount());
    RemoveTree(path_);
    EXPECT_TRUE(CreateDirectoryA(path_.c_str(), nullptr)) << path_;
}

TempDir::~TempDir() {
    RemoveTree(path_);
}

std::string TempDir::MakeDir(const std::string& relative) const {
    std::string path = path_;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find('\\', start);
        if (end == std::string::npos)
            end = relative.size();
        path += "\\" + relative.substr(start, end - start);
        CreateDirectoryA(path.c_str(), nullptr);
        start = end + 1;
    }
    return path;
}

std::string TempDir::CopyBin(const std::string& binName, const std::string& relative) const {
    std::string to = path_ + "\\" + relative;
    EXPECT_TRUE(CopyFileA((BinDir() + binName).c_str(), to.c_str(), FALSE)) << to;
    return to;
}

std::string TempDir::WriteFile(const std::string& relative, const std::string& bytes) const {
    std::string to = path_ + "\\" + relative;
    HANDLE h = CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << to;
    DWORD written = 0;
    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    return to;
}

void MakeLink(const std::string& path, const RawLink& l) {
    IShellLinkA* link = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<void**>(&link)),
              S_OK);
    link->SetPath(l.target.c_str());
    link->SetArguments(l.arguments.c_str());
    link->SetWorkingDirectory(l.workingDir.c_str());
    link->SetDescription(l.description.c_str());
    link->SetIconLocation(l.iconPath.c_str(), l.iconIndex);
    link->SetHotkey(l.hotKey);
    link->SetShowCmd(l.showCmd);
    IShellLinkW* wide = nullptr;
    if ((!l.wideTarget.empty() || !l.wideWorkingDir.empty()) &&
        SUCCEEDED(link->QueryInterface(IID_IShellLinkW, reinterpret_cast<void**>(&wide)))) {
        if (!l.wideTarget.empty())
            wide->SetPath(l.wideTarget.c_str());
        if (!l.wideWorkingDir.empty())
            wide->SetWorkingDirectory(l.wideWorkingDir.c_str());
        wide->Release();
    }
    IPersistFile* file = nullptr;
    HRESULT hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(hr)) {
        hr = file->Save(Wide(path).c_str(), TRUE);
        file->Release();
    }
    link->Release();
    ASSERT_EQ(hr, S_OK) << path;
}

RawLink LoadLink(const std::string& path) {
    RawLink r;
    IShellLinkA* link = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<void**>(&link)),
              S_OK);
    if (!link)
        return r;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        EXPECT_EQ(file->Load(Wide(path).c_str(), STGM_READ), S_OK) << path;
        file->Release();
        char buf[MAX_PATH] = "";
        link->GetPath(buf, MAX_PATH, nullptr, 0);
        r.target = buf;
        buf[0] = '\0';
        link->GetArguments(buf, MAX_PATH);
        r.arguments = buf;
        buf[0] = '\0';
        link->GetWorkingDirectory(buf, MAX_PATH);
        r.workingDir = buf;
        buf[0] = '\0';
        link->GetDescription(buf, MAX_PATH);
        r.description = buf;
        buf[0] = '\0';
        link->GetIconLocation(buf, MAX_PATH, &r.iconIndex);
        r.iconPath = buf;
        link->GetHotkey(&r.hotKey);
        link->GetShowCmd(&r.showCmd);
    }
    link->Release();
    return r;
}

int HeaderShowCmd(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 0x40)
        return -1;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data()) + 0x3C;
    return static_cast<int>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<unsigned>(p[3]) << 24);
}

bool UnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

BoxAnswerer::BoxAnswerer() {
    g_answerer = this;
    hook_ = SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
    EXPECT_NE(hook_, nullptr);
}

BoxAnswerer::~BoxAnswerer() {
    if (hook_)
        UnhookWindowsHookEx(hook_);
    g_answerer = nullptr;
    EXPECT_TRUE(replies_.empty()) << replies_.size() << " expected box(es) never appeared";
}

void BoxAnswerer::Reply(int button, std::function<void(HWND)> before) {
    replies_.push_back({button, std::move(before)});
}

LRESULT CALLBACK BoxAnswerer::CbtProc(int code, WPARAM wp, LPARAM lp) {
    BoxAnswerer* self = g_answerer;
    if (self) {
        try {
            HWND w = reinterpret_cast<HWND>(wp);
            if (code == HCBT_ACTIVATE)
                self->OnActivate(w);
            else if (code == HCBT_DESTROYWND)
                self->answered_.erase(
                    std::remove(self->answered_.begin(), self->answered_.end(), w),
                    self->answered_.end());
        } catch (...) {
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void BoxAnswerer::OnActivate(HWND w) {
    char cls[32] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (std::string(cls) != "#32770" ||
        std::find(answered_.begin(), answered_.end(), w) != answered_.end())
        return;
    answered_.push_back(w);
    // The box finishes setting itself up after its activation: look at it from the
    // box's own modal loop a moment later.
    waiting_.push_back(w);
    SetTimer(nullptr, 0, 10, TimerProc);
}

void CALLBACK BoxAnswerer::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    BoxAnswerer* self = g_answerer;
    if (!self)
        return;
    try {
        std::vector<HWND> waiting;
        waiting.swap(self->waiting_);
        for (HWND w : waiting) {
            if (IsWindow(w))
                self->Answer(w);
        }
    } catch (...) {
    }
}

void BoxAnswerer::Answer(HWND w) {
    SeenBox box;
    box.caption = WindowText(w);
    if (HWND s = GetDlgItem(w, 0xFFFF))
        box.text = WindowText(s);
    box.hasYes = GetDlgItem(w, IDYES) != nullptr;
    box.hasNo = GetDlgItem(w, IDNO) != nullptr;
    box.hasOk = GetDlgItem(w, IDOK) != nullptr;
    for (int id : {IDOK, IDYES, IDNO}) {
        HWND b = GetDlgItem(w, id);
        if (b && (GetWindowLongA(b, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
            box.defaultButton = id;
    }
    seen_.push_back(box);

    int button = box.hasNo ? IDNO : box.hasOk ? IDOK : IDCANCEL;
    if (!replies_.empty()) {
        Pending p = replies_.front();
        replies_.erase(replies_.begin());
        if (p.before)
            p.before(w);
        button = p.button;
    }
    PostMessageA(w, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(w, button)));
}

} // namespace testing_shell
