#include "dialogs/prop_form.h"

#include "capture/command_form.h"
#include "dialogs/prop_form_ids.h"
#include "win/ansi_path.h"
#include "win/msgbox.h"

#include <shlobj.h>

namespace {

constexpr int kClientWidth = 378;
constexpr int kClientHeight = 342;
const char* const kShowItems[] = {"通常の大きさ", "最小化", "最大化"};
const int kQuitRadios[] = {IDC_PROP_QUITNORMAL, IDC_PROP_QUITCOMMAND, IDC_PROP_QUITPARAMETER};

// The folder picker's PIDL belongs to the shell's allocator.
struct PidlOwner {
    LPITEMIDLIST pidl;
    ~PidlOwner() {
        if (pidl)
            CoTaskMemFree(pidl);
    }
};

} // namespace

void TVakoPropForm::SetRecord(const TProgInfo& record) {
    work_ = record;
    if (hwnd())
        LoadControls();
}

void TVakoPropForm::SetImage(HICON icon) {
    image_.reset(icon ? CopyIcon(icon) : nullptr);
}

INT_PTR TVakoPropForm::ShowModal(HWND owner) {
    return RunModal(owner, IDD_VAKOPROPFORM);
}

void TVakoPropForm::OnInit() {
    SetClientSize(kClientWidth, kClientHeight);
    CenterOnOwner();
    for (const char* item : kShowItems)
        SendDlgItemMessageA(hwnd(), IDC_PROP_SHOWCMDCOMBO, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(item));
    if (image_)
        SendDlgItemMessageA(hwnd(), IDC_PROP_PROGIMAGE, STM_SETICON,
                            reinterpret_cast<WPARAM>(image_.get()), 0);
    LoadControls();
}

// Loads the working copy into the controls while the dialog is not on screen yet,
// so that checking the captured-command type asks nothing. Each control's change
// handler runs as if the user had set it, so the copy and the enabled states follow.
void TVakoPropForm::LoadControls() {
    const TProgInfo record = work_;
    SetItemText(IDC_PROP_NAMELABEL, record.Name);
    SetItemText(IDC_PROP_PROGLABEL, record.Program);
    SetChecked(IDC_PROP_QUITCHECK, record.Quit);
    QuitCheckClick();
    SetChecked(IDC_PROP_RUNCHECK, record.Run);
    RunCheckClick();
    SetItemText(IDC_PROP_ARGUMENTSEDIT, record.Arg);
    SetItemText(IDC_PROP_WORKDIREDIT, record.Work);
    SendDlgItemMessageA(hwnd(), IDC_PROP_SHOWCMDCOMBO, CB_SETCURSEL,
                        static_cast<WPARAM>(record.Show), 0);
    // Any other quit type (a hand-edited settings file) checks no button and stays
    // as it is until one is clicked.
    if (record.QuitType >= 0 && record.QuitType < 3)
        CheckQuitType(kQuitRadios[record.QuitType]);
    SetItemText(IDC_PROP_PARAMETEREDIT, record.QuitArg);
    SetItemText(IDC_PROP_COMMANDEDIT, record.QuitCom);
}

bool TVakoPropForm::OnCommand(int id, int code, HWND control) {
    switch (id) {
    case IDC_PROP_QUITCHECK:
        if (code == BN_CLICKED)
            QuitCheckClick();
        return true;
    case IDC_PROP_RUNCHECK:
        if (code == BN_CLICKED)
            RunCheckClick();
        return true;
    case IDC_PROP_QUITNORMAL:
    case IDC_PROP_QUITCOMMAND:
    case IDC_PROP_QUITPARAMETER:
        if (code == BN_CLICKED)
            CheckQuitType(id);
        return true;
    case IDC_PROP_QUITCOMMANDBUTTON:
        if (code == BN_CLICKED)
            QuitCommandButtonClick();
        return true;
    case IDC_PROP_WORKDIRBUTTON:
        if (code == BN_CLICKED)
            WorkDirButtonClick();
        return true;
    case IDC_PROP_ARGUMENTSEDIT:
        if (code == EN_CHANGE)
            ArgumentsEditChange();
        return true;
    case IDC_PROP_WORKDIREDIT:
        if (code == EN_CHANGE)
            WorkDirEditChange();
        return true;
    case IDC_PROP_PARAMETEREDIT:
        if (code == EN_CHANGE)
            ParameterEditChange();
        return true;
    case IDC_PROP_SHOWCMDCOMBO:
        if (code == CBN_SELCHANGE)
            ShowCmdComboChange();
        return true;
    default:
        return win::Dialog::OnCommand(id, code, control);
    }
}

