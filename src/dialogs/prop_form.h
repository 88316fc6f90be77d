#pragma once
// The properties dialog of one registered application: whether it takes part in
// quit-all and run-all, how it is quit (automatically, by a captured quit command
// or by its quit parameter) and how it is started. It edits a working copy of the
// record; the caller takes the copy back only after OK.
#include "core/prog_info.h"
#include "win/dialog.h"
#include "win/handles.h"

#include <windows.h>

#include <functional>
#include <string>

class TVakoPropForm : public win::Dialog {
  public:
    TVakoPropForm() = default;

    // Finds the window of the record's running program that a capture hooks, by a
    // fresh process lookup whose answer the record keeps in its ProcessID; null when
    // the program is not running or shows no window that can be quit.
    std::function<HWND(TProgInfo&)> FindTargetWindow;

    void SetRecord(const TProgInfo& record);
    TProgInfo GetRecord() const { return work_; }
    // The entry's large icon (copied).
    void SetImage(HICON icon);

    // IDOK or IDCANCEL.
    INT_PTR ShowModal(HWND owner);

  protected:
    void OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;

  private:
    void LoadControls();
    void CheckQuitType(int radioId);
    void QuitCheckClick();
    void RunCheckClick();
    void ArgumentsEditChange();
    void WorkDirEditChange();
    void ShowCmdComboChange();
    void ParameterEditChange();
    void QuitNormalClick();
    void QuitCommandButtonClick();
    void WorkDirButtonClick();

    TProgInfo work_;
    win::Icon image_;
};
