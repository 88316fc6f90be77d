#include "dialogs/add_list_form.h"

#include "dialogs/add_list_form_ids.h"
#include "quit/quit_procedure.h"
#include "quit/window_list.h"
#include "win/window_text.h"

TVakoAddListForm::TVakoAddListForm(std::vector<std::string> titles) : titles_(std::move(titles)) {}

INT_PTR TVakoAddListForm::ShowModal(HWND owner) {
    text_.clear();
    return RunModal(owner, IDD_ADDLIST);
}

void TVakoAddListForm::OnInit() {
    CenterOn(GetParent(hwnd()));
    HWND combo = Item(IDC_ADD_NAMECOMBO);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& title : titles_)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetItemText(IDC_ADD_NAMECOMBO, "");
}

void TVakoAddListForm::OnOk() {
    text_ = ItemText(IDC_ADD_NAMECOMBO);
    End(IDOK);
}

std::vector<std::string> OpenWindowTitles(TWindowList& windowList, uint32_t ownProcessId) {
    windowList.Refresh();
    std::vector<std::string> titles;
    for (int i = 0; i < windowList.Count(); ++i) {
        HWND w = windowList.Handle(i);
        if (IsCloseAllCandidateWindow(w, ownProcessId))
            titles.push_back(win::WindowText(w));
    }
    return titles;
}
