#include "app/file_list.h"

#include "core/display_scale.h"
#include "core/list_rules.h"
#include "core/view_style.h"
#include "win/display.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

namespace {

const char* const kColumnCaptions[] = {"プログラム", "終了", "起動"};
// By view number.
const DWORD kViewStyles[kViewCount] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};

// Room beside a label in the list style besides the small icon: its margins at 96 DPI.
const int kListItemMargins = 16;

} // namespace

void TFileList::Create(HWND parent, int id, HFONT font, UINT loadIconsMessage, int dpi) {
    parent_ = parent;
    dpi_ = dpi;
    for (int32_t& width : columns_)
        width = scale::ToPixels(width, dpi);
    loadIconsMessage_ = loadIconsMessage;
    list_ = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_EDITLABELS |
                                LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                            0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleA(nullptr), nullptr);
    SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.pszText = const_cast<char*>(kColumnCaptions[i]);
        col.cx = columns_[i];
        col.iSubItem = i;
        SendMessageA(list_, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&col));
    }
    CreateImageLists();
}

void TFileList::SetDpi(int dpi) {
    const std::vector<int32_t> widths = StoredColumnWidths();
    dpi_ = dpi;
    SetStoredColumnWidths(widths);
    // Every picture again at its index; the files' own icons follow through the queue.
    const int images = ImageList_GetImageCount(LargeImages.get());
    CreateImageLists();
    AddPlaceholders(images);
    pendingIcons_.clear();
    pendingNext_ = 0;
    readIcons_.clear();
    for (int i = 0, n = Count(); i < n; ++i) {
        LVITEMA lv = {};
        lv.mask = LVIF_IMAGE | LVIF_PARAM;
        lv.iItem = i;
        if (SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lv)) && lv.lParam)
            pendingIcons_.push_back(
                PendingIcon{lv.iImage, reinterpret_cast<const TProgInfo*>(lv.lParam)->Program});
    }
    if (!pendingIcons_.empty())
        PostIconTurn();
    FitListColumn();
    Arrange();
}

void TFileList::BuildList(TProgTable& table) {
    SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list_);
    ImageList_RemoveAll(LargeImages.get());
    ImageList_RemoveAll(SmallImages.get());
    pendingIcons_.clear();
    pendingNext_ = 0;
    readIcons_.clear();
    // One status text at the end, not one per inserted item.
    building_ = true;
    int image = ImageList_GetImageCount(LargeImages.get());
    AddPlaceholders(static_cast<int>(std::count_if(
        table.begin(), table.end(), [](const TProgInfo& s) { return s.Occupied(); })));
    for (TProgInfo& slot : table) {
        if (slot.Occupied())
            AppendEntry(slot, image++);
    }
    building_ = false;
    FitListColumn();
    SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void TFileList::AppendEntry(TProgInfo& record) {
    const int image = ImageList_GetImageCount(LargeImages.get());
    AddPlaceholders(1);
    AppendEntry(record, image);
}

void TFileList::AppendEntry(TProgInfo& record, int image) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iItem = Count();
    item.pszText = const_cast<char*>("");
    QueueIcon(image, record.Program);
    item.iImage = image;
    item.lParam = reinterpret_cast<LPARAM>(&record);
    int index =
        static_cast<int>(SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    ShowEntry(index, record);
}

void TFileList::ShowEntry(int index, TProgInfo& record) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<char*>(record.Name.c_str());
    item.lParam = reinterpret_cast<LPARAM>(&record);
    SendMessageA(list_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    const std::string marks[2] = {Mark(record.Quit), RunMark(record)};
    for (int sub = 1; sub <= 2; ++sub) {
        LVITEMA si = {};
        si.iSubItem = sub;
        si.pszText = const_cast<char*>(marks[sub - 1].c_str());
        SendMessageA(list_, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&si));
    }
    FitListColumn();
}

