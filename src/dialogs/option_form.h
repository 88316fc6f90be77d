#pragma once
// TVakoOptionForm ("ポムッと終了 オプション"): the options that hold for all registered
// applications, on three tab pages, and the three desktop shortcuts with their
// hot keys.
#include "core/options.h"
#include "quit/window_list.h"
#include "shell/shortcut_link.h"
#include "win/dialog.h"
#include "win/handles.h"

#include <string>
#include <vector>

class TVakoOptionForm : public win::Dialog {
  public:
    // `ownProgram`: the program file the desktop shortcuts start.
    explicit TVakoOptionForm(std::string ownProgram);

    // The dialog's copy of the options: shown when it opens, replaced on OK only.
    TOptions Options;

    // IDOK or IDCANCEL; centred on `owner`, opens on the first page.
    INT_PTR ShowModal(HWND owner);

  protected:
    void OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOk() override;
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool PreTranslate(MSG& msg) override;
    // The user's desktop folder without a trailing backslash; empty when unknown.
    virtual std::string DesktopDir();

  private:
    void ShowPage(int page);
    void MatchPageBackground();
    bool IsOnPage(HWND control) const;
    void AllCloseCheckClick();
    void AddButtonClick();
    void DeleteButtonClick();
    // Writes the desktop shortcut of the button `button` with the hot key beside it.
    void MakeShortcut(int button);
    // The key the hot-key control `keyControl` shows; 0 for none.
    uint16_t HotKeyOf(int keyControl);
    // Brings the typed time-out into the field's range and shows it so.
    int32_t CommitTimeout();

    std::string ownProgram_;
    TWindowList WindowList;
    TShortcutLink ShortcutLink;
    COLORREF pageColor_ = 0;
    win::GdiObject pageBrush_; // none while the pages use the dialog's own colour
};

// ActOption: edits a copy of `options` in the dialog and hands it back only when the
// user confirms with OK; true then. A hot key written into a desktop shortcut is
// handed back also when the dialog is cancelled: the shortcut on the desktop has it.
bool EditOptions(HWND owner, const std::string& ownProgram, TOptions& options);
