#include "dialogs/option_form.h"

#include "core/text.h"
#include "dialogs/add_list_form.h"
#include "dialogs/option_form_ids.h"
#include "dialogs/option_rules.h"
#include "win/msgbox.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <iterator>

namespace {

constexpr int kPageCount = 3;
const char* const kPageCaptions[kPageCount] = {"全般", "終了時", "起動時"};

// The controls of each tab page; one page's controls are shown at a time, so that
// dialog navigation only ever reaches the visible page.
const int kGeneralPage[] = {IDC_OPT_SHORTCUTGROUP, IDC_OPT_KEYLABEL,    IDC_OPT_MAKEQUIT,
                            IDC_OPT_QUITKEY,       IDC_OPT_MAKERUN,     IDC_OPT_RUNKEY,
                            IDC_OPT_MAKESHUTDOWN,  IDC_OPT_SHUTDOWNKEY, IDC_OPT_KEYNOTE,
                            IDC_OPT_LABEL4};
const int kQuitPage[] = {IDC_OPT_ALLCLOSE,   IDC_OPT_LABEL3,      IDC_OPT_IGNORELIST,
                         IDC_OPT_ADD,        IDC_OPT_DELETE,      IDC_OPT_LABEL1,
                         IDC_OPT_TIMEOUT,    IDC_OPT_TIMEOUTSPIN, IDC_OPT_LABEL2,
                         IDC_OPT_QUITATONCE, IDC_OPT_ENDSESSION,  IDC_OPT_WAITDIALOGS};
const int kRunPage[] = {IDC_OPT_EACHRUN, IDC_OPT_SKIPRUNNING, IDC_OPT_RUNLASTQUIT,
                        IDC_OPT_RESTOREAFTER};

struct Page {
    const int* ids;
    size_t count;
};
const Page kPages[kPageCount] = {{kGeneralPage, std::size(kGeneralPage)},
                                 {kQuitPage, std::size(kQuitPage)},
                                 {kRunPage, std::size(kRunPage)}};

// The tab control lies under the page's controls but comes first in the dialog,
// which puts it on top of them: painting its page area late (after a box over the
// dialog closed) it wiped half a button. It paints around the controls it holds,
// as it would if it lay below them.
void ExcludeSiblings(HWND tabs, HDC dc) {
    for (HWND w = GetWindow(tabs, GW_HWNDFIRST); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == tabs || !IsWindowVisible(w))
            continue;
        RECT rc = {};
        GetWindowRect(w, &rc);
        MapWindowPoints(nullptr, tabs, reinterpret_cast<POINT*>(&rc), 2);
        ExcludeClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
    }
}

LRESULT CALLBACK TabsProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    if (msg == WM_PAINT && wp == 0) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        ExcludeSiblings(hwnd, dc);
        DefSubclassProc(hwnd, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (msg == WM_ERASEBKGND) {
        HDC dc = reinterpret_cast<HDC>(wp);
        const int saved = SaveDC(dc);
        ExcludeSiblings(hwnd, dc);
        const LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
        RestoreDC(dc, saved);
        return r;
    }
    if (msg == WM_NCDESTROY)
        RemoveWindowSubclass(hwnd, TabsProc, 0);
    return DefSubclassProc(hwnd, msg, wp, lp);
}

// What each of the three shortcut buttons writes, and the option and control of
// the hot key it carries.
struct ShortcutKind {
    int button;
    const char* question;
    const char* fileName;
    const char* arguments;
    uint16_t iconNumber; // the program's second or third icon
    int keyControl;
    uint16_t TOptions::*hotKey;
};
const ShortcutKind kShortcuts[] = {
    {IDC_OPT_MAKEQUIT, "デスクトップにポムッと終了するショートカットを作成します。",
     "\\ポムッと終了.lnk", "-q", 1, IDC_OPT_QUITKEY, &TOptions::QuitHotKey},
    {IDC_OPT_MAKERUN, "デスクトップにポムッと起動するショートカットを作成します。",
     "\\ポムッと起動.lnk", "-r", 2, IDC_OPT_RUNKEY, &TOptions::RunHotKey},
    {IDC_OPT_MAKESHUTDOWN,
     "デスクトップにポムッと終了してシャットダウンするショートカットを作成します。",
     "\\ポムッと終了してシャットダウン.lnk", "-s", 1, IDC_OPT_SHUTDOWNKEY,
     &TOptions::ShutdownHotKey},
};

} // namespace

