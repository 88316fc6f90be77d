#include "app/main_form.h"

#include "app/command_ids.h"
#include "core/list_rules.h"
#include "app/settings_store.h"
#include "dialogs/option_form.h"
#include "core/text.h"
#include "shell/about_box.h"
#include "shell/ver_info.h"
#include "win/exception.h"
#include "win/message_loop.h"
#include "win/msgbox.h"

#include <windowsx.h>

namespace {

const char kClassName[] = "TVakoQuitForm";
const char kCaption[] = "ポムッと終了";
const int kToolBarHeight = 25;
const UINT WM_APP_LOADICONS = WM_APP + 1;
const UINT WM_APP_FIRSTRUN = WM_APP + 2;

// The actions that SetBusy disables while a long command runs.
const int kBusyActions[] = {ID_ACT_ADD,    ID_ACT_DELETE,      ID_ACT_QUIT,     ID_ACT_ALLQUIT,
                            ID_ACT_ALLRUN, ID_ACT_STARTUPREAD, ID_ACT_PROPERTY, ID_ACT_CLOSE,
                            ID_ACT_RUN,    ID_ACT_OPTION};
// The actions that need a selection.
const int kSelectionActions[] = {ID_ACT_CLOSE, ID_ACT_RUN, ID_ACT_DELETE, ID_ACT_PROPERTY};
const int kViewActions[] = {ID_ACT_LARGEICON, ID_ACT_SMALLICON, ID_ACT_LIST, ID_ACT_REPORT};
const DWORD kViewStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};

// Each action's picture in CommandImages, shown by its menu items and its button.
struct ActionPicture {
    int command;
    int picture;
};
const ActionPicture kPictures[] = {
    {ID_ACT_ALLQUIT, 0},    {ID_ACT_ALLRUN, 1}, {ID_ACT_CLOSE, 2},    {ID_ACT_RUN, 3},
    {ID_ACT_ADD, 4},        {ID_ACT_DELETE, 5}, {ID_ACT_QUIT, 6},     {ID_ACT_STARTUPREAD, 7},
    {ID_ACT_PROPERTY, 8},   {ID_ACT_OPTION, 9}, {ID_ACT_VERSION, 10}, {ID_ACT_LARGEICON, 11},
    {ID_ACT_SMALLICON, 12}, {ID_ACT_LIST, 13},  {ID_ACT_REPORT, 14},  {ID_ACT_STATUS, 15}};

int PictureOf(int command) {
    for (const ActionPicture& p : kPictures) {
        if (p.command == command)
            return p.picture;
    }
    return -1;
}

// Toolbar buttons in order; 0 is a separator.
const int kToolButtons[] = {
    ID_ACT_ALLQUIT, ID_ACT_ALLRUN, 0, ID_ACT_CLOSE, ID_ACT_RUN, 0, ID_ACT_PROPERTY, 0, ID_ACT_QUIT};

struct Column {
    const char* caption;
    int width;
};
const Column kColumns[] = {{"プログラム", 180}, {"終了", 50}, {"起動", 50}};

// Work spent on icons per turn of the message loop, so that the list stays usable
// while the icons of a long list arrive.
const DWORD kIconSliceMs = 30;

// The system's application icon at one size, as colour and mask bitmaps.
TVakoQuitForm::Placeholder PlaceholderOf(int size) {
    HICON icon = static_cast<HICON>(
        LoadImageA(nullptr, MAKEINTRESOURCEA(32512), IMAGE_ICON, size, size, LR_SHARED));
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info))
        return {};
    return {info.hbmColor, info.hbmMask};
}

std::string ModulePath() {
    char buf[MAX_PATH * 2] = {};
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    return std::string(buf, n);
}

} // namespace

TVakoQuitForm::TVakoQuitForm()
    : quit_(std::make_unique<TQuitProcedure>(static_cast<QuitHost&>(*this), quitOptions_)) {}

