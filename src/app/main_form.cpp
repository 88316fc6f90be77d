#include "app/main_form.h"

#include "app/actions.h"
#include "app/command_ids.h"
#include "app/settings_store.h"
#include "core/list_rules.h"
#include "shell/ver_info.h"
#include "win/exception.h"
#include "win/handles.h"
#include "win/message_loop.h"
#include "win/module.h"
#include "win/msgbox.h"

namespace {

const char kClassName[] = "TVakoQuitForm";
const char kCaption[] = "ポムッと終了";
const int kToolBarHeight = 25;
const UINT WM_APP_LOADICONS = WM_APP + 1;
const UINT WM_APP_FIRSTRUN = WM_APP + 2;
const int kViewActions[kViewCount] = {ID_ACT_LARGEICON, ID_ACT_SMALLICON, ID_ACT_LIST,
                                      ID_ACT_REPORT};

} // namespace

TVakoQuitForm::TVakoQuitForm()
    : quit_(std::make_unique<TQuitProcedure>(static_cast<win::Host&>(*this), quitOptions_)),
      enabled_(ActionCount(), false) {}

void TVakoQuitForm::SyncEngineOptions() {
    quitOptions_.QuitTimeout = settings_.QuitTimeout;
    quitOptions_.AllClose = settings_.AllClose;
    quitOptions_.IgnoreMemo = settings_.IgnoreMemo;
    quitOptions_.QuitAtOnce = settings_.QuitAtOnce;
}

