#pragma once
// Base of the program's modal dialogs, made from DIALOGEX templates. A dialog runs
// through the program's own message loop rather than the system's DialogBox loop:
// the owner is disabled, messages are taken and handled one by one (the
// application's message filter first) until the dialog ends, then the owner is
// enabled again. That is what lets the capture dialog see the hook's notifications
// while it is modal. Message boxes and the system's file and folder pickers keep
// their own loops.
#include <windows.h>

#include <string>

namespace win {

class Dialog {
  public:
    Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog();

    // Shows the template `templateId` of the program's resources over `owner` and
    // returns the result given to End once the dialog has gone. A WM_QUIT taken
    // meanwhile ends the dialog with IDCANCEL and is posted again for the outer loop.
    INT_PTR RunModal(HWND owner, int templateId);

    HWND hwnd() const { return hwnd_; }

  protected:
    // WM_INITDIALOG: the controls exist, the dialog is not visible yet.
    virtual void OnInit() {}
    // WM_COMMAND from a control or menu; true when handled. The default sends
    // IDOK to OnOk and IDCANCEL (Esc, the close box) to OnCancel.
    virtual bool OnCommand(int id, int code, HWND control);
    virtual void OnOk() { End(IDOK); }
    virtual void OnCancel() { End(IDCANCEL); }
    // Asked by End before the dialog closes; false keeps it open.
    virtual bool CanClose(INT_PTR result);
    // Any other message; return TRUE when handled, as a dialog procedure does.
    virtual INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    // A message for the dialog or one of its controls, before dialog navigation;
    // true when the dialog took it.
    virtual bool PreTranslate(MSG&) { return false; }

    // Ends the modal run with `result` unless CanClose refuses.
    void End(INT_PTR result);
    bool Ending() const { return done_; }

    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    std::string ItemText(int id) const;
    void SetItemText(int id, const std::string& text);
    bool Checked(int id) const;
    void SetChecked(int id, bool checked);
    void EnableItem(int id, bool enabled);
    // Centres the dialog on the work area of its owner's monitor (the primary
    // monitor's when it has none).
    void CenterOnScreen();
    // Centres the dialog on another window; as CenterOnScreen when that one is not
    // shown.
    void CenterOn(HWND other);
    // Centres the dialog over its owner (as CenterOnScreen when it has none).
    void CenterOnOwner();
    // Gives the dialog a client area of exactly this many pixels at 96 DPI, scaled
    // to the dialog's DPI, whatever the dialog font makes of the template's units:
    // the controls keep their places relative to the client area, scaled with it.
    void SetClientSize(int width, int height);

  private:
    // Centres the dialog on `area`, kept within the work area of the monitor that
    // holds most of `area`: a dialog never opens across two monitors or off them.
    void CenterOnRect(const RECT& area);
    static INT_PTR CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
    bool done_ = false;
    INT_PTR result_ = IDCANCEL;
};

} // namespace win