TVakoOptionForm::TVakoOptionForm(std::string ownProgram) : ownProgram_(std::move(ownProgram)) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_HOTKEY_CLASS};
    InitCommonControlsEx(&icc);
}

INT_PTR TVakoOptionForm::ShowModal(HWND owner) {
    return RunModal(owner, IDD_OPTION);
}

void TVakoOptionForm::OnInit() {
    ShortcutLink.Owner = hwnd();
    HWND tabs = Item(IDC_OPT_TABS);
    for (int i = 0; i < kPageCount; ++i) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(kPageCaptions[i]);
        SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }

    SetChecked(IDC_OPT_ALLCLOSE, Options.AllClose);
    SetChecked(IDC_OPT_EACHRUN, Options.EachRun);
    SetChecked(IDC_OPT_QUITATONCE, Options.QuitAtOnce);
    SetChecked(IDC_OPT_SKIPRUNNING, Options.SkipRunning);
    SetChecked(IDC_OPT_RUNLASTQUIT, Options.RunLastQuit);
    SetChecked(IDC_OPT_RESTOREAFTER, Options.RestoreAfter);
    SetChecked(IDC_OPT_ENDSESSION, Options.EndSession);
    SetChecked(IDC_OPT_WAITDIALOGS, Options.WaitDialogs);
    HWND spin = Item(IDC_OPT_TIMEOUTSPIN);
    SendMessageA(spin, UDM_SETRANGE32, option_rules::kMinTimeout, option_rules::kMaxTimeout);
    const int32_t shown = option_rules::ClampTimeout(Options.QuitTimeout);
    SendMessageA(spin, UDM_SETPOS32, 0, shown);
    SetItemText(IDC_OPT_TIMEOUT, text::IntToStr(shown));
    HWND list = Item(IDC_OPT_IGNORELIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& entry : Options.IgnoreMemo)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    for (const ShortcutKind& kind : kShortcuts) {
        HWND key = Item(kind.keyControl);
        // A key without Ctrl or Alt would be taken from every program the user
        // types into; it becomes Ctrl+Alt+key, as in the shortcut's own properties.
        SendMessageA(key, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                     MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
        SendMessageA(key, HKM_SETHOTKEY, Options.*kind.hotKey, 0);
    }

    MatchPageBackground();
    SetWindowSubclass(tabs, TabsProc, 0, 0);
    ShowPage(0);
    AllCloseCheckClick();
    CenterOn(GetParent(hwnd()));
}

void TVakoOptionForm::ShowPage(int page) {
    HWND tabs = Item(IDC_OPT_TABS);
    if (SendMessageA(tabs, TCM_GETCURSEL, 0, 0) != page)
        SendMessageA(tabs, TCM_SETCURSEL, page, 0);
    HWND focus = GetFocus();
    bool focusHidden = false;
    for (int p = 0; p < kPageCount; ++p) {
        for (size_t i = 0; i < kPages[p].count; ++i) {
            HWND control = Item(kPages[p].ids[i]);
            if (p != page && (control == focus || IsChild(control, focus)))
                focusHidden = true;
            ShowWindow(control, p == page ? SW_SHOW : SW_HIDE);
        }
    }
    // The focus must not stay on a control the user can no longer see.
    if (focusHidden)
        SetFocus(tabs);
}

bool TVakoOptionForm::PreTranslate(MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || GetKeyState(VK_CONTROL) >= 0)
        return false;
    HWND tabs = Item(IDC_OPT_TABS);
    int current = static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0));
    int step = GetKeyState(VK_SHIFT) < 0 ? kPageCount - 1 : 1;
    ShowPage((current + step) % kPageCount);
    return true;
}