void TVakoQuitForm::Create() {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    HICON icon = static_cast<HICON>(LoadImageA(inst, "MAINICON", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    HICON small = static_cast<HICON>(LoadImageA(inst, "MAINICON", IMAGE_ICON, 16, 16, 0));
    RegisterClassOnce(kClassName, icon, small, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));

    // FormCreate: every slot is free as constructed.
    FirstShow = true;
    programPath_ = win::ModulePath();
    settingsPath_ = SettingsPathFor(programPath_);

    mainMenu_ = LoadMenuA(inst, MAKEINTRESOURCEA(IDR_MAINMENU));
    popupMenu_.reset(LoadMenuA(inst, MAKEINTRESOURCEA(IDR_POPUPMENU)));
    accel_.reset(CreateActionAccelerators());
    CreateTop(kClassName, kCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 0, settings_.Width,
              settings_.Height, nullptr, mainMenu_);
    if (!hwnd())
        throw Exception("メインウィンドウを作成できません。");
    win::SetMessageBoxOwner(hwnd());
    ShortcutLink_.Owner = hwnd();
    win::SetAccelerators(hwnd(), accel_.get());
    CreateControls();
    for (int i = 0; i < ActionCount(); ++i)
        EnableAction(Actions()[i].id, true);
    CheckAction(ID_ACT_STATUS, true);
    SetViewStyle(kViewReport);
    UpdateStatus();
    // Files dropped from the shell are added like picked ones; without the drop target
    // the window still works, so a refusal is reported and creation goes on.
    DropTarget.Dragtypes = {dtMove};
    DropTarget.OnDrop = [this](TDropTarget&, TShiftState, POINT, DWORD&) { DropTargetDrop(); };
    try {
        DropTarget.RegisterTarget(FileList.hwnd(), "FileList");
    } catch (...) {
        win::ReportCurrentException();
    }
}

void TVakoQuitForm::CreateControls() {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    int height = -MulDiv(9, GetDeviceCaps(win::WindowDc(nullptr).get(), LOGPIXELSY), 72);
    font_.reset(CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, "ＭＳ Ｐゴシック"));

    CommandImages.reset(ImageList_LoadImageA(inst, MAKEINTRESOURCEA(IDB_COMMANDS), 16, 0,
                                             RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION));
    toolBar_ = CreateActionToolBar(hwnd(), IDC_TOOLBAR, kToolBarHeight, CommandImages.get());
    PrepareActionMenu(mainMenu_);
    PrepareActionMenu(popupMenu_.get());

    FileList.Create(hwnd(), IDC_FILELIST, static_cast<HFONT>(font_.get()), WM_APP_LOADICONS);

    statusBar_ = CreateWindowExA(
        0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, hwnd(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUSBAR)), inst, nullptr);
    SendMessageA(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    int parts[1] = {-1};
    SendMessageA(statusBar_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
    LayoutControls();
}

// The status bar's own visibility: IsWindowVisible also asks the main window, which
// is still hidden while the settings are loaded.
bool TVakoQuitForm::StatusBarShown() const {
    return (GetWindowLongA(statusBar_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void TVakoQuitForm::LayoutControls() {
    RECT rc;
    GetClientRect(hwnd(), &rc);
    MoveWindow(toolBar_, 0, 0, rc.right, kToolBarHeight, TRUE);
    int bottom = rc.bottom;
    if (StatusBarShown()) {
        SendMessageA(statusBar_, WM_SIZE, 0, 0);
        RECT sr;
        GetWindowRect(statusBar_, &sr);
        bottom -= sr.bottom - sr.top;
    }
    MoveWindow(FileList.hwnd(), 0, kToolBarHeight, rc.right,
               bottom > kToolBarHeight ? bottom - kToolBarHeight : 0, TRUE);
}

void TVakoQuitForm::Show(int showCmd) {
    if (!FirstShow) {
        ShowWindow(hwnd(), showCmd);
        return;
    }
    bool loaded = false;
    try {
        FormShow();
        loaded = true;
    } catch (...) {
        win::ReportCurrentException();
    }
    ShowWindow(hwnd(), showCmd);
    UpdateWindow(hwnd());
    if (loaded) {
        try {
            RunCommandLineStep(commandLine_, *this);
        } catch (...) {
            win::ReportCurrentException();
        }
    }
    FirstShow = false;
}

void TVakoQuitForm::FormShow() {
    LoadSettings();
    BuildList();
    commandLine_ = ParseCommandLine(ProcessArguments());
    commandLineRun_ = IsCommandLineRun(commandLine_, *this);
}

void TVakoQuitForm::FormActivate() {
    if (FirstRun_ && !commandLineRun_ && !firstRunPosted_) {
        // The greeting runs from the queue, not from inside the activation.
        firstRunPosted_ = true;
        PostMessageA(hwnd(), WM_APP_FIRSTRUN, 0, 0);
    }
}

void TVakoQuitForm::FormCloseQuery() {
    try {
        SaveSettings();
    } catch (...) {
        win::ReportCurrentException();
    }
    try {
        DropTarget.UnregisterTarget();
    } catch (...) {
        win::ReportCurrentException();
    }
}

// Each dropped file in turn, as if picked in the open dialog: a refusal box is
// answered before the next file is looked at.
void TVakoQuitForm::DropTargetDrop() {
    std::vector<std::string> files = DropTarget.DroppedFiles;
    for (const std::string& file : files)
        ::AddProgram(static_cast<RegistrationHost&>(*this), file);
}

void TVakoQuitForm::FormResize() {
    LayoutControls();
    FileList.Arrange();
}

void TVakoQuitForm::LoadSettings() {
    std::string bytes;
    std::string error;
    if (ReadSettingsFile(settingsPath_, bytes, error) == SettingsRead::Failed) {
        settingsUnreadable_ = true;
        win::ErrorBox(hwnd(), error);
    }
    IniFile ini;
    ini.Parse(bytes);
    // The window keys default to 0, 0, 313, 277, not to where the system put the
    // window; the columns default to their current widths.
    TSettings s;
    s.Columns = FileList.ColumnWidths();
    // A file that is there but unreadable is no first start: no greeting, no import.
    FirstRun_ = ReadSettings(ini, s, ProgTable) && !settingsUnreadable_;
    settings_ = s;

    SetWindowPos(hwnd(), nullptr, s.XPos, s.YPos, s.Width, s.Height, SWP_NOZORDER | SWP_NOACTIVATE);
    // The widths first: the view keeps them whichever it is.
    FileList.SetColumnWidths(s.Columns);
    SetViewStyle(s.View);
    ShowWindow(statusBar_, s.Status ? SW_SHOW : SW_HIDE);
    CheckAction(ID_ACT_STATUS, s.Status);
    LayoutControls();
    WriteSettingsFile(ini.Serialize());
}

void TVakoQuitForm::SaveSettings() {
    if (settingsUnreadable_)
        return;
    std::string bytes;
    std::string error;
    const SettingsRead read = ReadSettingsFile(settingsPath_, bytes, error);
    if (read == SettingsRead::Failed) {
        // Saving from an empty model would drop whatever of the file the program does
        // not know; a file others hold locked refuses its replacement anyway.
        if (!saveErrorShown_) {
            saveErrorShown_ = true;
            win::ErrorBox(hwnd(), error);
        }
        return;
    }
    IniFile ini;
    ini.Parse(bytes);
    RECT rc;
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    if (IsIconic(hwnd()) && GetWindowPlacement(hwnd(), &wp))
        rc = wp.rcNormalPosition; // a minimised window's own rectangle lies off the screen
    else
        GetWindowRect(hwnd(), &rc);
    settings_.XPos = rc.left;
    settings_.YPos = rc.top;
    settings_.Width = rc.right - rc.left;
    settings_.Height = rc.bottom - rc.top;
    settings_.View = FileList.ViewStyle();
    settings_.Status = StatusBarShown();
    settings_.Columns = FileList.ColumnWidths();
    std::string version;
    if (!FirstRun_) {
        try {
            version = OwnProductVersion();
        } catch (const EVerInfo&) {
            // The save must not fail for it: the build knows its own version.
            version = VAKO_PRODUCT_VERSION;
        }
    }
    WriteSettings(ini, settings_, version, FileList.RecordsInListOrder());
    WriteSettingsFile(ini.Serialize());
}

void TVakoQuitForm::WriteSettingsFile(const std::string& bytes) {
    if (settingsUnreadable_)
        return; // the next start is to read the intact file
    std::string error;
    if (!WriteFileSafely(settingsPath_, bytes, error) && !saveErrorShown_) {
        // Once is enough: the same folder will refuse the next save as well.
        saveErrorShown_ = true;
        win::ErrorBox(hwnd(), error);
    }
}

void TVakoQuitForm::BuildList() {
    FileList.BuildList(ProgTable);
    UpdateStatus();
}

void TVakoQuitForm::AppendEntry(TProgInfo& record) {
    FileList.AppendEntry(record);
}

void TVakoQuitForm::SetBusy(bool enabled) {
    busy_ = !enabled;
    for (int i = 0; i < ActionCount(); ++i) {
        if (Actions()[i].busyDisables)
            EnableAction(Actions()[i].id, enabled);
    }
    SetCursor(LoadCursorA(nullptr, enabled ? IDC_ARROW : IDC_WAIT));
    if (enabled) {
        UpdateStatus();
        if (closePending_) {
            closePending_ = false;
            PostMessageA(hwnd(), WM_CLOSE, 0, 0);
        }
    }
}

void TVakoQuitForm::UpdateStatus() {
    if (FileList.Building())
        return;
    int selected = FileList.SelectedCount();
    if (!busy_) {
        for (int i = 0; i < ActionCount(); ++i) {
            if (Actions()[i].needsSelection)
                EnableAction(Actions()[i].id, selected > 0);
        }
    }
    SetStatusText(SelectionStatusText(FileList.Count(), selected, FileList.SingleSelected()));
}

void TVakoQuitForm::SetStatusText(const std::string& s) {
    SendMessageA(statusBar_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(s.c_str()));
    UpdateWindow(statusBar_);
}

bool TVakoQuitForm::IsActionEnabled(int id) const {
    const TAction* action = FindAction(id);
    return action && enabled_[action - Actions()];
}

void TVakoQuitForm::EnableAction(int id, bool enabled) {
    const TAction* action = FindAction(id);
    if (!action)
        return;
    // An action without a handler in this build stays disabled.
    enabled = enabled && action->execute;
    enabled_[action - Actions()] = enabled;
    UINT flags = MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(mainMenu_, id, flags);
    EnableMenuItem(popupMenu_.get(), id, flags);
    SendMessageA(toolBar_, TB_ENABLEBUTTON, id, MAKELPARAM(enabled ? TRUE : FALSE, 0));
}

void TVakoQuitForm::CheckAction(int id, bool checked) {
    CheckMenuItem(mainMenu_, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void TVakoQuitForm::SetViewStyle(int view) {
    FileList.SetViewStyle(view);
    int shown = FileList.ViewStyle();
    for (int i = 0; i < kViewCount; ++i)
        CheckAction(kViewActions[i], i == shown);
}

void TVakoQuitForm::ShowPopupMenu(LPARAM lp) {
    POINT pt = FileList.PopupPoint(lp);
    TrackPopupMenu(GetSubMenu(popupMenu_.get(), 0), TPM_RIGHTBUTTON, pt.x, pt.y, 0, hwnd(),
                   nullptr);
}

void TVakoQuitForm::OnCommand(int id) {
    const TAction* action = FindAction(id);
    if (!action || !action->execute || !IsActionEnabled(id))
        return;
    SyncEngineOptions();
    (this->*action->execute)();
}

LRESULT TVakoQuitForm::OnNotify(NMHDR* hdr) {
    if (hdr->hwndFrom == FileList.hwnd()) {
        if (FileList.OnNotify(hdr))
            UpdateStatus();
    } else {
        AnswerActionHint(hdr);
    }
    return 0;
}

LRESULT TVakoQuitForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (HIWORD(wp) == 0 || HIWORD(wp) == 1)
            OnCommand(LOWORD(wp));
        return 0;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lp));
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
        if (HandleActionPicture(msg, lp, CommandImages.get()))
            return TRUE;
        break;
    case WM_SIZE:
        FormResize();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE)
            FormActivate();
        break;
    case WM_SETFOCUS:
        SetFocus(FileList.hwnd());
        return 0;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wp) == FileList.hwnd()) {
            ShowPopupMenu(lp);
            return 0;
        }
        break;
    case WM_SETCURSOR:
        if (busy_) {
            SetCursor(LoadCursorA(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_APP_LOADICONS:
        FileList.LoadPendingIcons();
        return 0;
    case WM_APP_FIRSTRUN:
        ::FirstStartStep(static_cast<RegistrationHost&>(*this));
        return 0;
    case WM_CLOSE:
        if (busy_) {
            // A run in progress finishes first; the window closes when it ends.
            closePending_ = true;
            return 0;
        }
        FormCloseQuery();
        DestroyWindow(hwnd());
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE; // never hold up the end of the session
    case WM_ENDSESSION:
        // Logging off or shutting down ends the process without a WM_CLOSE: save
        // now, or whatever changed since the last close is lost.
        if (wp)
            FormCloseQuery();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefaultProc(msg, wp, lp);
}

std::string TVakoQuitForm::ReadShortcutTarget(const std::string& path) {
    ShortcutLink_.ShortcutFile = path;
    ShortcutLink_.Target.clear(); // a shortcut the shell hands back unread names nothing
    ShortcutLink_.ReadShortcut();
    return ShortcutLink_.Target;
}

void TVakoQuitForm::RunQuitAll() {
    OnCommand(ID_ACT_ALLQUIT);
}

void TVakoQuitForm::RunRunAll() {
    OnCommand(ID_ACT_ALLRUN);
}

void TVakoQuitForm::CloseMainWindow() {
    PostMessageA(hwnd(), WM_CLOSE, 0, 0);
}
