#include "quit/window_list.h"

#include "core/text.h"
#include "win/window_text.h"

namespace {

// A record's text is read into a buffer one byte shorter than the other names.
constexpr int kTextBuffer = win::kNameBuffer - 1;

BOOL CALLBACK AddWindow(HWND hwnd, LPARAM lp) {
    auto& handles = *reinterpret_cast<std::vector<HWND>*>(lp);
    handles.push_back(hwnd);
    return TRUE;
}

void Fill(TWindowObject& w) {
    HWND hwnd = w.Handle;
    w.Text = win::WindowText(hwnd, kTextBuffer);
    w.ThreadID = GetWindowThreadProcessId(hwnd, nullptr);
    w.Visible = IsWindowVisible(hwnd) != FALSE;
    w.Enabled = IsWindowEnabled(hwnd) != FALSE;
    w.Iconic = IsIconic(hwnd) != FALSE;
    if (!GetWindowRect(hwnd, &w.Bounds))
        w.Bounds = RECT{0, 0, 0, 0};
}

} // namespace

TWindowList::TWindowList() {
    Refresh();
}

void TWindowList::Refresh() {
    std::vector<HWND> handles;
    handles.reserve(items_.size());
    EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&handles));
    items_.clear();
    items_.reserve(handles.size());
    for (HWND h : handles) {
        Record r;
        r.Object.Handle = h;
        items_.push_back(std::move(r));
    }
}

TWindowList::Record& TWindowList::At(int index) const {
    if (index < 0 || index >= Count())
        throw EListError("リストのインデックスが範囲を超えています (" + text::IntToStr(index) +
                         ")");
    return items_[static_cast<size_t>(index)];
}

TWindowObject TWindowList::Items(int index) const {
    Record& r = At(index);
    if (!r.Filled) {
        Fill(r.Object);
        r.Filled = true;
    }
    return r.Object;
}

HWND TWindowList::Handle(int index) const {
    return At(index).Object.Handle;
}
