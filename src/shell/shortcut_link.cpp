#include "shell/shortcut_link.h"

#include <shlobj.h>
#include <shobjidl.h>

#include "shell/com.h"
#include "win/ansi_path.h"

namespace {

// Every text read from a shortcut passes through a buffer of this many characters.
constexpr int kBufferSize = MAX_PATH;

// How long the shell may look for a moved target. Without a bound it waits for a
// network share or a removable drive that is not there; without SLR_NO_UI it opens
// its search dialog, which nobody expects from an import.
constexpr DWORD kResolveTimeoutMs = 1000;
constexpr DWORD kResolveFlags =
    static_cast<DWORD>(SLR_ANY_MATCH) | static_cast<DWORD>(SLR_NO_UI) | (kResolveTimeoutMs << 16);

// Raises `message` unless the call returned exactly S_OK (S_FALSE is a failure here).
void Require(HRESULT hr, const char* message) {
    if (hr != S_OK)
        throw EShortcutError(message);
}

// The target as the shortcut names it, whole. Wine keeps a path in the file only as
// the code page spells it and answers GetPath from that, best fit and all (Windows
// keeps it in UTF-16 too); the item ID list holds the name whole. It is taken only
// where the path does not exist and the list's does.
std::wstring WholeTarget(IShellLinkW* link, const wchar_t* path) {
    if (!*path || GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES)
        return path;
    LPITEMIDLIST pidl = nullptr;
    if (link->GetIDList(&pidl) != S_OK || !pidl)
        return path;
    wchar_t fromList[MAX_PATH] = L"";
    const BOOL ok = SHGetPathFromIDListW(pidl, fromList);
    CoTaskMemFree(pidl);
    if (ok && GetFileAttributesW(fromList) != INVALID_FILE_ATTRIBUTES)
        return fromList;
    return path;
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
    std::wstring widePath = win::WideFromAnsi(ShortcutFile);
    Require(file->Load(widePath.c_str(), STGM_READ), "Unable to open link file");
    // The system may look for a moved target itself, quietly and for a bounded time.
    if (link->Resolve(nullptr, kResolveFlags) != S_OK)
        return;

    // The two paths are read whole: the ANSI calls would hand back a best-fit
    // spelling of a name the code page lacks, a file that does not exist.
    ComPtr<IShellLinkW> wideLink;
    if (FAILED(link.As(IID_IShellLinkW, wideLink)))
        return;
    Unstorable.clear();
    wchar_t wbuf[kBufferSize];
    wbuf[0] = L'\0';
    Require(wideLink->GetWorkingDirectory(wbuf, kBufferSize), "Error in getting WorkingDir");
    const std::wstring wideWork(wbuf);
    const win::AnsiPath work = win::StorablePath(wideWork);
    WorkingDir = work.Path;

    WIN32_FIND_DATAW found;
    wbuf[0] = L'\0';
    Require(wideLink->GetPath(wbuf, kBufferSize, &found, SLGP_UNCPRIORITY),
            "Error in getting Target");
    const std::wstring wideTarget = WholeTarget(wideLink.Get(), wbuf);
    const win::AnsiPath target = win::StorablePath(wideTarget);
    Target = target.Path;
    // A shortcut whose target or folder cannot be kept gives neither: it cannot be
    // used, and the name that stands in the way is told, the program's first.
    if (target.Kind == win::AnsiPathKind::None)
        Unstorable = win::BestFitAnsi(wideTarget);
    else if (work.Kind == win::AnsiPathKind::None)
        Unstorable = win::BestFitAnsi(wideWork);
    if (!Unstorable.empty()) {
        WorkingDir.clear();
        Target.clear();
    }

    char buf[kBufferSize];
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
    Unstorable = fresh.Unstorable;
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
    std::wstring widePath = win::WideFromAnsi(ShortcutFile);
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
    // Below a user folder whose name the code page lacks, only the short form names it.
    wchar_t buf[MAX_PATH];
    buf[0] = L'\0';
    BOOL ok = SHGetPathFromIDListW(pidl, buf);
    CoTaskMemFree(pidl);
    const win::AnsiPath kept = win::StorablePath(ok ? buf : L"");
    if (!kept.Path.empty())
        dir = kept.Path;
}
