#include "quit/window_list.h"

#include "app/text.h"

#include <exception>

namespace {

struct EnumState {
    std::vector<TWindowObject>* items;
    std::exception_ptr error;
};

BOOL CALLBACK AddWindow(HWND hwnd, LPARAM lp) {
    auto& state = *reinterpret_cast<EnumState*>(lp);
    // Nothing may be thrown back into EnumWindows: keep it for the caller.
    try {
        TWindowObject w;
        w.Handle = hwnd;
        char buf[255];
        int n = GetWindowTextA(hwnd, buf, sizeof buf);
        w.Text.assign(buf, n > 0 ? static_cast<size_t>(n) : 0);
        w.ThreadID = GetWindowThreadProcessId(hwnd, nullptr);
        w.Visible = IsWindowVisible(hwnd) != FALSE;
        w.Enabled = IsWindowEnabled(hwnd) != FALSE;
        w.Iconic = IsIconic(hwnd) != FALSE;
        if (!GetWindowRect(hwnd, &w.Bounds))
            w.Bounds = RECT{0, 0, 0, 0};
        state.items->push_back(std::move(w));
    } catch (...) {
        state.error = std::current_exception();
        return FALSE;
    }
    return TRUE;
}

} // namespace

TWindowList::TWindowList() {
    Refresh();
}

void TWindowList::Refresh() {
    items_.clear();
    EnumState state{&items_, nullptr};
    EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&state));
    if (state.error)
        std::rethrow_exception(state.error);
}

TWindowObject TWindowList::Items(int index) const {
    if (index < 0 || index >= Count())
        throw EListError("リストのインデックスが範囲を超えています (" + text::IntToStr(index) +
                         ")");
    return items_[static_cast<size_t>(index)];
}
