#pragma once
// The capture dialog: hooks the thread of a running application's window, lets the
// user quit that application by its own menu or system menu, passes each reported
// command on to it and keeps the command's quit command string. It closes by
// itself once the application's window is gone.
#include "capture/hook_installer.h"
#include "win/dialog.h"
#include "win/handles.h"
#include "win/message_loop.h"

#include <windows.h>

#include <cstdint>
#include <string>

// The window part of a quit command string for window w: "C:" and its class name,
// or "T:" and its title when the class is one of the system's numbered classes
// ("#32770") or blank.
std::string GetWindowIdent(HWND w);

class TVakoCommandForm : public win::Dialog {
  public:
    // installer: how the hook is put on the target's thread; the dialog makes its
    // own when none is given.
    explicit TVakoCommandForm(capture::THookInstaller* installer = nullptr);
    ~TVakoCommandForm() override;

    // Set by the caller before ShowModal.
    HWND TargetWnd = nullptr;
    void SetImage(HICON icon);
    void SetProgLabel(const std::string& name);

    // Runs the capture over `owner`; afterwards Captured tells whether Result holds
    // a quit command string.
    void ShowModal(HWND owner);
    bool Captured = false;
    // The caption of the message panel: the latest quit command string once a
    // command was captured.
    const std::string& Result() const { return panel_; }

    // Copies of the two registered message numbers of the hook's reports.
    UINT CommandMsg = 0;
    UINT SysCommandMsg = 0;

    // The application message filter while the dialog is open: takes the hook's
    // reports, shows their string and passes the command on to the target.
    bool AppMessage(MSG& msg);

  protected:
    void OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnCancel() override;
    bool CanClose(INT_PTR result) override;
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void FormShow();
    void TimerTimer();
    void AbortButtonClick();
    void FormCloseQuery();
    void SetMessagePanel(const std::string& text);

    capture::THookInstaller ownInstaller_;
    capture::THookInstaller* installer_;
    win::MessageFilter savedFilter_;
    bool filterInstalled_ = false;
    bool hooked_ = false;
    win::Icon image_;
    std::string progLabel_;
    std::string panel_;
};
