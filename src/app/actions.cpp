#include "app/actions.h"

#include "app/add_running.h"
#include "app/command_ids.h"
#include "app/main_commands.h"
#include "core/display_scale.h"

#include <utility>
#include <vector>

namespace {

constexpr BYTE C = FCONTROL, A = FALT, S = FSHIFT;

// id, picture, shortcut, needs a selection, busy disables, handler.
const TAction kActions[] = {
    {ID_ACT_ALLQUIT, 0, C | A, 'Q', false, true, &ActAllQuitExecute},
    {ID_ACT_ALLRUN, 1, C | A, 'R', false, true, &ActAllRunExecute},
    {ID_ACT_CLOSE, 2, C, 'Q', true, true, &ActCloseExecute},
    {ID_ACT_RUN, 3, C, 'R', true, true, &ActRunExecute},
    {ID_ACT_ADD, 4, C, 'A', false, true, &ActAddExecute},
    {ID_ACT_DELETE, 5, C, 'D', true, true, &ActDeleteExecute},
    {ID_ACT_QUIT, 6, C | A, 'X', false, true, &ActQuitExecute},
    {ID_ACT_STARTUPREAD, 7, 0, 0, false, true, &ActStartUpReadExecute},
    {ID_ACT_PROPERTY, 8, A, VK_RETURN, true, true, &ActPropertyExecute},
    {ID_ACT_OPTION, 9, C, 'O', false, true, &ActOptionExecute},
    {ID_ACT_VERSION, 10, S, VK_F1, false, false, &ActVersionExecute},
    {ID_ACT_LARGEICON, 11, 0, 0, false, false, &ActLargeIconExecute},
    {ID_ACT_SMALLICON, 12, 0, 0, false, false, &ActSmallIconExecute},
    {ID_ACT_LIST, 13, 0, 0, false, false, &ActListExecute},
    {ID_ACT_REPORT, 14, 0, 0, false, false, &ActReportExecute},
    {ID_ACT_STATUS, 15, 0, 0, false, false, &ActStatusExecute},
    {ID_ACT_ADDRUNNING, 16, C | S, 'A', false, true, &ActAddRunningExecute},
};

// Toolbar buttons in order; 0 is a separator.
const int kToolButtons[] = {
    ID_ACT_ALLQUIT, ID_ACT_ALLRUN, 0, ID_ACT_CLOSE, ID_ACT_RUN, 0, ID_ACT_PROPERTY, 0, ID_ACT_QUIT};

// The sizes the pictures are drawn in, with their strips, smallest first.
struct PictureStrip {
    int size;
    int resource;
};
const PictureStrip kPictureStrips[] = {
    {16, IDB_COMMANDS16}, {20, IDB_COMMANDS20}, {24, IDB_COMMANDS24}, {32, IDB_COMMANDS32}};
// The gap between a menu item's picture and its caption.
const int kMenuPictureGap = 4;

std::string KeyName(WORD key) {
    switch (key) {
    case VK_RETURN:
        return "Enter";
    case VK_F1:
        return "F1";
    default:
        return std::string(1, static_cast<char>(key));
    }
}

} // namespace

const TAction* Actions() {
    return kActions;
}

int ActionCount() {
    return static_cast<int>(sizeof kActions / sizeof kActions[0]);
}

const TAction* FindAction(int id) {
    for (const TAction& a : kActions) {
        if (a.Id == id)
            return &a;
    }
    return nullptr;
}

std::string ShortcutText(const TAction& action) {
    if (!action.Key)
        return std::string();
    std::string text;
    if (action.KeyFlags & FCONTROL)
        text += "Ctrl+";
    if (action.KeyFlags & FALT)
        text += "Alt+";
    if (action.KeyFlags & FSHIFT)
        text += "Shift+";
    return text + KeyName(action.Key);
}

HACCEL CreateActionAccelerators() {
    std::vector<ACCEL> keys;
    for (const TAction& a : kActions) {
        if (a.Key)
            keys.push_back(
                ACCEL{static_cast<BYTE>(FVIRTKEY | a.KeyFlags), a.Key, static_cast<WORD>(a.Id)});
    }
    return CreateAcceleratorTableA(keys.data(), static_cast<int>(keys.size()));
}

void PrepareActionMenu(HMENU menu) {
    for (const TAction& action : kActions) {
        char caption[256] = {};
        if (!GetMenuStringA(menu, action.Id, caption, sizeof caption, MF_BYCOMMAND))
            continue;
        std::string text = caption;
        std::string shortcut = ShortcutText(action);
        if (!shortcut.empty())
            text += "\t" + shortcut;
        MENUITEMINFOA mi = {};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_BITMAP | MIIM_STRING;
        mi.hbmpItem = HBMMENU_CALLBACK;
        mi.dwTypeData = const_cast<char*>(text.c_str());
        SetMenuItemInfoA(menu, action.Id, FALSE, &mi);
    }
}

// The largest strip that is no larger than the 16 pixels of 96 DPI scaled: a
// stretched picture would blur, so between two sizes the smaller one is drawn.
HIMAGELIST LoadActionPictures(int dpi) {
    const int wanted = scale::ToPixels(16, dpi);
    const PictureStrip* strip = &kPictureStrips[0];
    for (const PictureStrip& s : kPictureStrips) {
        if (s.size <= wanted)
            strip = &s;
    }
    return ImageList_LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(strip->resource),
                                strip->size, 0, RGB(255, 0, 255), IMAGE_BITMAP,
                                LR_CREATEDIBSECTION);
}

