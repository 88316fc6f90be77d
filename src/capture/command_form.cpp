#include "capture/command_form.h"

#include "capture/command_form_ids.h"
#include "core/quit_command.h"
#include "hook/vako_hook.h"
#include "win/app_window.h"
#include "win/msgbox.h"
#include "win/window_text.h"

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerMs = 200;
// How long the thread waits after passing a command on, with the hook letting
// everything through, so that the target takes the command unreported.
constexpr DWORD kPassOnMs = 200;
constexpr int kClientWidth = 240;
constexpr int kClientHeight = 112;

const char kInstruction[] = "アプリを終了させれば自動的に閉じます。";
const char kNoCommand[] =
    "終了コマンドを取得できませんでした。\n"
    "別の方法で終了させてみてください。\n"
    "または、終了させるためのコマンドパラメータが存在しないかどうか調べてみてください。";

} // namespace

std::string GetWindowIdent(HWND w) {
    // Both at most 255 characters; which of the two names the window is the
    // string's own rule.
    return WindowIdent(win::ClassName(w), win::WindowText(w));
}

TVakoCommandForm::TVakoCommandForm(capture::THookInstaller* installer)
    : installer_(installer ? installer : &ownInstaller_) {}

TVakoCommandForm::~TVakoCommandForm() {
    // Also when the run ended without a close request (the program is quitting):
    // the hook and the filter never outlive the dialog.
    FormCloseQuery();
}

void TVakoCommandForm::SetImage(HICON icon) {
    image_.reset(icon ? CopyIcon(icon) : nullptr);
}

void TVakoCommandForm::SetProgLabel(const std::string& name) {
    progLabel_ = name;
}

void TVakoCommandForm::ShowModal(HWND owner) {
    RunModal(owner, IDD_VAKOCOMMANDFORM);
    FormCloseQuery();
}

void TVakoCommandForm::OnInit() {
    SetClientSize(kClientWidth, kClientHeight);
    CenterOnScreen();
    if (image_)
        SendDlgItemMessageA(hwnd(), IDC_CMD_IMAGE, STM_SETICON,
                            reinterpret_cast<WPARAM>(image_.get()), 0);
    SetItemText(IDC_CMD_PROGLABEL, progLabel_);
    FormShow();
}

void TVakoCommandForm::FormShow() {
    // The message numbers are known before the filter can see a report.
    CommandMsg = RegisterWindowMessageA(GetHookMsgString1());
    SysCommandMsg = RegisterWindowMessageA(GetHookMsgString2());
    win::AllowApplicationMessage(CommandMsg);
    win::AllowApplicationMessage(SysCommandMsg);
    std::string error;
    hooked_ = true;
    if (!installer_->Install(win::ApplicationWindow(), TargetWnd, &error))
        MessageBoxA(hwnd(), error.c_str(), win::ApplicationTitle(), MB_OK);
    savedFilter_ = win::CurrentMessageFilter();
    win::SetMessageFilter([this](MSG& msg) { return AppMessage(msg); });
    filterInstalled_ = true;
    SetMessagePanel(kInstruction);
    Captured = false;
    SetTimer(hwnd(), kTimerId, kTimerMs, nullptr);
}

bool TVakoCommandForm::AppMessage(MSG& msg) {
    UINT passOn;
    if (CommandMsg && msg.message == CommandMsg) {
        passOn = WM_COMMAND;
    } else if (SysCommandMsg && msg.message == SysCommandMsg) {
        passOn = WM_SYSCOMMAND;
    } else {
        return false;
    }
    HWND w = reinterpret_cast<HWND>(msg.wParam);
    // The hook reports the command's wParam; a 32-bit value even in a 64-bit build.
    auto value = static_cast<uint32_t>(msg.lParam);
    SetMessagePanel(QuitCommandString(passOn, value, GetWindowIdent(w)));
    ChangeNullHook(0);
    PostMessageA(w, passOn, value, 0);
    Sleep(kPassOnMs);
    ChangeNullHook(1);
    Captured = true;
    return true;
}

void TVakoCommandForm::TimerTimer() {
    if (IsWindow(TargetWnd))
        return;
    KillTimer(hwnd(), kTimerId);
    if (!Captured)
        win::ErrorBox(hwnd(), kNoCommand);
    End(IDOK);
}

void TVakoCommandForm::AbortButtonClick() {
    Captured = false;
    End(IDCANCEL);
}

bool TVakoCommandForm::OnCommand(int id, int code, HWND) {
    if (id == IDC_CMD_ABORT && code == BN_CLICKED)
        AbortButtonClick();
    // Enter and Esc do nothing: neither button is the dialog's default or cancel
    // button, so that a stray key neither ends nor throws away a capture.
    return true;
}

void TVakoCommandForm::OnCancel() {
    // The close box: ends the capture, keeping what was captured.
    End(IDCANCEL);
}

bool TVakoCommandForm::CanClose(INT_PTR) {
    FormCloseQuery();
    return true;
}

INT_PTR TVakoCommandForm::OnMessage(UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_TIMER && wp == kTimerId) {
        TimerTimer();
        return TRUE;
    }
    return FALSE;
}

void TVakoCommandForm::FormCloseQuery() {
    if (hwnd())
        KillTimer(hwnd(), kTimerId);
    if (hooked_) {
        hooked_ = false;
        installer_->Remove();
    }
    if (filterInstalled_) {
        filterInstalled_ = false;
        win::SetMessageFilter(std::move(savedFilter_));
        savedFilter_ = nullptr;
    }
}

void TVakoCommandForm::SetMessagePanel(const std::string& text) {
    panel_ = text;
    SetItemText(IDC_CMD_MESSAGEPANEL, text);
}
