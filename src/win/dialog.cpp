#include "win/dialog.h"

#include "win/display.h"
#include "win/exception.h"
#include "win/message_loop.h"
#include "win/window_text.h"

#include <vector>

namespace win {

Dialog::~Dialog() {
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
        DestroyWindow(hwnd_);
    }
}

INT_PTR Dialog::RunModal(HWND owner, int templateId) {
    done_ = false;
    result_ = IDCANCEL;
    // The owner is disabled before the dialog exists, so that nothing reaches it from
    // the dialog's set-up on; the dialog's handlers can count on a modal state.
    bool ownerDisabled = false;
    if (owner && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        ownerDisabled = true;
    }
    HWND dlg = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), owner,
                                  StaticProc, reinterpret_cast<LPARAM>(this));
    if (!dlg) {
        if (ownerDisabled)
            EnableWindow(owner, TRUE);
        throw Exception("ダイアログを作成できません");
    }
    // A dialog ended from OnInit never shows.
    if (!done_) {
        AddDialog(dlg, [this](MSG& msg) { return PreTranslate(msg); });
        ShowWindow(dlg, SW_SHOW);
        while (!done_ && IsWindow(dlg)) {
            if (!HandleNextMessage()) {
                done_ = true;
                result_ = IDCANCEL;
            }
        }
        RemoveDialog(dlg);
    }
    // The owner is enabled before the dialog goes, so that the activation returns to
    // it instead of to some other program's window.
    if (ownerDisabled)
        EnableWindow(owner, TRUE);
    if (IsWindow(dlg)) {
        SetWindowLongPtrA(dlg, DWLP_USER, 0);
        DestroyWindow(dlg);
    }
    hwnd_ = nullptr;
    return result_;
}

bool Dialog::OnCommand(int id, int, HWND) {
    switch (id) {
    case IDOK:
        OnOk();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    default:
        return false;
    }
}

bool Dialog::CanClose(INT_PTR) {
    return true;
}

INT_PTR Dialog::OnMessage(UINT, WPARAM, LPARAM) {
    return FALSE;
}

void Dialog::End(INT_PTR result) {
    if (done_ || !CanClose(result))
        return;
    result_ = result;
    done_ = true;
    // End may run inside a message sent from another thread or process, which the
    // loop handles while it waits for a posted one: wake it so that it sees the end.
    if (hwnd_)
        PostMessageA(hwnd_, WM_NULL, 0, 0);
}

std::string Dialog::ItemText(int id) const {
    return WholeWindowText(Item(id));
}

void Dialog::SetItemText(int id, const std::string& text) {
    SetDlgItemTextA(hwnd_, id, text.c_str());
}

bool Dialog::Checked(int id) const {
    return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED;
}

void Dialog::SetChecked(int id, bool checked) {
    CheckDlgButton(hwnd_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void Dialog::EnableItem(int id, bool enabled) {
    EnableWindow(Item(id), enabled ? TRUE : FALSE);
}

void Dialog::CenterOnScreen() {
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    RECT o = {};
    RECT work = {};
    if (owner && GetWindowRect(owner, &o))
        work = MonitorWorkArea(o);
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    CenterOnRect(work);
}

void Dialog::CenterOn(HWND other) {
    RECT o = {};
    if (!other || !IsWindowVisible(other) || IsIconic(other) || !GetWindowRect(other, &o)) {
        CenterOnScreen();
        return;
    }
    CenterOnRect(o);
}

void Dialog::CenterOnRect(const RECT& area) {
    RECT r = {};
    GetWindowRect(hwnd_, &r);
    const scale::Rect placed = scale::CenterInside(
        r.right - r.left, r.bottom - r.top, ToScaleRect(area), ToScaleRect(MonitorWorkArea(area)));
    SetWindowPos(hwnd_, nullptr, placed.left, placed.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Dialog::CenterOnOwner() {
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    RECT o = {};
    if (!owner || !GetWindowRect(owner, &o)) {
        CenterOnScreen();
        return;
    }
    CenterOnRect(o);
}

void Dialog::SetClientSize(int width, int height) {
    const int dpi = WindowDpi(hwnd_);
    width = scale::ToPixels(width, dpi);
    height = scale::ToPixels(height, dpi);
    RECT natural = {};
    GetClientRect(hwnd_, &natural);
    if (natural.right > 0 && natural.bottom > 0) {
        std::vector<HWND> children;
        for (HWND c = GetWindow(hwnd_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            children.push_back(c);
        for (HWND c : children) {
            RECT r = {};
            GetWindowRect(c, &r);
            MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
            int h = r.bottom - r.top;
            // A drop-down list's window height is that of its open list; its closed
            // height follows the font.
            if (lstrcmpiA(ClassName(c).c_str(), "ComboBox") == 0) {
                RECT dropped = {};
                SendMessageA(c, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
                h = dropped.bottom - dropped.top;
            }
            int left = MulDiv(r.left, width, natural.right);
            int top = MulDiv(r.top, height, natural.bottom);
            int right = MulDiv(r.right, width, natural.right);
            SetWindowPos(c, nullptr, left, top, right - left, MulDiv(h, height, natural.bottom),
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    RECT r = {0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_EXSTYLE)));
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK Dialog::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Dialog*>(lp);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, lp);
    }
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!self)
        return FALSE;
    try {
        switch (msg) {
        case WM_INITDIALOG:
            self->OnInit();
            return TRUE;
        case WM_COMMAND:
            if (self->OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)))
                return TRUE;
            break;
        case WM_CLOSE:
            self->OnCancel();
            return TRUE;
        default:
            break;
        }
        return self->OnMessage(msg, wp, lp);
    } catch (...) {
        ReportCurrentException();
        return FALSE;
    }
}

} // namespace win
