#pragma once
// The main window's actions in one table: everything the menus, the popup menu, the
// toolbar, the tooltips, the accelerators and the enabling know of an action comes
// from its row. Captions and hints stay in the resources under the action's id.
#include "win/handles.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

class TMainContext;

struct TAction {
    int Id;              // command id, also the id of its caption's menu items and its hint
    int Picture;         // index in CommandImages
    BYTE KeyFlags;       // FCONTROL, FALT, FSHIFT (FVIRTKEY is implied)
    WORD Key;            // virtual key of the shortcut; 0 for none
    bool NeedsSelection; // enabled only while the list has a selection
    bool BusyDisables;   // disabled while a quit, run or import is going on
    // The handler; an action without one stays disabled.
    void (*Execute)(TMainContext&);
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
// The pictures of every action, a strip of the size drawn for `dpi`.
HIMAGELIST LoadActionPictures(int dpi);
// WM_MEASUREITEM and WM_DRAWITEM of the menu items' pictures, drawn from `images`
// at their own size; true (the message's result is TRUE) when the message was one
// of them.
bool HandleActionPicture(UINT msg, LPARAM lp, HIMAGELIST images);
// The main window's flat toolbar, child `id` of `parent`: its actions' buttons with
// their pictures from `images` and their hints as tooltips (see AnswerActionHint).
HWND CreateActionToolBar(HWND parent, int id, int height, HIMAGELIST images);
// Answers a tooltip's TTN_GETDISPINFO with the action's hint from the string table;
// false for any other notification.
bool AnswerActionHint(NMHDR* hdr);

// The actions as the user meets them: the main menu, the popup menu, the toolbar with
// its pictures, the accelerators, and which of them are enabled and checked.
class TActionUi {
  public:
    TActionUi();
    // The menus, before the window that carries the main menu exists.
    void LoadMenus();
    HMENU MainMenu() const { return mainMenu_; }
    HACCEL Accelerators() const { return accel_.get(); }
    // The pictures for `dpi` and the toolbar, child `id` of `owner`.
    void CreateToolBar(HWND owner, int id, int height, int dpi);
    // The pictures again, for the window's new display scale.
    void SetDpi(int dpi);
    HWND ToolBar() const { return toolBar_; }

    // Every action is enabled unless a long command runs and the action waits for
    // it, or it needs a selection and there is none. Called whenever either changes.
    void Apply(bool busy, bool hasSelection);
    bool IsEnabled(int id) const;
    void Check(int id, bool checked);
    // Opens the popup menu at `pt` (screen), its commands going to `owner`.
    void ShowPopup(HWND owner, POINT pt) const;
    // The menu items' pictures: see HandleActionPicture.
    bool HandlePicture(UINT msg, LPARAM lp) const;

  private:
    void Enable(const TAction& action, bool enabled);

    HMENU mainMenu_ = nullptr; // the window destroys it with itself
    win::Menu popupMenu_;
    win::Accelerators accel_;
    win::ImageList CommandImages;
    HWND toolBar_ = nullptr;
    std::vector<bool> enabled_; // by the action's row
};