void TFileList::ShowAllEntries() {
    for (int i = 0; i < Count(); ++i) {
        if (TProgInfo* record = RecordAt(i))
            ShowEntry(i, *record);
    }
}

int TFileList::Count() const {
    return ListView_GetItemCount(list_);
}

int TFileList::SelectedCount() const {
    return ListView_GetSelectedCount(list_);
}

TProgInfo* TFileList::RecordAt(int index) const {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    return reinterpret_cast<TProgInfo*>(item.lParam);
}

const TProgInfo* TFileList::SingleSelected() const {
    if (SelectedCount() != 1)
        return nullptr;
    int i = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
    return i >= 0 ? RecordAt(i) : nullptr;
}

std::vector<TProgInfo*> TFileList::SelectedRecords() const {
    std::vector<TProgInfo*> out;
    for (int i = 0, n = Count(); i < n; ++i) {
        if (ListView_GetItemState(list_, i, LVIS_SELECTED) & LVIS_SELECTED) {
            if (TProgInfo* p = RecordAt(i))
                out.push_back(p);
        }
    }
    return out;
}

std::vector<const TProgInfo*> TFileList::RecordsInListOrder() const {
    std::vector<const TProgInfo*> out;
    for (int i = 0, n = Count(); i < n; ++i) {
        if (const TProgInfo* p = RecordAt(i))
            out.push_back(p);
    }
    return out;
}

void TFileList::SelectOnly(const TProgInfo* record) {
    for (int i = 0; i < Count(); ++i) {
        if (RecordAt(i) != record)
            continue;
        const UINT state = LVIS_SELECTED | LVIS_FOCUSED;
        ListView_SetItemState(list_, -1, 0, state);
        ListView_SetItemState(list_, i, state, state);
        ListView_EnsureVisible(list_, i, FALSE);
        return;
    }
}

void TFileList::DeleteSelected() {
    for (int i = 0; i < Count();) {
        if (ListView_GetItemState(list_, i, LVIS_SELECTED) & LVIS_SELECTED) {
            if (TProgInfo* p = RecordAt(i))
                *p = TProgInfo(); // a free slot, nothing of the entry left in it
            ListView_DeleteItem(list_, i);
        } else {
            ++i;
        }
    }
}

void TFileList::SetViewStyle(int view) {
    if (view < 0 || view >= kViewCount)
        view = kViewReport; // a hand-edited number beyond the four views shows the report
    if (ViewStyle() == kViewReport)
        CaptureColumnWidths(); // what the user dragged in the report view
    LONG style = GetWindowLongA(list_, GWL_STYLE);
    SetWindowLongA(list_, GWL_STYLE, (style & ~LVS_TYPEMASK) | kViewStyles[view]);
    if (view == kViewReport) {
        for (size_t i = 0; i < columns_.size(); ++i)
            ListView_SetColumnWidth(list_, static_cast<int>(i), columns_[i]);
    }
    FitListColumn();
    Arrange();
    // Wine's list paints only what changed: the items of the old view would stay
    // beside those of the new one.
    InvalidateRect(list_, nullptr, TRUE);
}

int TFileList::ViewStyle() const {
    DWORD type = GetWindowLongA(list_, GWL_STYLE) & LVS_TYPEMASK;
    for (int i = 0; i < kViewCount; ++i) {
        if (kViewStyles[i] == type)
            return i;
    }
    return kViewReport;
}

void TFileList::Arrange() {
    int view = ViewStyle();
    if (view == kViewLargeIcons || view == kViewSmallIcons)
        ListView_Arrange(list_, LVA_DEFAULT);
}

std::vector<int32_t> TFileList::ColumnWidths() const {
    if (ViewStyle() != kViewReport)
        return columns_;
    std::vector<int32_t> widths(columns_.size());
    for (size_t i = 0; i < widths.size(); ++i)
        widths[i] = ListView_GetColumnWidth(list_, static_cast<int>(i));
    return widths;
}

