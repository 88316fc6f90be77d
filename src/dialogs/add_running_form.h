#pragma once
// TVakoAddRunningForm ("実行中のアプリから追加"): the programs running now, each with
// its icon, name and path, of which the user ticks those to register. Registered
// ones are shown as such and cannot be ticked; the Windows folder's programs are
// shown only on request.
#include "win/dialog.h"
#include "win/handles.h"

#include <string>
#include <vector>

struct TRunningEntry {
    std::string Name;
    std::string Path;            // as it is registered
    bool Registered = false;     // shown as registered, never offered
    bool WindowsProgram = false; // shown only with the Windows folder's programs
};

class TVakoAddRunningForm : public win::Dialog {
  public:
    // The entries are shown sorted by name (letter case ignored, then by path).
    explicit TVakoAddRunningForm(std::vector<TRunningEntry> entries);

    // IDOK or IDCANCEL; centred over `owner`.
    INT_PTR ShowModal(HWND owner);
    // The ticked programs' paths in the order shown, once OK ended the dialog.
    const std::vector<std::string>& Chosen() const { return chosen_; }

    // The texts the user sees.
    static const char* const kRegisteredMark;

  protected:
    void OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOk() override;
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    HWND List() const;
    void AddColumns();
    // Lists the entries shown with the check box's setting; ticked ones stay ticked.
    void Fill();
    std::vector<size_t> Ticked() const;
    // True when a change of item `item` is refused: a registered entry keeps its
    // row without a tick box.
    bool RefusesChange(const NMLISTVIEW& change) const;

    std::vector<TRunningEntry> entries_;
    std::vector<std::string> chosen_;
    win::ImageList icons_;
    std::vector<int> iconOf_; // by entry; -1 while not read
    bool filling_ = false;
};
