#pragma once
// How the quit engine judges top-level windows, free of any platform call: the
// Win32 side reads the windows and hands their facts to these rules.
//
// The table operations are templates over any indexable table whose entries have
// the fields ClassName, Text, Style and ClassWndProc, so that they run on the
// program's window table and on plain tables alike.
#include <cstdint>
#include <string>
#include <vector>

namespace quit_rules {

// Style and extended-style bits the rules look at.
constexpr uint32_t kWsPopup = 0x80000000;
constexpr uint32_t kWsChild = 0x40000000;
constexpr uint32_t kWsVisible = 0x10000000;
constexpr uint32_t kWsClipSiblings = 0x04000000;
constexpr uint32_t kWsCaption = 0x00C00000; // WS_BORDER | WS_DLGFRAME
constexpr uint32_t kWsSysMenu = 0x00080000;
constexpr uint32_t kWsExToolWindow = 0x00000080;

constexpr uint32_t kWmClose = 0x0010;
constexpr uint32_t kWmSysCommand = 0x0112;
constexpr uint32_t kScClose = 0xF060;

// Whether a top-level, parentless window of the process counts as one that can be
// asked to close. Hidden windows count: resident programs are closed through them.
bool AcceptWindow(const std::string& className, const std::string& text, uint32_t style,
                  uint32_t exStyle, bool enabled);

// Windows that system libraries create in every process (OLE, DDE, tool tips, ...);
// they are dropped once a process has more than one accepted window.
bool IsServiceWindowClass(const std::string& className);

// The hidden application window of framework programs: closing it ends the program,
// whereas closing their main form may only hide it.
bool IsApplicationWindowClass(const std::string& className);

// Windows that the automatic quit never picks when it has to choose among several:
// bare windows created without style bits, the hidden window of the browser control
// and visible borderless pop-ups.
bool IsSkippedByAutoQuit(const std::string& className, uint32_t style);

// The windows that closing all other applications asks to close: visible, enabled,
// with a frame, no tool window, and not the program's own.
bool IsCloseAllCandidate(uint32_t style, uint32_t exStyle, bool enabled, bool ownProcess);

// Whether any ignore entry occurs in the title (case-sensitive, whole characters;
// an empty entry matches nothing).
bool IsIgnoredTitle(const std::string& title, const std::vector<std::string>& ignore);

// The request sent to a close-all candidate: the system-menu close when the window
// has a system menu, a plain WM_CLOSE otherwise.
struct CloseRequest {
    uint32_t Message;
    uint32_t WParam;
};
CloseRequest CloseRequestFor(uint32_t style);

// Removes entry i by moving entries i+1 .. last down one place; returns the new
// last. Entries past the new last keep what they held, so after removing every
// entry, entry 0 still holds the one that was last.
template <typename Table> int RemoveEntry(Table& table, int i, int last) {
    for (int j = i; j < last; ++j)
        table[j] = table[j + 1];
    return last - 1;
}

// The exclusion pass over entries 0 .. last; returns the new last. A sole window
// is kept whatever its class.
template <typename Table> int ExcludeServiceWindows(Table& table, int last) {
    if (last < 1)
        return last;
    int i = 0;
    while (i <= last) {
        if (IsServiceWindowClass(table[i].ClassName))
            last = RemoveEntry(table, i, last);
        else
            ++i;
    }
    return last;
}

// The window that the automatic quit closes among entries 0 .. last (last >= 0).
// May remove entries from the table; returns the index of the target.
template <typename Table> int ChooseAutoTarget(Table& table, int last) {
    if (last == 0)
        return 0;
    int app = -1;
    for (int i = 0; i <= last; ++i) {
        if (IsApplicationWindowClass(table[i].ClassName))
            app = i;
    }
    if (app >= 0)
        return app;
    int i = 0;
    while (i <= last) {
        if (IsSkippedByAutoQuit(table[i].ClassName, table[i].Style))
            last = RemoveEntry(table, i, last);
        else
            ++i;
    }
    // Nothing left: entry 0 now holds the entry that was last.
    int target = 0;
    for (int k = 1; k <= last; ++k) {
        if (static_cast<uint32_t>(table[k].ClassWndProc) <
            static_cast<uint32_t>(table[target].ClassWndProc))
            target = k;
    }
    return target;
}

// Calls post(i) for every entry among 0 .. last whose class name (byClass) or text
// the predicate accepts, in table order; returns the last such index or -1.
template <typename Table, typename Matches, typename Post>
int PostToMatching(Table& table, int last, bool byClass, Matches matches, Post post) {
    int t = -1;
    for (int i = 0; i <= last; ++i) {
        if (matches(byClass ? table[i].ClassName : table[i].Text)) {
            t = i;
            post(i);
        }
    }
    return t;
}

} // namespace quit_rules
