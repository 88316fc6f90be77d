#include "app/add_running.h"

#include "app/main_context.h"
#include "app/running_registration.h"

#include <commctrl.h>

namespace {

// Moves the list's selection to the entry of `slot` alone, in sight.
void SelectEntry(TMainContext& c, int slot) {
    TFileList& list = c.List();
    const TProgInfo* record = &c.Table()[slot];
    for (int i = 0; i < list.Count(); ++i) {
        if (list.RecordAt(i) != record)
            continue;
        ListView_SetItemState(list.hwnd(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_SetItemState(list.hwnd(), i, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list.hwnd(), i, FALSE);
        return;
    }
}

} // namespace

void ActAddRunningExecute(TMainContext& c) {
    TVakoAddRunningForm form(RunningEntries(c, ReadRunningPrograms(GetCurrentProcessId())));
    if (form.ShowModal(c.BoxOwner()) != IDOK || form.Chosen().empty())
        return;
    const int first = RegisterPrograms(c, form.Chosen());
    if (first >= 0)
        SelectEntry(c, first);
    c.ListChanged();
}