void TVakoQuitForm::ProcessMessages() {
    win::ProcessMessages();
}

void TVakoQuitForm::SyncEngineOptions() {
    quitOptions_.QuitTimeout = settings_.QuitTimeout;
    quitOptions_.AllClose = settings_.AllClose;
    quitOptions_.IgnoreMemo = settings_.IgnoreMemo;
}

TVakoQuitForm::~TVakoQuitForm() {
    for (const Placeholder& p : {placeholderLarge_, placeholderSmall_}) {
        if (p.color)
            DeleteObject(p.color);
        if (p.mask)
            DeleteObject(p.mask);
    }
    if (LargeImages)
        ImageList_Destroy(LargeImages);
    if (SmallImages)
        ImageList_Destroy(SmallImages);
    if (CommandImages)
        ImageList_Destroy(CommandImages);
    if (popupMenu_)
        DestroyMenu(popupMenu_);
    if (accel_)
        DestroyAcceleratorTable(accel_);
    if (font_)
        DeleteObject(font_);
}

void TVakoQuitForm::Create() {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    HICON icon = static_cast<HICON>(LoadImageA(inst, "MAINICON", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    HICON small = static_cast<HICON>(LoadImageA(inst, "MAINICON", IMAGE_ICON, 16, 16, 0));
    RegisterClassOnce(kClassName, icon, small, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));

    // FormCreate: every slot is free as constructed.
    FirstShow = true;
    SortDirection = 1;
    programPath_ = ModulePath();
    settingsPath_ = SettingsPathFor(programPath_);

    mainMenu_ = LoadMenuA(inst, MAKEINTRESOURCEA(IDR_MAINMENU));
    popupMenu_ = LoadMenuA(inst, MAKEINTRESOURCEA(IDR_POPUPMENU));
    accel_ = LoadAcceleratorsA(inst, MAKEINTRESOURCEA(IDR_ACCEL));
    CreateTop(kClassName, kCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 0, settings_.Width,
              settings_.Height, nullptr, mainMenu_);
    if (!hwnd())
        throw Exception("メインウィンドウを作成できません。");
    win::SetMessageBoxOwner(hwnd());
    ShortcutLink_.Owner = hwnd();
    win::SetAccelerators(hwnd(), accel_);
    CreateControls();
    for (int id = ID_ACT_ADD; id <= ID_ACT_STATUS; ++id)
        EnableAction(id, true);
    CheckAction(ID_ACT_STATUS, true);
    SetViewStyle(3);
    UpdateStatus();
}

void TVakoQuitForm::CreateControls() {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    HDC dc = GetDC(nullptr);
    int height = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(nullptr, dc);
    font_ = CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, "ＭＳ Ｐゴシック");

    CommandImages = ImageList_LoadImageA(inst, MAKEINTRESOURCEA(IDB_COMMANDS), 16, 0,
                                         RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    toolBar_ =
        CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
                            CCS_NOPARENTALIGN | CCS_NODIVIDER,
                        0, 0, 0, kToolBarHeight, hwnd(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TOOLBAR)), inst, nullptr);
    SendMessageA(toolBar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(toolBar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(CommandImages));
    for (int command : kToolButtons) {
        TBBUTTON tb = {};
        tb.iBitmap = command ? PictureOf(command) : 6; // a separator's width
        tb.idCommand = command;
        tb.fsState = TBSTATE_ENABLED;
        tb.fsStyle = command ? BTNS_BUTTON : BTNS_SEP;
        SendMessageA(toolBar_, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&tb));
    }

    // Menu items draw their pictures themselves, from the same image list.
    for (const ActionPicture& p : kPictures) {
        MENUITEMINFOA mi = {};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_BITMAP;
        mi.hbmpItem = HBMMENU_CALLBACK;
        SetMenuItemInfoA(mainMenu_, p.command, FALSE, &mi);
        SetMenuItemInfoA(popupMenu_, p.command, FALSE, &mi);
    }

    fileList_ =
        CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_EDITLABELS |
                            LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                        0, 0, 0, 0, hwnd(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_FILELIST)), inst, nullptr);
    SendMessageA(fileList_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.pszText = const_cast<char*>(kColumns[i].caption);
        col.cx = kColumns[i].width;
        col.iSubItem = i;
        SendMessageA(fileList_, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&col));
    }
    LargeImages = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 16, 16);
    SmallImages = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 16, 16);
    ListView_SetImageList(fileList_, LargeImages, LVSIL_NORMAL);
    ListView_SetImageList(fileList_, SmallImages, LVSIL_SMALL);
    placeholderLarge_ = PlaceholderOf(32);
    placeholderSmall_ = PlaceholderOf(16);

    statusBar_ = CreateWindowExA(
        0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, hwnd(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUSBAR)), inst, nullptr);
    SendMessageA(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    int parts[1] = {-1};
    SendMessageA(statusBar_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
    LayoutControls();
}

// The status bar's own visibility: IsWindowVisible also asks the main window, which
// is still hidden while the settings are loaded.
bool TVakoQuitForm::StatusBarShown() const {
    return (GetWindowLongA(statusBar_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void TVakoQuitForm::LayoutControls() {
    RECT rc;
    GetClientRect(hwnd(), &rc);
    MoveWindow(toolBar_, 0, 0, rc.right, kToolBarHeight, TRUE);
    int bottom = rc.bottom;
    if (StatusBarShown()) {
        SendMessageA(statusBar_, WM_SIZE, 0, 0);
        RECT sr;
        GetWindowRect(statusBar_, &sr);
        bottom -= sr.bottom - sr.top;
    }
    MoveWindow(fileList_, 0, kToolBarHeight, rc.right,
               bottom > kToolBarHeight ? bottom - kToolBarHeight : 0, TRUE);
}

void TVakoQuitForm::Show(int showCmd) {
    if (!FirstShow) {
        ShowWindow(hwnd(), showCmd);
        return;
    }
    bool loaded = false;
    try {
        FormShow();
        loaded = true;
    } catch (...) {
        win::ReportCurrentException();
    }
    ShowWindow(hwnd(), showCmd);
    UpdateWindow(hwnd());
    if (loaded) {
        try {
            RunCommandLine();
        } catch (...) {
            win::ReportCurrentException();
        }
    }
    FirstShow = false;
}

void TVakoQuitForm::FormShow() {
    LoadSettings();
    BuildList();
    commandLineRun_ = IsCommandLineRun();
}

void TVakoQuitForm::FormActivate() {
    if (FirstRun_ && !commandLineRun_ && !firstRunPosted_) {
        // The greeting runs from the queue, not from inside the activation.
        firstRunPosted_ = true;
        PostMessageA(hwnd(), WM_APP_FIRSTRUN, 0, 0);
    }
}

void TVakoQuitForm::FormCloseQuery() {
    try {
        SaveSettings();
    } catch (...) {
        win::ReportCurrentException();
    }
}

void TVakoQuitForm::FormResize() {
    LayoutControls();
    int view = ViewStyle();
    if (view == 0 || view == 1)
        ListView_Arrange(fileList_, LVA_DEFAULT);
}

void TVakoQuitForm::LoadSettings() {
    IniFile ini;
    ini.Parse(ReadWholeFile(settingsPath_));
    // The window keys default to 0, 0, 313, 277, not to where the system put the
    // window; the columns default to their current widths.
    TSettings s;
    for (size_t i = 0; i < s.Columns.size(); ++i)
        s.Columns[i] = ListView_GetColumnWidth(fileList_, static_cast<int>(i));
    FirstRun_ = ReadSettings(ini, s, ProgTable);
    settings_ = s;

    SetWindowPos(hwnd(), nullptr, s.XPos, s.YPos, s.Width, s.Height, SWP_NOZORDER | SWP_NOACTIVATE);
    SetViewStyle(s.View);
    ShowWindow(statusBar_, s.Status ? SW_SHOW : SW_HIDE);
    CheckAction(ID_ACT_STATUS, s.Status);
    for (size_t i = 0; i < s.Columns.size(); ++i)
        ListView_SetColumnWidth(fileList_, static_cast<int>(i), s.Columns[i]);
    LayoutControls();
    WriteSettingsFile(ini.Serialize());
}

void TVakoQuitForm::SaveSettings() {
    IniFile ini;
    ini.Parse(ReadWholeFile(settingsPath_));
    RECT rc;
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    if (IsIconic(hwnd()) && GetWindowPlacement(hwnd(), &wp))
        rc = wp.rcNormalPosition; // a minimised window's own rectangle lies off the screen
    else
        GetWindowRect(hwnd(), &rc);
    settings_.XPos = rc.left;
    settings_.YPos = rc.top;
    settings_.Width = rc.right - rc.left;
    settings_.Height = rc.bottom - rc.top;
    settings_.View = ViewStyle();
    settings_.Status = StatusBarShown();
    CaptureColumnWidths();
    std::string version;
    if (!FirstRun_) {
        try {
            version = OwnProductVersion();
        } catch (const EVerInfo&) {
            // The save must not fail for it: the build knows its own version.
            version = VAKO_PRODUCT_VERSION;
        }
    }
    WriteSettings(ini, settings_, version, RecordsInListOrder());
    WriteSettingsFile(ini.Serialize());
}

void TVakoQuitForm::WriteSettingsFile(const std::string& bytes) {
    std::string error;
    if (!WriteFileSafely(settingsPath_, bytes, error) && !saveErrorShown_) {
        // Once is enough: the same folder will refuse the next save as well.
        saveErrorShown_ = true;
        win::ErrorBox(hwnd(), error);
    }
}

void TVakoQuitForm::CaptureColumnWidths() {
    // Only the report view knows its columns' widths; the other views keep the last.
    if (ViewStyle() != 3)
        return;
    for (size_t i = 0; i < settings_.Columns.size(); ++i)
        settings_.Columns[i] = ListView_GetColumnWidth(fileList_, static_cast<int>(i));
}

void TVakoQuitForm::BuildList() {
    SendMessageA(fileList_, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(fileList_);
    ImageList_RemoveAll(LargeImages);
    ImageList_RemoveAll(SmallImages);
    pendingIcons_.clear();
    pendingNext_ = 0;
    // One status text at the end, not one per inserted item.
    building_ = true;
    for (TProgInfo& slot : ProgTable) {
        if (slot.Occupied())
            AppendEntry(slot);
    }
    building_ = false;
    SendMessageA(fileList_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(fileList_, nullptr, TRUE);
    UpdateStatus();
}

int TVakoQuitForm::AddIcon(const std::string& path) {
    // Every entry gets a picture of its own at once, so that indexes never shift; the
    // file's own icon replaces it when the queue gets to it (reading icons costs
    // several milliseconds a file, too much to wait for with a long list).
    int index = ImageList_GetImageCount(LargeImages);
    ImageList_Add(LargeImages, placeholderLarge_.color, placeholderLarge_.mask);
    ImageList_Add(SmallImages, placeholderSmall_.color, placeholderSmall_.mask);
    if (pendingNext_ >= pendingIcons_.size()) {
        pendingIcons_.clear();
        pendingNext_ = 0;
        PostMessageA(hwnd(), WM_APP_LOADICONS, 0, 0);
    }
    pendingIcons_.push_back(PendingIcon{index, path});
    return index;
}

void TVakoQuitForm::LoadPendingIcons() {
    DWORD start = GetTickCount();
    bool changed = false;
    while (pendingNext_ < pendingIcons_.size() && GetTickCount() - start < kIconSliceMs) {
        const PendingIcon& p = pendingIcons_[pendingNext_++];
        HICON large = nullptr, small = nullptr;
        UINT n = ExtractIconExA(p.path.c_str(), 0, &large, &small, 1);
        if (n != UINT_MAX && n > 0) {
            if (large)
                ImageList_ReplaceIcon(LargeImages, p.index, large);
            if (small)
                ImageList_ReplaceIcon(SmallImages, p.index, small);
            changed = true;
        }
        if (large)
            DestroyIcon(large);
        if (small)
            DestroyIcon(small);
    }
    if (changed)
        InvalidateRect(fileList_, nullptr, FALSE);
    if (pendingNext_ < pendingIcons_.size())
        PostMessageA(hwnd(), WM_APP_LOADICONS, 0, 0);
    else {
        pendingIcons_.clear();
        pendingNext_ = 0;
    }
}

void TVakoQuitForm::AppendEntry(TProgInfo& record) {
    record.ImageIndex = AddIcon(record.Program);
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iItem = ListView_GetItemCount(fileList_);
    item.pszText = const_cast<char*>("");
    item.lParam = reinterpret_cast<LPARAM>(&record);
    int index = static_cast<int>(
        SendMessageA(fileList_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    ShowEntry(index, record);
}

void TVakoQuitForm::ShowEntry(int index, TProgInfo& record) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iItem = index;
    item.pszText = const_cast<char*>(record.Name.c_str());
    item.iImage = record.ImageIndex;
    item.lParam = reinterpret_cast<LPARAM>(&record);
    SendMessageA(fileList_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    const std::string marks[2] = {Mark(record.Quit), Mark(record.Run)};
    for (int sub = 1; sub <= 2; ++sub) {
        LVITEMA si = {};
        si.iSubItem = sub;
        si.pszText = const_cast<char*>(marks[sub - 1].c_str());
        SendMessageA(fileList_, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&si));
    }
}

TProgInfo* TVakoQuitForm::RecordAt(int index) const {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageA(fileList_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    return reinterpret_cast<TProgInfo*>(item.lParam);
}

std::vector<TProgInfo*> TVakoQuitForm::SelectedRecords() const {
    std::vector<TProgInfo*> out;
    int count = ListView_GetItemCount(fileList_);
    for (int i = 0; i < count; ++i) {
        if (ListView_GetItemState(fileList_, i, LVIS_SELECTED) & LVIS_SELECTED) {
            if (TProgInfo* p = RecordAt(i))
                out.push_back(p);
        }
    }
    return out;
}

std::vector<const TProgInfo*> TVakoQuitForm::RecordsInListOrder() const {
    std::vector<const TProgInfo*> out;
    int count = ListView_GetItemCount(fileList_);
    for (int i = 0; i < count; ++i) {
        if (const TProgInfo* p = RecordAt(i))
            out.push_back(p);
    }
    return out;
}

void TVakoQuitForm::SetBusy(bool enabled) {
    busy_ = !enabled;
    for (int id : kBusyActions)
        EnableAction(id, enabled);
    SetCursor(LoadCursorA(nullptr, enabled ? IDC_ARROW : IDC_WAIT));
    if (enabled) {
        UpdateStatus();
        if (closePending_) {
            closePending_ = false;
            PostMessageA(hwnd(), WM_CLOSE, 0, 0);
        }
    }
}

void TVakoQuitForm::UpdateStatus() {
    if (building_)
        return;
    int selected = ListView_GetSelectedCount(fileList_);
    if (!busy_) {
        for (int id : kSelectionActions)
            EnableAction(id, selected > 0);
    }
    const TProgInfo* single = nullptr;
    if (selected == 1) {
        int i = ListView_GetNextItem(fileList_, -1, LVNI_SELECTED);
        single = i >= 0 ? RecordAt(i) : nullptr;
    }
    SetStatusText(SelectionStatusText(ListView_GetItemCount(fileList_), selected, single));
}

void TVakoQuitForm::SetStatusText(const std::string& s) {
    SendMessageA(statusBar_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(s.c_str()));
    UpdateWindow(statusBar_);
}

bool TVakoQuitForm::IsActionAvailable(int id) const {
    // Actions whose dialogs are not part of this build yet stay disabled.
    return id != ID_ACT_PROPERTY;
}

bool TVakoQuitForm::IsActionEnabled(int id) const {
    int slot = id - ID_ACT_ADD;
    return slot >= 0 && slot < static_cast<int>(sizeof enabled_) && enabled_[slot];
}

void TVakoQuitForm::EnableAction(int id, bool enabled) {
    enabled = enabled && IsActionAvailable(id);
    int slot = id - ID_ACT_ADD;
    if (slot >= 0 && slot < static_cast<int>(sizeof enabled_))
        enabled_[slot] = enabled;
    UINT flags = MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(mainMenu_, id, flags);
    EnableMenuItem(popupMenu_, id, flags);
    SendMessageA(toolBar_, TB_ENABLEBUTTON, id, MAKELPARAM(enabled ? TRUE : FALSE, 0));
}

void TVakoQuitForm::CheckAction(int id, bool checked) {
    CheckMenuItem(mainMenu_, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void TVakoQuitForm::SetViewStyle(int view) {
    if (view < 0 || view > 3)
        view = 3; // a hand-edited number beyond the four views shows the report
    if (ViewStyle() == 3 && view != 3)
        CaptureColumnWidths();
    LONG style = GetWindowLongA(fileList_, GWL_STYLE);
    SetWindowLongA(fileList_, GWL_STYLE, (style & ~LVS_TYPEMASK) | kViewStyles[view]);
    for (int i = 0; i < 4; ++i)
        CheckAction(kViewActions[i], i == view);
    if (view == 0 || view == 1)
        ListView_Arrange(fileList_, LVA_DEFAULT);
}

int TVakoQuitForm::ViewStyle() const {
    DWORD type = GetWindowLongA(fileList_, GWL_STYLE) & LVS_TYPEMASK;
    for (int i = 0; i < 4; ++i) {
        if (kViewStyles[i] == type)
            return i;
    }
    return 3;
}

void TVakoQuitForm::ActDeleteExecute() {
    if (ListView_GetSelectedCount(fileList_) == 0)
        return;
    if (!win::ConfirmBox(hwnd(), "本当に削除してもよろしいですか？", true))
        return;
    for (int i = 0; i < ListView_GetItemCount(fileList_);) {
        if (ListView_GetItemState(fileList_, i, LVIS_SELECTED) & LVIS_SELECTED) {
            if (TProgInfo* p = RecordAt(i))
                p->Program.clear();
            ListView_DeleteItem(fileList_, i);
        } else {
            ++i;
        }
    }
    UpdateStatus();
}

void TVakoQuitForm::ActStatusExecute() {
    bool visible = !StatusBarShown();
    ShowWindow(statusBar_, visible ? SW_SHOW : SW_HIDE);
    CheckAction(ID_ACT_STATUS, visible);
    LayoutControls();
}

void TVakoQuitForm::ActQuitExecute() {
    PostMessageA(hwnd(), WM_CLOSE, 0, 0);
}

int CALLBACK TVakoQuitForm::CompareItemsProc(LPARAM a, LPARAM b, LPARAM sort) {
    const auto* pa = reinterpret_cast<const TProgInfo*>(a);
    const auto* pb = reinterpret_cast<const TProgInfo*>(b);
    int column = static_cast<int>(sort & 0xFF);
    int direction = (sort & 0x100) ? -1 : 1;
    return CompareItems(*pa, *pb, column, direction);
}

void TVakoQuitForm::FileListColumnClick(int column) {
    LPARAM sort = (column & 0xFF) | (SortDirection < 0 ? 0x100 : 0);
    ListView_SortItems(fileList_, CompareItemsProc, sort);
    SortDirection = -SortDirection;
}

void TVakoQuitForm::FileListEdited(int index, const char* newText) {
    TProgInfo* record = RecordAt(index);
    if (!record || !newText)
        return;
    std::string s = newText;
    if (s.empty())
        s = record->Name; // an empty name is refused without a word
    record->Name = s;
    ShowEntry(index, *record);
}

void TVakoQuitForm::DrawMenuPicture(const DRAWITEMSTRUCT& di) {
    int picture = PictureOf(static_cast<int>(di.itemID));
    if (picture < 0)
        return;
    int y = di.rcItem.top + (di.rcItem.bottom - di.rcItem.top - 16) / 2;
    if (di.itemState & (ODS_GRAYED | ODS_DISABLED)) {
        HICON icon = ImageList_GetIcon(CommandImages, picture, ILD_TRANSPARENT);
        DrawStateA(di.hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, di.rcItem.left, y,
                   16, 16, DST_ICON | DSS_DISABLED);
        DestroyIcon(icon);
    } else {
        ImageList_Draw(CommandImages, picture, di.hDC, di.rcItem.left, y, ILD_TRANSPARENT);
    }
}

void TVakoQuitForm::ShowPopupMenu(LPARAM lp) {
    POINT pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    if (lp == -1) {
        RECT rc = {};
        int i = ListView_GetNextItem(fileList_, -1, LVNI_SELECTED);
        if (i >= 0)
            ListView_GetItemRect(fileList_, i, &rc, LVIR_LABEL);
        pt = {rc.left, rc.bottom};
        ClientToScreen(fileList_, &pt);
    }
    TrackPopupMenu(GetSubMenu(popupMenu_, 0), TPM_RIGHTBUTTON, pt.x, pt.y, 0, hwnd(), nullptr);
}

void TVakoQuitForm::OnCommand(int id) {
    if (!IsActionEnabled(id))
        return;
    switch (id) {
    case ID_ACT_DELETE:
        ActDeleteExecute();
        break;
    case ID_ACT_QUIT:
        ActQuitExecute();
        break;
    case ID_ACT_LARGEICON:
    case ID_ACT_SMALLICON:
    case ID_ACT_LIST:
    case ID_ACT_REPORT:
        SetViewStyle(id - ID_ACT_LARGEICON);
        break;
    case ID_ACT_STATUS:
        ActStatusExecute();
        break;
    default:
        RunAction(id);
        break;
    }
}

LRESULT TVakoQuitForm::OnNotify(NMHDR* hdr) {
    if (hdr->hwndFrom == fileList_) {
        switch (hdr->code) {
        case LVN_ITEMCHANGED:
        case LVN_DELETEALLITEMS:
            UpdateStatus();
            return hdr->code == LVN_DELETEALLITEMS ? FALSE : 0;
        case LVN_COLUMNCLICK:
            FileListColumnClick(reinterpret_cast<NMLISTVIEW*>(hdr)->iSubItem);
            return 0;
        case LVN_ENDLABELEDITA: {
            auto* info = reinterpret_cast<NMLVDISPINFOA*>(hdr);
            FileListEdited(info->item.iItem, info->item.pszText);
            return FALSE;
        }
        case LVN_ENDLABELEDITW: {
            auto* info = reinterpret_cast<NMLVDISPINFOW*>(hdr);
            if (info->item.pszText) {
                char buf[1024] = {};
                WideCharToMultiByte(CP_ACP, 0, info->item.pszText, -1, buf, sizeof buf - 1, nullptr,
                                    nullptr);
                FileListEdited(info->item.iItem, buf);
            }
            return FALSE;
        }
        }
    } else if (hdr->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(hdr);
        static char hint[256];
        hint[0] = 0;
        LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(hdr->idFrom), hint, sizeof hint);
        info->lpszText = hint;
        return 0;
    } else if (hdr->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(hdr);
        static char hint[256];
        static wchar_t whint[256];
        hint[0] = 0;
        LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(hdr->idFrom), hint, sizeof hint);
        MultiByteToWideChar(CP_ACP, 0, hint, -1, whint, 256);
        info->lpszText = whint;
        return 0;
    }
    return 0;
}

LRESULT TVakoQuitForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (HIWORD(wp) == 0 || HIWORD(wp) == 1)
            OnCommand(LOWORD(wp));
        return 0;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lp));
    case WM_MEASUREITEM: {
        auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (mi->CtlType != ODT_MENU)
            break;
        mi->itemWidth = 20; // a gap before the caption
        mi->itemHeight = 16;
        return TRUE;
    }
    case WM_DRAWITEM: {
        auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        if (di->CtlType != ODT_MENU)
            break;
        DrawMenuPicture(*di);
        return TRUE;
    }
    case WM_SIZE:
        FormResize();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE)
            FormActivate();
        break;
    case WM_SETFOCUS:
        SetFocus(fileList_);
        return 0;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wp) == fileList_) {
            ShowPopupMenu(lp);
            return 0;
        }
        break;
    case WM_SETCURSOR:
        if (busy_) {
            SetCursor(LoadCursorA(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_APP_LOADICONS:
        LoadPendingIcons();
        return 0;
    case WM_APP_FIRSTRUN:
        FirstStartStep();
        return 0;
    case WM_CLOSE:
        if (busy_) {
            // A run in progress finishes first; the window closes when it ends.
            closePending_ = true;
            return 0;
        }
        FormCloseQuery();
        DestroyWindow(hwnd());
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefaultProc(msg, wp, lp);
}

void TVakoQuitForm::RunAction(int id) {
    SyncEngineOptions();
    switch (id) {
    case ID_ACT_ALLQUIT:
        quit_->ActAllQuitExecute(ProgTable);
        break;
    case ID_ACT_CLOSE:
        quit_->ActCloseExecute(SelectedRecords());
        break;
    case ID_ACT_ALLRUN:
        launch::ActAllRunExecute(*this, ProgTable, settings_.EachRun);
        break;
    case ID_ACT_RUN: {
        std::vector<TProgInfo*> selected = SelectedRecords();
        launch::ActRunExecute(*this,
                              std::vector<const TProgInfo*>(selected.begin(), selected.end()),
                              settings_.EachRun);
        break;
    }
    case ID_ACT_ADD:
        ::ActAddExecute(static_cast<RegistrationHost&>(*this));
        break;
    case ID_ACT_STARTUPREAD:
        ::ActStartUpReadExecute(static_cast<RegistrationHost&>(*this));
        break;
    case ID_ACT_VERSION:
        ShowAboutBox(hwnd());
        break;
    case ID_ACT_OPTION:
        ActOptionExecute();
        break;
    }
}

void TVakoQuitForm::ActOptionExecute() {
    EditOptions(hwnd(), programPath_, settings_);
}

bool TVakoQuitForm::IsCommandLineRun() {
    commandLine_ = ParseCommandLine(ProcessArguments());
    return ::IsCommandLineRun(commandLine_, *this);
}

void TVakoQuitForm::RunCommandLine() {
    RunCommandLineStep(commandLine_, *this);
}

std::string TVakoQuitForm::ReadShortcutTarget(const std::string& path) {
    ShortcutLink_.ShortcutFile = path;
    ShortcutLink_.Target.clear(); // a shortcut the shell hands back unread names nothing
    ShortcutLink_.ReadShortcut();
    return ShortcutLink_.Target;
}

void TVakoQuitForm::RunQuitAll() {
    OnCommand(ID_ACT_ALLQUIT);
}

void TVakoQuitForm::RunRunAll() {
    OnCommand(ID_ACT_ALLRUN);
}

void TVakoQuitForm::CloseMainWindow() {
    PostMessageA(hwnd(), WM_CLOSE, 0, 0);
}

void TVakoQuitForm::FirstStartStep() {
    ::FirstStartStep(static_cast<RegistrationHost&>(*this));
}
