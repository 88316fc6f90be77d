#pragma once
// The main window's actions in one table: everything the menus, the popup menu, the
// toolbar, the tooltips, the accelerators and the enabling know of an action comes
// from its row. Captions and hints stay in the resources under the action's id.
#include <windows.h>
#include <commctrl.h>

#include <string>

class TVakoQuitForm;

struct TAction {
    int id;              // command id, also the id of its caption's menu items and its hint
    int picture;         // index in CommandImages
    BYTE keyFlags;       // FCONTROL, FALT, FSHIFT (FVIRTKEY is implied)
    WORD key;            // virtual key of the shortcut; 0 for none
    bool needsSelection; // enabled only while the list has a selection
    bool busyDisables;   // disabled while a quit, run or import is going on
    // The handler; an action without one stays disabled.
    void (TVakoQuitForm::*execute)();
};

// Every action, in the order of their pictures.
const TAction* Actions();
int ActionCount();
// The row of a command id; nullptr for an id that is not an action.
const TAction* FindAction(int id);

// The shortcut as a menu shows it after a tab ("Ctrl+Alt+Q"); empty for none.
std::string ShortcutText(const TAction& action);
// An accelerator table of every shortcut; the caller destroys it.
HACCEL CreateActionAccelerators();

// Gives every item of an action in `menu` the action's picture (drawn by the owner
// through DrawActionPicture) and its shortcut after a tab.
void PrepareActionMenu(HMENU menu);
// WM_MEASUREITEM and WM_DRAWITEM of the menu items' pictures, drawn from `images`;
// true (the message's result is TRUE) when the message was one of them.
bool HandleActionPicture(UINT msg, LPARAM lp, HIMAGELIST images);
// The main window's flat toolbar, child `id` of `parent`: its actions' buttons with
// their pictures from `images` and their hints as tooltips (see AnswerActionHint).
HWND CreateActionToolBar(HWND parent, int id, int height, HIMAGELIST images);
// Answers a tooltip's TTN_GETDISPINFO with the action's hint from the string table;
// false for any other notification.
bool AnswerActionHint(NMHDR* hdr);
