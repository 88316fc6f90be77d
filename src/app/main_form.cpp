#include "app/main_form.h"

#include "app/main_commands.h"
#include "core/display_scale.h"
#include "core/list_rules.h"
#include "win/display.h"
#include "win/exception.h"
#include "win/handles.h"
#include "win/message_loop.h"
#include "win/module.h"

namespace {

const char kClassName[] = "TVakoQuitForm";
const char kCaption[] = "ポムッと終了";
const int kToolBarHeight = 25; // at 96 DPI
const UINT WM_APP_LOADICONS = WM_APP + 1;
const UINT WM_APP_FIRSTRUN = WM_APP + 2;
// Sent to a per-monitor aware window whose DPI changed; the headers, set for older
// Windows, do not declare it.
const UINT kWmDpiChanged = 0x02E0;
const int kViewActions[kViewCount] = {ID_ACT_LARGEICON, ID_ACT_SMALLICON, ID_ACT_LIST,
                                      ID_ACT_REPORT};

} // namespace

TVakoQuitForm::TVakoQuitForm() : model_(win::ModulePath()) {}

void TVakoQuitForm::Create() {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    HICON icon = static_cast<HICON>(LoadImageA(inst, "MAINICON", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    HICON small =
        static_cast<HICON>(LoadImageA(inst, "MAINICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                      GetSystemMetrics(SM_CYSMICON), 0));
    RegisterClassOnce(kClassName, icon, small, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));

    actions_.LoadMenus();
    const TSettings& s = model_.Settings;
    CreateTop(kClassName, kCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 0, s.Width,
              s.Height, nullptr, actions_.MainMenu());
    if (!hwnd())
        throw Exception("メインウィンドウを作成できません。");
    win::SetMessageBoxOwner(hwnd());
    ShortcutLink_.Owner = hwnd();
    win::SetAccelerators(hwnd(), actions_.Accelerators());
    CreateControls();
    actions_.Check(ID_ACT_STATUS, true);
    SetViewStyle(kViewReport);
    UpdateStatus();
    // Files dropped from the shell are added like picked ones; without the drop target
    // the window still works, so a refusal is reported and creation goes on.
    DropTarget.Dragtypes = {dtMove};
    DropTarget.OnDrop = [this](TDropTarget&, TShiftState, POINT, DWORD&) {
        DropTargetDrop(*this, DropTarget.DroppedFiles);
    };
    try {
        DropTarget.RegisterTarget(FileList.hwnd(), "FileList");
    } catch (...) {
        win::ReportCurrentException();
    }
}

void TVakoQuitForm::MakeFont() {
    font_.reset(CreateFontA(-MulDiv(9, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                            SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "ＭＳ Ｐゴシック"));
}

void TVakoQuitForm::CreateControls() {
    dpi_ = win::WindowDpi(hwnd());
    MakeFont();

    actions_.CreateToolBar(hwnd(), IDC_TOOLBAR, scale::ToPixels(kToolBarHeight, dpi_), dpi_);

    FileList.Create(hwnd(), IDC_FILELIST, static_cast<HFONT>(font_.get()), WM_APP_LOADICONS, dpi_);

    statusBar_.Create(hwnd(), IDC_STATUSBAR, static_cast<HFONT>(font_.get()));
    LayoutControls();
}

void TVakoQuitForm::ShowStatusBar(bool shown) {
    statusBar_.Show(shown);
    actions_.Check(ID_ACT_STATUS, shown);
    LayoutControls();
}

void TVakoQuitForm::ToggleStatusBar() {
    ShowStatusBar(!statusBar_.Shown());
}

void TVakoQuitForm::LayoutControls() {
    RECT rc;
    GetClientRect(hwnd(), &rc);
    const int toolBar = scale::ToPixels(kToolBarHeight, dpi_);
    MoveWindow(actions_.ToolBar(), 0, 0, rc.right, toolBar, TRUE);
    const int bottom = rc.bottom - statusBar_.Fit();
    MoveWindow(FileList.hwnd(), 0, toolBar, rc.right, bottom > toolBar ? bottom - toolBar : 0,
               TRUE);
}

void TVakoQuitForm::OnDpiChanged(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    // The controls let go of the old font before it is deleted.
    win::GdiObject oldFont(font_.release());
    MakeFont();
    SendMessageA(FileList.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    SendMessageA(statusBar_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    actions_.SetDpi(dpi);
    FileList.SetDpi(dpi);
    SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutControls();
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
            exitCode_ = CommandLineExitCode(RunCommandLineStep(commandLine_, *this));
        } catch (...) {
            win::ReportCurrentException();
        }
    }
    FirstShow = false;
}

void TVakoQuitForm::FormShow() {
    // The window keys default to 0, 0, 313, 277, not to where the system put the
    // window; the columns default to their current widths.
    model_.Settings.Columns = FileList.StoredColumnWidths();
    model_.Load(hwnd());
    ApplySettings(model_.Settings);
    BuildList();
    commandLine_ = ParseCommandLine(ProcessArguments());
    commandLineRun_ = IsCommandLineRun(commandLine_, *this);
}

void TVakoQuitForm::ApplySettings(const TSettings& s) {
    const int x = scale::ToPixels(s.XPos, dpi_);
    const int y = scale::ToPixels(s.YPos, dpi_);
    // A place saved on a monitor that is gone would open the window where nobody
    // sees it.
    const RECT rc = win::PlaceOnMonitor(
        RECT{x, y, x + scale::ToPixels(s.Width, dpi_), y + scale::ToPixels(s.Height, dpi_)});
    SetWindowPos(hwnd(), nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // The widths first: the view keeps them whichever it is. The move may have
    // taken the window to a monitor of another scale.
    FileList.SetStoredColumnWidths(s.Columns);
    SetViewStyle(s.View);
    ShowStatusBar(s.Status);
}

void TVakoQuitForm::FormActivate() {
    if (model_.FirstRun && !commandLineRun_ && !firstRunPosted_) {
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

void TVakoQuitForm::SaveSettings() {
    TSettings& s = model_.Settings;
    const RECT rc = win::NormalWindowRect(hwnd());
    s.XPos = scale::ToStored(rc.left, dpi_);
    s.YPos = scale::ToStored(rc.top, dpi_);
    s.Width = scale::ToStored(rc.right - rc.left, dpi_);
    s.Height = scale::ToStored(rc.bottom - rc.top, dpi_);
    s.View = FileList.ViewStyle();
    s.Status = statusBar_.Shown();
    s.Columns = FileList.StoredColumnWidths();
    model_.Save(hwnd(), FileList.RecordsInListOrder());
}

void TVakoQuitForm::BuildList() {
    FileList.BuildList(model_.ProgTable);
    UpdateStatus();
}

// As designed, the argument says whether the actions are enabled: false while a
// long command runs.
void TVakoQuitForm::SetBusy(bool enabled) {
    busy_ = !enabled;
    FileList.PauseIcons(busy_);
    SetCursor(LoadCursorA(nullptr, busy_ ? IDC_WAIT : IDC_ARROW));
    if (busy_) {
        actions_.Apply(true, FileList.SelectedCount() > 0);
        return;
    }
    UpdateStatus();
    if (closePending_) {
        closePending_ = false;
        PostMessageA(hwnd(), WM_CLOSE, 0, 0);
    }
}

void TVakoQuitForm::UpdateStatus() {
    if (FileList.Building())
        return;
    const int selected = FileList.SelectedCount();
    actions_.Apply(busy_, selected > 0);
    SetStatusText(SelectionStatusText(FileList.Count(), selected, FileList.SingleSelected()));
}

void TVakoQuitForm::SetViewStyle(int view) {
    FileList.SetViewStyle(view);
    const int shown = FileList.ViewStyle();
    for (int i = 0; i < kViewCount; ++i)
        actions_.Check(kViewActions[i], i == shown);
}

void TVakoQuitForm::OnCommand(int id) {
    const TAction* action = FindAction(id);
    if (action && actions_.IsEnabled(id))
        action->Execute(*this);
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
        if (actions_.HandlePicture(msg, lp))
            return TRUE;
        break;
    case kWmDpiChanged:
        OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
        return 0;
    case WM_SIZE:
        LayoutControls();
        FileList.Arrange();
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
            actions_.ShowPopup(hwnd(), FileList.PopupPoint(lp));
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
        PostQuitMessage(exitCode_);
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