void TFileList::SetColumnWidths(const std::vector<int32_t>& widths) {
    for (size_t i = 0; i < columns_.size() && i < widths.size(); ++i)
        columns_[i] = widths[i];
    // Outside the report view the list takes a column width as its item width
    // instead; the widths wait for the report view.
    if (ViewStyle() == kViewReport) {
        for (size_t i = 0; i < columns_.size(); ++i)
            ListView_SetColumnWidth(list_, static_cast<int>(i), columns_[i]);
    }
}

std::vector<int32_t> TFileList::StoredColumnWidths() const {
    std::vector<int32_t> widths = ColumnWidths();
    for (int32_t& width : widths)
        width = scale::ToStored(width, dpi_);
    return widths;
}

void TFileList::SetStoredColumnWidths(const std::vector<int32_t>& stored) {
    std::vector<int32_t> widths = stored;
    for (int32_t& width : widths)
        width = scale::ToPixels(width, dpi_);
    SetColumnWidths(widths);
}

void TFileList::CaptureColumnWidths() {
    columns_ = ColumnWidths();
}

// In the list style every item is as wide as the list's first column, so that the
// longest name must set it, or the names are cut.
void TFileList::FitListColumn() {
    if (building_ || ViewStyle() != kViewList)
        return;
    int width = 0;
    char text[1024];
    for (int i = 0, n = Count(); i < n; ++i) {
        ListView_GetItemText(list_, i, 0, text, sizeof text);
        width = std::max(width, ListView_GetStringWidth(list_, text));
    }
    ListView_SetColumnWidth(list_, 0,
                            width + win::SystemMetricForDpi(SM_CXSMICON, dpi_) +
                                scale::ToPixels(kListItemMargins, dpi_));
}

int CALLBACK TFileList::CompareItemsProc(LPARAM a, LPARAM b, LPARAM sort) {
    const auto* pa = reinterpret_cast<const TProgInfo*>(a);
    const auto* pb = reinterpret_cast<const TProgInfo*>(b);
    int column = static_cast<int>(sort & 0xFF);
    int direction = (sort & 0x100) ? -1 : 1;
    return CompareItems(*pa, *pb, column, direction);
}

void TFileList::ColumnClick(int column) {
    LPARAM sort = (column & 0xFF) | (SortDirection < 0 ? 0x100 : 0);
    ListView_SortItems(list_, CompareItemsProc, sort);
    SortDirection = -SortDirection;
}

void TFileList::Edited(int index, const char* newText) {
    TProgInfo* record = RecordAt(index);
    if (!record || !newText)
        return;
    std::string s = newText;
    if (s.empty())
        s = record->Name; // an empty name is refused without a word
    record->Name = s;
    ShowEntry(index, *record);
}

POINT TFileList::PopupPoint(LPARAM lp) const {
    POINT pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    if (lp == -1) {
        RECT rc = {};
        int i = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
        if (i >= 0)
            ListView_GetItemRect(list_, i, &rc, LVIR_LABEL);
        pt = {rc.left, rc.bottom};
        ClientToScreen(list_, &pt);
    }
    return pt;
}

bool TFileList::OnNotify(NMHDR* hdr) {
    switch (hdr->code) {
    case LVN_ITEMCHANGED:
    case LVN_DELETEALLITEMS:
        return !building_;
    case LVN_COLUMNCLICK:
        ColumnClick(reinterpret_cast<NMLISTVIEW*>(hdr)->iSubItem);
        return false;
    case LVN_ENDLABELEDITA: {
        auto* info = reinterpret_cast<NMLVDISPINFOA*>(hdr);
        Edited(info->item.iItem, info->item.pszText);
        return false;
    }
    case LVN_ENDLABELEDITW: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(hdr);
        if (info->item.pszText) {
            char buf[1024] = {};
            WideCharToMultiByte(CP_ACP, 0, info->item.pszText, -1, buf, sizeof buf - 1, nullptr,
                                nullptr);
            Edited(info->item.iItem, buf);
        }
        return false;
    }
    }
    return false;
}