bool HandleActionPicture(UINT msg, LPARAM lp, HIMAGELIST images) {
    int size = 16;
    int height = 16;
    ImageList_GetIconSize(images, &size, &height);
    if (msg == WM_MEASUREITEM) {
        auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (mi->CtlType != ODT_MENU)
            return false;
        mi->itemWidth = size + kMenuPictureGap;
        mi->itemHeight = height;
        return true;
    }
    if (msg != WM_DRAWITEM || reinterpret_cast<DRAWITEMSTRUCT*>(lp)->CtlType != ODT_MENU)
        return false;
    const DRAWITEMSTRUCT& di = *reinterpret_cast<DRAWITEMSTRUCT*>(lp);
    const TAction* action = FindAction(static_cast<int>(di.itemID));
    if (!action)
        return true;
    int y = di.rcItem.top + (di.rcItem.bottom - di.rcItem.top - height) / 2;
    if (di.itemState & (ODS_GRAYED | ODS_DISABLED)) {
        const win::Icon icon(ImageList_GetIcon(images, action->Picture, ILD_TRANSPARENT));
        DrawStateA(di.hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.get()), 0,
                   di.rcItem.left, y, size, height, DST_ICON | DSS_DISABLED);
    } else {
        ImageList_Draw(images, action->Picture, di.hDC, di.rcItem.left, y, ILD_TRANSPARENT);
    }
    return true;
}

HWND CreateActionToolBar(HWND parent, int id, int height, HIMAGELIST images) {
    HWND toolbar =
        CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
                            CCS_NOPARENTALIGN | CCS_NODIVIDER,
                        0, 0, 0, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                        GetModuleHandleA(nullptr), nullptr);
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    for (int command : kToolButtons) {
        const TAction* action = FindAction(command);
        TBBUTTON tb = {};
        tb.iBitmap = action ? action->Picture : 6; // a separator's width
        tb.idCommand = command;
        tb.fsState = TBSTATE_ENABLED;
        tb.fsStyle = action ? BTNS_BUTTON : BTNS_SEP;
        SendMessageA(toolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&tb));
    }
    return toolbar;
}

bool AnswerActionHint(NMHDR* hdr) {
    // The tooltip keeps the pointer until its next question.
    static char hint[256];
    static wchar_t whint[256];
    if (hdr->code != TTN_GETDISPINFOA && hdr->code != TTN_GETDISPINFOW)
        return false;
    hint[0] = 0;
    LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(hdr->idFrom), hint, sizeof hint);
    if (hdr->code == TTN_GETDISPINFOA) {
        reinterpret_cast<NMTTDISPINFOA*>(hdr)->lpszText = hint;
    } else {
        MultiByteToWideChar(CP_ACP, 0, hint, -1, whint, 256);
        reinterpret_cast<NMTTDISPINFOW*>(hdr)->lpszText = whint;
    }
    return true;
}

TActionUi::TActionUi() : enabled_(ActionCount(), false) {}

void TActionUi::LoadMenus() {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    mainMenu_ = LoadMenuA(inst, MAKEINTRESOURCEA(IDR_MAINMENU));
    popupMenu_.reset(LoadMenuA(inst, MAKEINTRESOURCEA(IDR_POPUPMENU)));
    accel_.reset(CreateActionAccelerators());
}

void TActionUi::CreateToolBar(HWND owner, int id, int height, int dpi) {
    CommandImages.reset(LoadActionPictures(dpi));
    toolBar_ = CreateActionToolBar(owner, id, height, CommandImages.get());
    PrepareActionMenu(mainMenu_);
    PrepareActionMenu(popupMenu_.get());
}

void TActionUi::SetDpi(int dpi) {
    win::ImageList pictures(LoadActionPictures(dpi));
    // The toolbar takes the size of its buttons from the new list.
    SendMessageA(toolBar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pictures.get()));
    SendMessageA(toolBar_, TB_AUTOSIZE, 0, 0);
    CommandImages = std::move(pictures);
}

void TActionUi::Apply(bool busy, bool hasSelection) {
    for (const TAction& a : kActions)
        Enable(a, a.Execute && !(busy && a.BusyDisables) && (hasSelection || !a.NeedsSelection));
}

bool TActionUi::IsEnabled(int id) const {
    const TAction* action = FindAction(id);
    return action && enabled_[action - kActions];
}

void TActionUi::Enable(const TAction& action, bool enabled) {
    enabled_[&action - kActions] = enabled;
    const UINT flags = MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(mainMenu_, action.Id, flags);
    EnableMenuItem(popupMenu_.get(), action.Id, flags);
    SendMessageA(toolBar_, TB_ENABLEBUTTON, action.Id, MAKELPARAM(enabled ? TRUE : FALSE, 0));
}

void TActionUi::Check(int id, bool checked) {
    CheckMenuItem(mainMenu_, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void TActionUi::ShowPopup(HWND owner, POINT pt) const {
    TrackPopupMenu(GetSubMenu(popupMenu_.get(), 0), TPM_RIGHTBUTTON, pt.x, pt.y, 0, owner, nullptr);
}

bool TActionUi::HandlePicture(UINT msg, LPARAM lp) const {
    return HandleActionPicture(msg, lp, CommandImages.get());
}
