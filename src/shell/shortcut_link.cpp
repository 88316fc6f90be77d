#include "shell/shortcut_link.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "shell/com.h"

namespace {

// Every text read from a shortcut passes through a buffer of this many characters.
constexpr int kBufferSize = MAX_PATH;

// How long the shell may look for a moved target. Without a bound it waits for a
// network share or a removable drive that is not there; without SLR_NO_UI it opens
// its search dialog, which nobody expects from an import.
constexpr DWORD kResolveTimeoutMs = 1000;
constexpr DWORD kResolveFlags =
    static_cast<DWORD>(SLR_ANY_MATCH) | static_cast<DWORD>(SLR_NO_UI) | (kResolveTimeoutMs << 16);

std::wstring ToWide(const std::string& s) {
    int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::vector<wchar_t> buf(n);
    MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, buf.data(), n);
    return std::wstring(buf.data());
}

// Raises `message` unless the call returned exactly S_OK (S_FALSE is a failure here).
void Require(HRESULT hr, const char* message) {
    if (hr != S_OK)
        throw EShortcutError(message);
}

} // namespace

TShortcutLink::TShortcutLink() {
    SetHotKey(" ");
}

std::string TShortcutLink::HotKey() const {
    if (hotKeyCode_ == 0)
        hotKeyCode_ = 32;
    return shortcut::HotKeyTextFromCode(hotKeyCode_);
}

void TShortcutLink::SetHotKey(const std::string& text) {
    hotKeyCode_ = shortcut::HotKeyCodeFromText(text);
    hotKeyWord_ = 0;
}

void TShortcutLink::ReadShortcut() {
    ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.PutVoid())))
        return;
    ComPtr<IPersistFile> file;
    if (FAILED(link.As(IID_IPersistFile, file)))
        return;

    // The whole path goes to the shell; whether an overlong one opens is its business.
    std::wstring widePath = ToWide(ShortcutFile);
    Require(file->Load(widePath.c_str(), STGM_READ), "Unable to open link file");
    // The system may look for a moved target itself, quietly and for a bounded time.
    if (link->Resolve(nullptr, kResolveFlags) != S_OK)
        return;

    char buf[kBufferSize];
    buf[0] = '\0';
    Require(link->GetWorkingDirectory(buf, kBufferSize), "Error in getting WorkingDir");
    WorkingDir = buf;

    WIN32_FIND_DATAA found;
    buf[0] = '\0';
    Require(link->GetPath(buf, kBufferSize, &found, SLGP_UNCPRIORITY), "Error in getting Target");
    Target = buf;

    int iconIndex = 0;
    buf[0] = '\0';
    Require(link->GetIconLocation(buf, kBufferSize, &iconIndex), "Error in getting icon data");
    IconLocation = buf;
    IconNumber = static_cast<uint16_t>(iconIndex & 0xFFFF);

    buf[0] = '\0';
    Require(link->GetDescription(buf, kBufferSize), "Error in get Description");
    Description = buf;

    int show = 0;
    Require(link->GetShowCmd(&show), "Error in getting ShowCmd");
    showCmd_ = show;

    WORD key = 0;
    Require(link->GetHotkey(&key), "Error in geting HotKey");
    // Only the key survives: its modifiers are dropped, and writing adds Ctrl+Alt.
    SetHotKey(key == 0 ? std::string(" ") : std::string(1, static_cast<char>(key & 0xFF)));

    buf[0] = '\0';
    Require(link->GetArguments(buf, kBufferSize), "Error in getting Arguments");
    Arguments = buf;
}

void TShortcutLink::ClearReadValues() {
    const TShortcutLink fresh;
    Target = fresh.Target;
    WorkingDir = fresh.WorkingDir;
    Description = fresh.Description;
    Arguments = fresh.Arguments;
    IconLocation = fresh.IconLocation;
    IconNumber = fresh.IconNumber;
    hotKeyCode_ = fresh.hotKeyCode_;
    hotKeyWord_ = fresh.hotKeyWord_;
    showCmd_ = fresh.showCmd_;
}

bool TShortcutLink::Read(const std::string& file) {
    ShortcutFile = file;
    ClearReadValues();
    try {
        ReadShortcut();
    } catch (const EShortcutError&) {
        ClearReadValues();
        return false;
    }
    // Returning early from ReadShortcut leaves the cleared values: no target.
    return !Target.empty();
}

void TShortcutLink::WriteShortcut() {
    ComPtr<IUnknown> object;
    OleCheck(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                              IID_IUnknown, object.PutVoid()));
    ComPtr<IShellLinkA> link;
    OleCheck(object.As(IID_IShellLinkA, link));

    link->SetPath(Target.c_str());
    link->SetWorkingDirectory(WorkingDir.c_str());
    link->SetArguments(Arguments.c_str());
    link->SetDescription(Description.c_str());
    link->SetShowCmd(showCmd_);
    if (hotKeyWord_ != 0)
        link->SetHotkey(hotKeyWord_);
    else if (hotKeyCode_ > 32)
        link->SetHotkey(static_cast<WORD>(hotKeyCode_ | ((HOTKEYF_CONTROL | HOTKEYF_ALT) << 8)));
    link->SetIconLocation(IconLocation.c_str(), IconNumber);

    ComPtr<IPersistFile> file;
    OleCheck(link.As(IID_IPersistFile, file));
    std::wstring widePath = ToWide(ShortcutFile);
    Require(file->Save(widePath.c_str(), TRUE), "Unable to create .lnk file");
}

void TShortcutLink::GetDesktopDir(std::string& dir) const {
    GetSpecialDir(CSIDL_DESKTOPDIRECTORY, dir);
}

void TShortcutLink::GetStartupDir(std::string& dir) const {
    GetSpecialDir(CSIDL_STARTUP, dir);
}

void TShortcutLink::GetSpecialDir(int csidl, std::string& dir) const {
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(Owner, csidl, &pidl)) || !pidl)
        return;
    char buf[MAX_PATH];
    buf[0] = '\0';
    BOOL ok = SHGetPathFromIDListA(pidl, buf);
    CoTaskMemFree(pidl);
    if (ok && buf[0] != '\0')
        dir = buf;
}