// The tab control may paint its page area in another colour than the dialog's (under
// Wine it is white); labels and check boxes on the pages take the colour it really
// paints, read back from a drawing of it, so that they do not stand out as grey bands.
void TVakoOptionForm::MatchPageBackground() {
    HWND tabs = Item(IDC_OPT_TABS);
    RECT rc = {};
    GetClientRect(tabs, &rc);
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rc));
    const int x = (rc.left + rc.right) / 2, y = (rc.top + rc.bottom) / 2;
    RECT all = {};
    GetClientRect(tabs, &all);
    const COLORREF unpainted = RGB(255, 0, 255);
    COLORREF painted = unpainted;
    {
        win::WindowDc screen(tabs);
        win::MemoryDc dc(CreateCompatibleDC(screen.get()));
        win::GdiObject bmp(CreateCompatibleBitmap(screen.get(), all.right, all.bottom));
        win::SelectedObject selected(dc.get(), bmp.get());
        win::GdiObject probe(CreateSolidBrush(unpainted));
        FillRect(dc.get(), &all, static_cast<HBRUSH>(probe.get()));
        SendMessageA(tabs, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
        SendMessageA(tabs, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
        painted = GetPixel(dc.get(), x, y);
    }
    if (painted != unpainted && painted != CLR_INVALID && painted != GetSysColor(COLOR_BTNFACE)) {
        pageColor_ = painted;
        pageBrush_.reset(CreateSolidBrush(painted));
    }
}

bool TVakoOptionForm::IsOnPage(HWND control) const {
    const int id = GetDlgCtrlID(control);
    for (const Page& page : kPages) {
        if (std::find(page.ids, page.ids + page.count, id) != page.ids + page.count)
            return true;
    }
    return false;
}

INT_PTR TVakoOptionForm::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // The tab control paints around the group box as around every control on it, so
    // inside the group the dialog's own colour shows, and the label there keeps it.
    if (msg == WM_CTLCOLORSTATIC && pageBrush_ && IsOnPage(reinterpret_cast<HWND>(lp)) &&
        GetDlgCtrlID(reinterpret_cast<HWND>(lp)) != IDC_OPT_KEYLABEL) {
        HDC dc = reinterpret_cast<HDC>(wp);
        SetBkColor(dc, pageColor_);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<INT_PTR>(pageBrush_.get());
    }
    if (msg == WM_NOTIFY) {
        const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lp);
        if (hdr->idFrom == IDC_OPT_TABS && hdr->code == TCN_SELCHANGE) {
            ShowPage(static_cast<int>(SendMessageA(hdr->hwndFrom, TCM_GETCURSEL, 0, 0)));
            return TRUE;
        }
    }
    return win::Dialog::OnMessage(msg, wp, lp);
}

bool TVakoOptionForm::OnCommand(int id, int code, HWND control) {
    switch (id) {
    case IDC_OPT_ALLCLOSE:
        if (code == BN_CLICKED)
            AllCloseCheckClick();
        return true;
    case IDC_OPT_ADD:
        if (code == BN_CLICKED)
            AddButtonClick();
        return true;
    case IDC_OPT_DELETE:
        if (code == BN_CLICKED)
            DeleteButtonClick();
        return true;
    case IDC_OPT_MAKEQUIT:
    case IDC_OPT_MAKERUN:
    case IDC_OPT_MAKESHUTDOWN:
        if (code == BN_CLICKED)
            MakeShortcut(id);
        return true;
    case IDC_OPT_TIMEOUT:
        if (code == EN_KILLFOCUS)
            CommitTimeout();
        return true;
    default:
        return win::Dialog::OnCommand(id, code, control);
    }
}

int32_t TVakoOptionForm::CommitTimeout() {
    const int32_t value = option_rules::TimeoutFromText(ItemText(IDC_OPT_TIMEOUT));
    const std::string shown = text::IntToStr(value);
    if (ItemText(IDC_OPT_TIMEOUT) != shown)
        SetItemText(IDC_OPT_TIMEOUT, shown);
    SendMessageA(Item(IDC_OPT_TIMEOUTSPIN), UDM_SETPOS32, 0, value);
    return value;
}

void TVakoOptionForm::OnOk() {
    // Enter with the focus still in the time-out field commits it here.
    Options.QuitTimeout = CommitTimeout();
    Options.AllClose = Checked(IDC_OPT_ALLCLOSE);
    Options.EachRun = Checked(IDC_OPT_EACHRUN);
    Options.QuitAtOnce = Checked(IDC_OPT_QUITATONCE);
    Options.SkipRunning = Checked(IDC_OPT_SKIPRUNNING);
    Options.RunLastQuit = Checked(IDC_OPT_RUNLASTQUIT);
    Options.RestoreAfter = Checked(IDC_OPT_RESTOREAFTER);
    Options.EndSession = Checked(IDC_OPT_ENDSESSION);
    Options.WaitDialogs = Checked(IDC_OPT_WAITDIALOGS);
    for (const ShortcutKind& kind : kShortcuts)
        Options.*kind.hotKey = HotKeyOf(kind.keyControl);
    HWND list = Item(IDC_OPT_IGNORELIST);
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    Options.IgnoreMemo.clear();
    for (int i = 0; i < count; ++i) {
        const LRESULT len = SendMessageA(list, LB_GETTEXTLEN, i, 0);
        std::vector<char> buf(len > 0 ? static_cast<size_t>(len) + 1 : 1, '\0');
        const LRESULT got = SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf.data()));
        Options.IgnoreMemo.emplace_back(buf.data(), got > 0 ? static_cast<size_t>(got) : 0);
    }
    End(IDOK);
}

