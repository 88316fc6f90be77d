#pragma once
// TVakoAddListForm ("無視するウィンドウに追加"): asks for one entry of the ignore list
// and offers the titles of the windows that are open at that moment.
#include "win/dialog.h"

#include <cstdint>
#include <string>
#include <vector>

class TWindowList;

class TVakoAddListForm : public win::Dialog {
  public:
    // `titles` fill the drop-down list in their order; the text starts empty.
    explicit TVakoAddListForm(std::vector<std::string> titles);

    // IDOK or IDCANCEL; centred on `owner`.
    INT_PTR ShowModal(HWND owner);
    // The text as typed or picked when OK ended the dialog.
    const std::string& Text() const { return text_; }

  protected:
    void OnInit() override;
    void OnOk() override;

  private:
    std::vector<std::string> titles_;
    std::string text_;
};

// The titles of the windows of a fresh snapshot, in Z-order, that closing all other
// applications would ask to close (visible, enabled, framed, no tool window), never
// those of process `ownProcessId`. Empty and repeated titles are kept as they are.
std::vector<std::string> OpenWindowTitles(TWindowList& windowList, uint32_t ownProcessId);
