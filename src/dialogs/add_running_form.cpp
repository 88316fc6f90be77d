#include "dialogs/add_running_form.h"

#include "core/display_scale.h"
#include "dialogs/add_running_form_ids.h"
#include "win/display.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <set>

const char* const TVakoAddRunningForm::kRegisteredMark = "登録済み";

namespace {

constexpr int kClientWidth = 600;
constexpr int kClientHeight = 300;
// Name, state, path, at 96 DPI; the path takes what the list leaves.
const char* const kColumnTitles[] = {"名前", "状態", "パス"};
constexpr int kColumnWidths[] = {110, 64, 392};
constexpr UINT kTickMask = LVIS_STATEIMAGEMASK;
constexpr UINT kNoTickBox = INDEXTOSTATEIMAGEMASK(0);
constexpr UINT kUnticked = INDEXTOSTATEIMAGEMASK(1);
constexpr UINT kTicked = INDEXTOSTATEIMAGEMASK(2);

// The program's icon at `size` pixels; null when it has none.
HICON ProgramIcon(const std::string& path, int size) {
    HICON large = nullptr, small = nullptr;
    const UINT n = ExtractIconExA(path.c_str(), 0, &large, &small, 1);
    if (n == UINT_MAX || n == 0)
        return nullptr;
    // The small picture serves 100 %; above it the large one shrinks more sharply
    // than the small one grows.
    win::Icon keep(size > 16 ? large : small);
    win::Icon drop(size > 16 ? small : large);
    return keep.release();
}

void SetSubText(HWND list, int item, int sub, const std::string& text) {
    LVITEMA si = {};
    si.iSubItem = sub;
    si.pszText = const_cast<char*>(text.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&si));
}

// Sorted by name as the list shows them, letter case ignored; the path decides
// between equal names.
std::vector<TRunningEntry> SortedByName(std::vector<TRunningEntry> entries) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const TRunningEntry& a, const TRunningEntry& b) {
                         const int byName = lstrcmpiA(a.Name.c_str(), b.Name.c_str());
                         if (byName != 0)
                             return byName < 0;
                         return lstrcmpiA(a.Path.c_str(), b.Path.c_str()) < 0;
                     });
    return entries;
}

} // namespace

TVakoAddRunningForm::TVakoAddRunningForm(std::vector<TRunningEntry> entries)
    : entries_(SortedByName(std::move(entries))), iconOf_(entries_.size(), -1) {}

INT_PTR TVakoAddRunningForm::ShowModal(HWND owner) {
    chosen_.clear();
    return RunModal(owner, IDD_ADDRUNNING);
}

HWND TVakoAddRunningForm::List() const {
    return Item(IDC_RUN_LIST);
}

void TVakoAddRunningForm::OnInit() {
    SetClientSize(kClientWidth, kClientHeight);
    CenterOnOwner();
    HWND list = List();
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    const int size = win::SystemMetricForDpi(SM_CXSMICON, win::WindowDpi(hwnd()));
    icons_.reset(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 8, 8));
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(icons_.get()));
    AddColumns();
    Fill();
}

void TVakoAddRunningForm::AddColumns() {
    HWND list = List();
    const int dpi = win::WindowDpi(hwnd());
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.pszText = const_cast<char*>(kColumnTitles[i]);
        col.cx = scale::ToPixels(kColumnWidths[i], dpi);
        col.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&col));
    }
}

std::vector<size_t> TVakoAddRunningForm::Ticked() const {
    HWND list = List();
    std::vector<size_t> ticked;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        if (ListView_GetItemState(list, i, kTickMask) != kTicked)
            continue;
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = i;
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        ticked.push_back(static_cast<size_t>(item.lParam));
    }
    return ticked;
}

void TVakoAddRunningForm::Fill() {
    HWND list = List();
    const std::vector<size_t> before = Ticked();
    const std::set<size_t> ticked(before.begin(), before.end());
    const bool windows = Checked(IDC_RUN_WINDOWS);
    int width = 16;
    int height = 16;
    ImageList_GetIconSize(icons_.get(), &width, &height);
    filling_ = true;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    int focus = -1;
    for (size_t e = 0; e < entries_.size(); ++e) {
        const TRunningEntry& entry = entries_[e];
        if (entry.WindowsProgram && !windows)
            continue;
        if (iconOf_[e] < 0) {
            win::Icon icon(ProgramIcon(entry.Path, width));
            iconOf_[e] = icon ? ImageList_AddIcon(icons_.get(), icon.get()) : -1;
        }
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
        item.iItem = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        item.pszText = const_cast<char*>(entry.Name.c_str());
        item.iImage = iconOf_[e] >= 0 ? iconOf_[e] : I_IMAGENONE;
        item.lParam = static_cast<LPARAM>(e);
        const int index = static_cast<int>(
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        SetSubText(list, index, 1, entry.Registered ? kRegisteredMark : "");
        SetSubText(list, index, 2, entry.Path);
        const UINT tick = entry.Registered ? kNoTickBox : ticked.count(e) ? kTicked : kUnticked;
        ListView_SetItemState(list, index, tick, kTickMask);
        if (focus < 0 && !entry.Registered)
            focus = index;
    }
    // Space ticks the focused row: the first that can be ticked is ready for it.
    if (focus >= 0)
        ListView_SetItemState(list, focus, LVIS_FOCUSED | LVIS_SELECTED,
                              LVIS_FOCUSED | LVIS_SELECTED);
    filling_ = false;
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

bool TVakoAddRunningForm::OnCommand(int id, int code, HWND control) {
    if (id == IDC_RUN_WINDOWS && code == BN_CLICKED) {
        Fill();
        return true;
    }
    return win::Dialog::OnCommand(id, code, control);
}

void TVakoAddRunningForm::OnOk() {
    std::vector<std::string> chosen;
    for (size_t e : Ticked())
        chosen.push_back(entries_[e].Path);
    chosen_.swap(chosen);
    End(IDOK);
}

bool TVakoAddRunningForm::RefusesChange(const NMLISTVIEW& change) const {
    if (filling_ || !(change.uChanged & LVIF_STATE) ||
        !((change.uNewState ^ change.uOldState) & kTickMask))
        return false;
    const size_t e = static_cast<size_t>(change.lParam);
    return e < entries_.size() && entries_[e].Registered;
}

INT_PTR TVakoAddRunningForm::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_NOTIFY)
        return win::Dialog::OnMessage(msg, wp, lp);
    const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
    if (hdr->idFrom != IDC_RUN_LIST || hdr->code != LVN_ITEMCHANGING)
        return FALSE;
    // Some systems give a row without a tick box one at a click or at Space.
    SetWindowLongPtrA(hwnd(), DWLP_MSGRESULT,
                      RefusesChange(*reinterpret_cast<const NMLISTVIEW*>(lp)) ? TRUE : FALSE);
    return TRUE;
}