void TVakoOptionForm::AllCloseCheckClick() {
    const bool on = Checked(IDC_OPT_ALLCLOSE);
    EnableItem(IDC_OPT_IGNORELIST, on);
    EnableItem(IDC_OPT_ADD, on);
    EnableItem(IDC_OPT_DELETE, on);
}

void TVakoOptionForm::DeleteButtonClick() {
    HWND list = Item(IDC_OPT_IGNORELIST);
    const LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (selected != LB_ERR)
        SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
}

void TVakoOptionForm::AddButtonClick() {
    DWORD own = 0;
    GetWindowThreadProcessId(hwnd(), &own);
    TVakoAddListForm add(OpenWindowTitles(WindowList, own));
    // An empty entry matches no window, and reading the list stops at it: every
    // entry after it would be lost at the next start.
    if (add.ShowModal(hwnd()) != IDOK || add.Text().empty())
        return;
    SendMessageA(Item(IDC_OPT_IGNORELIST), LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(add.Text().c_str()));
}

uint16_t TVakoOptionForm::HotKeyOf(int keyControl) {
    return static_cast<uint16_t>(SendMessageA(Item(keyControl), HKM_GETHOTKEY, 0, 0));
}

void TVakoOptionForm::MakeShortcut(int button) {
    const ShortcutKind& kind =
        *std::find_if(std::begin(kShortcuts), std::end(kShortcuts),
                      [&](const ShortcutKind& k) { return k.button == button; });
    const uint16_t hotKey = HotKeyOf(kind.keyControl);
    // Windows gives a key that two shortcuts carry to only one of them, and which
    // one is not to be foreseen.
    for (const ShortcutKind& other : kShortcuts) {
        if (hotKey != 0 && &other != &kind && HotKeyOf(other.keyControl) == hotKey) {
            win::ErrorBox(hwnd(), "このショートカットキーは、ほかのショートカットにも使われて"
                                  "います。別のキーを選んでください。");
            return;
        }
    }
    if (!win::ConfirmBox(hwnd(), std::string(kind.question) + "\nよろしいですか？", true))
        return;
    const std::string desktop = DesktopDir();
    // Without the folder the file name alone would be a path relative to wherever
    // the program happens to run; nothing is written then.
    if (desktop.empty()) {
        win::ErrorBox(hwnd(),
                      "デスクトップのフォルダが見つからないため、ショートカットを作成できません。");
        return;
    }
    ShortcutLink.ShortcutFile = desktop + kind.fileName;
    ShortcutLink.Target = ownProgram_;
    ShortcutLink.Arguments = kind.arguments;
    ShortcutLink.Description.clear();
    ShortcutLink.SetHotKeyWord(hotKey);
    ShortcutLink.IconLocation = ownProgram_;
    ShortcutLink.IconNumber = kind.iconNumber;
    ShortcutLink.WorkingDir = text::FolderPart(ownProgram_);
    try {
        ShortcutLink.WriteShortcut();
        // The shortcut carries it now, whether the dialog ends with OK or not.
        Options.*kind.hotKey = hotKey;
    } catch (const std::exception& e) {
        // Shown over this dialog, which stays open with its values untouched.
        win::ErrorBox(hwnd(), e.what());
    }
}

std::string TVakoOptionForm::DesktopDir() {
    std::string dir;
    ShortcutLink.GetDesktopDir(dir);
    return dir;
}

bool EditOptions(HWND owner, const std::string& ownProgram, TOptions& options) {
    TVakoOptionForm form(ownProgram);
    form.Options = options;
    if (form.ShowModal(owner) != IDOK) {
        for (const ShortcutKind& kind : kShortcuts)
            options.*kind.hotKey = form.Options.*kind.hotKey;
        return false;
    }
    options = form.Options;
    return true;
}
