#include "app/main_form.h"

#include "app/main_commands.h"
#include "core/list_rules.h"
#include "win/exception.h"
#include "win/handles.h"
#include "win/message_loop.h"
#include "win/module.h"

namespace {

const char kClassName[] = "TVakoQuitForm";
const char kCaption[] = "ポムッと終了";
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
