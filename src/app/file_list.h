#pragma once
// The list view of the main window: one item per registered application, each
// carrying a non-owning pointer to its slot of the table, the two image lists with
// the entries' icons, sorting, renaming and the four view styles.
#include "core/prog_info.h"
#include "core/view_style.h"
#include "win/handles.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class TFileList {
  public:
    TFileList() = default;
    TFileList(const TFileList&) = delete;
    TFileList& operator=(const TFileList&) = delete;

    // The control, report view, as child `id` of `parent`, its columns at their
    // default widths for `dpi`. The icon queue asks for its next turn by posting
    // `loadIconsMessage` to the parent, which then calls LoadPendingIcons.
    void Create(HWND parent, int id, HFONT font, UINT loadIconsMessage, int dpi);
    HWND hwnd() const { return list_; }
    // The window moved to a display of another scale: the columns keep their
    // widths at 96 DPI, the pictures are read again at the system's icon sizes there.
    void SetDpi(int dpi);

    // Clears both image lists and the items, then lists every occupied slot.
    void BuildList(TProgTable& table);
    // A new item with a picture of its own in both image lists; the list keeps its
    // index with the item, the record knows nothing of it.
    void AppendEntry(TProgInfo& record);
    void ShowEntry(int item, TProgInfo& record);
    // Shows every item's record again, after a command changed records in place.
    void ShowAllEntries();
    void LoadPendingIcons();
    // While a command runs, its waits hand the queue on, and every slice of icons
    // would lengthen each wait: the queue holds still until the command has ended.
    void PauseIcons(bool paused);

    // A copy of the large picture of list item `item`, for the caller to destroy;
    // null if none.
    HICON LargeIconAt(int item) const;

    int Count() const;
    int SelectedCount() const;
    TProgInfo* RecordAt(int item) const;
    // The one selected entry's record; nullptr unless exactly one is selected.
    const TProgInfo* SingleSelected() const;
    std::vector<TProgInfo*> SelectedRecords() const;
    std::vector<const TProgInfo*> RecordsInListOrder() const;
    // Selects the entry of `record` alone, focused and in sight.
    void SelectOnly(const TProgInfo* record);
    // Frees the slots of the selected entries and removes their items.
    void DeleteSelected();
    // True while BuildList fills the list: its change notifications mean nothing yet.
    bool Building() const { return building_; }

    // One of the kView numbers; anything else shows the report.
    void SetViewStyle(int view);
    int ViewStyle() const;
    void Arrange();
    // The report view's column widths as the settings file keeps them, at 96 DPI.
    // They are kept whatever the view, so that widths that were loaded are written
    // back unchanged until the user drags them.
    std::vector<int32_t> StoredColumnWidths() const;
    void SetStoredColumnWidths(const std::vector<int32_t>& stored);

    void ColumnClick(int column);
    void Edited(int item, const char* newText);
    // Where the popup menu opens for a WM_CONTEXTMENU's lParam (-1: from the keyboard).
    POINT PopupPoint(LPARAM lp) const;
    // The list's notifications; true when the selection or the items changed.
    bool OnNotify(NMHDR* hdr);

  private:
    struct PendingIcon {
        int index;
        std::string path;
    };
    // The picture an entry shows until its program's icon is read, as bitmaps:
    // appending bitmaps costs a fraction of appending an icon.
    struct Placeholder {
        win::GdiObject color;
        win::GdiObject mask;
    };
    static void LoadPlaceholder(int size, Placeholder& out);
    // Both image lists, empty, at the icon sizes of the current DPI.
    void CreateImageLists();
    // `count` more placeholders at the end of both lists. Adding a picture cost
    // about half a millisecond under Wine, and adding a strip of them at once
    // hardly more than one: the copies are put side by side and added together.
    void AddPlaceholders(int count);
    static void AddPlaceholderStrip(HIMAGELIST list, const Placeholder& placeholder, int count);
    // The icon of the program file goes to image `index` when the queue gets to it.
    void QueueIcon(int index, const std::string& path);
    // AppendEntry for an entry whose placeholder is already image `image`.
    void AppendEntry(TProgInfo& record, int image);
    static int CALLBACK CompareItemsProc(LPARAM a, LPARAM b, LPARAM sort);
    // The same in the list's pixels.
    std::vector<int32_t> ColumnWidths() const;
    void SetColumnWidths(const std::vector<int32_t>& widths);
    void CaptureColumnWidths();
    void FitListColumn();
    void PostIconTurn();
    void LoadIcon(const PendingIcon& p);

    HWND parent_ = nullptr;
    HWND list_ = nullptr;
    UINT loadIconsMessage_ = 0;
    int dpi_ = 96;
    win::ImageList LargeImages;
    win::ImageList SmallImages;
    Placeholder placeholderLarge_;
    Placeholder placeholderSmall_;
    std::vector<PendingIcon> pendingIcons_;
    bool iconsPaused_ = false;
    bool iconTurnPosted_ = false; // one turn in the queue at a time
    // Where each program file's icon went: a file registered twice is read once
    // (-1: it has none).
    std::map<std::string, int> readIcons_;
    size_t pendingNext_ = 0;
    bool building_ = false;
    int SortDirection = 1;
    std::vector<int32_t> columns_{180, 50, 50};
};