// Checks one of the three quit types and unchecks the others, then runs their
// common handler, as a click on that button does.
void TVakoPropForm::CheckQuitType(int radioId) {
    for (int id : kQuitRadios)
        SetChecked(id, id == radioId);
    QuitNormalClick();
}

void TVakoPropForm::QuitCheckClick() {
    work_.Quit = Checked(IDC_PROP_QUITCHECK);
}

void TVakoPropForm::RunCheckClick() {
    work_.Run = Checked(IDC_PROP_RUNCHECK);
}

void TVakoPropForm::ArgumentsEditChange() {
    work_.Arg = ItemText(IDC_PROP_ARGUMENTSEDIT);
}

void TVakoPropForm::WorkDirEditChange() {
    work_.Work = ItemText(IDC_PROP_WORKDIREDIT);
}

void TVakoPropForm::ParameterEditChange() {
    work_.QuitArg = ItemText(IDC_PROP_PARAMETEREDIT);
}

void TVakoPropForm::ShowCmdComboChange() {
    work_.Show = static_cast<int32_t>(
        SendDlgItemMessageA(hwnd(), IDC_PROP_SHOWCMDCOMBO, CB_GETCURSEL, 0, 0));
}

void TVakoPropForm::QuitNormalClick() {
    EnableItem(IDC_PROP_PARAMETEREDIT, false);
    EnableItem(IDC_PROP_QUITCOMMANDBUTTON, false);
    if (Checked(IDC_PROP_QUITNORMAL)) {
        work_.QuitType = kQuitAuto;
    } else if (Checked(IDC_PROP_QUITCOMMAND)) {
        work_.QuitType = kQuitCommand;
        EnableItem(IDC_PROP_QUITCOMMANDBUTTON, true);
        if (ItemText(IDC_PROP_COMMANDEDIT).empty() && IsWindowVisible(hwnd())) {
            if (win::ConfirmBox(hwnd(), "終了コマンドを取得しますか？", true))
                QuitCommandButtonClick();
            else
                CheckQuitType(IDC_PROP_QUITNORMAL);
        }
    } else if (Checked(IDC_PROP_QUITPARAMETER)) {
        work_.QuitType = kQuitParam;
        EnableItem(IDC_PROP_PARAMETEREDIT, true);
    }
}

void TVakoPropForm::QuitCommandButtonClick() {
    // Whatever happens on the way, a dialog without a command never stays on the
    // captured-command type.
    auto fallBack = [this] {
        if (ItemText(IDC_PROP_COMMANDEDIT).empty())
            CheckQuitType(IDC_PROP_QUITNORMAL);
    };
    try {
        TVakoCommandForm form;
        form.SetImage(image_.get());
        form.SetProgLabel(work_.Name);
        // Looked up now rather than when the dialog opened: the user may have
        // started the program as the refusal below asks, and a process ID kept
        // since then may already belong to another program.
        HWND target = FindTargetWindow ? FindTargetWindow(work_) : nullptr;
        if (!target) {
            win::ErrorBox(hwnd(), work_.Name + "を起動してから実行してください");
            CheckQuitType(IDC_PROP_QUITNORMAL);
        } else {
            form.TargetWnd = target;
            form.ShowModal(hwnd());
            if (form.Captured) {
                SetItemText(IDC_PROP_COMMANDEDIT, form.Result());
                work_.QuitCom = ItemText(IDC_PROP_COMMANDEDIT);
            }
        }
    } catch (...) {
        fallBack();
        throw;
    }
    fallBack();
}

void TVakoPropForm::WorkDirButtonClick() {
    BROWSEINFOA bi = {};
    char display[MAX_PATH] = {};
    bi.hwndOwner = hwnd();
    bi.pszDisplayName = display;
    bi.lpszTitle = "作業フォルダの選択";
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    PidlOwner chosen{SHBrowseForFolderA(&bi)};
    if (!chosen.pidl)
        return;
    // Read whole, kept as the program keeps every path from the system.
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(chosen.pidl, path))
        return;
    const win::AnsiPath kept = win::StorablePath(path);
    if (kept.Kind == win::AnsiPathKind::None)
        win::ErrorBox(hwnd(), win::kUnstorableNameText + win::BestFitAnsi(path));
    else
        SetItemText(IDC_PROP_WORKDIREDIT, kept.Path);
}
