// Message boxes and dialogs that another process shows.
#include <algorithm>
#include <cstdlib>

#include "vako_e2e.h"

namespace e2e {

namespace {
constexpr int kBoxTextId = 0xFFFF;
constexpr const char* kDialogClass = "#32770";

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> out;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        out.push_back(c);
    return out;
}

std::vector<HWND> VisibleDialogs(DWORD pid) {
    std::vector<HWND> out;
    for (HWND h : TopLevelWindows(pid, true))
        if (ClassName(h) == kDialogClass)
            out.push_back(h);
    return out;
}
} // namespace

bool MessageBoxInfo::HasButton(int id) const {
    return std::any_of(buttons.begin(), buttons.end(),
                       [&](const DialogButton& b) { return b.id == id; });
}

// A message box is a dialog holding only its text (static 0xFFFF), its icon and
// buttons. Other dialogs also use 0xFFFF for their labels, but hold edits, lists
// and the like as well.
bool IsMessageBox(HWND hwnd) {
    if (ClassName(hwnd) != kDialogClass)
        return false;
    HWND text = GetDlgItem(hwnd, kBoxTextId);
    if (!text || ClassName(text) != "Static")
        return false;
    for (HWND c : Children(hwnd)) {
        std::string cls = ClassName(c);
        if (cls != "Static" && cls != "Button")
            return false;
    }
    return true;
}

HWND FindMessageBox(DWORD pid, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND h : VisibleDialogs(pid))
                if (IsMessageBox(h))
                    return (found = h) != nullptr;
            return false;
        },
        timeoutMs);
    return found;
}

HWND FindDialog(DWORD pid, const char* caption, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND h : VisibleDialogs(pid))
                if (!caption || Caption(h) == caption)
                    return (found = h) != nullptr;
            return false;
        },
        timeoutMs);
    return found;
}

std::string MessageBoxText(HWND box) {
    HWND text = GetDlgItem(box, kBoxTextId);
    if (!text)
        throw DriverError("not a message box: no text control");
    return WindowText(text);
}

std::vector<DialogButton> DialogButtons(HWND dialog) {
    std::vector<DialogButton> out;
    for (HWND c : Children(dialog)) {
        if (ClassName(c) != "Button" || !IsWindowVisible(c))
            continue;
        out.push_back({GetDlgCtrlID(c), WindowText(c)});
    }
    return out;
}

MessageBoxInfo ReadMessageBox(HWND box) {
    MessageBoxInfo info;
    info.hwnd = box;
    info.caption = Caption(box);
    info.text = MessageBoxText(box);
    info.buttons = DialogButtons(box);
    return info;
}

// BM_CLICK is posted so that a box whose thread is busy cannot block the test. A
// button of an inactive box may ignore the click; the dialog's own WM_COMMAND for
// that button then ends it the same way.
bool AnswerMessageBox(HWND box, int buttonId, DWORD timeoutMs) {
    if (const char* dir = std::getenv("VAKO_BOX_SHOT_DIR")) {
        static int shots = 0;
        SaveWindowShot(box, std::string(dir) + "\\box-" + std::to_string(GetCurrentProcessId()) +
                                "-" + std::to_string(++shots) + ".bmp");
    }
    HWND button = GetDlgItem(box, buttonId);
    if (!button)
        throw DriverError("the box \"" + Caption(box) + "\" has no button " +
                          std::to_string(buttonId));
    Post(button, BM_CLICK);
    const DWORD first = std::min<DWORD>(timeoutMs, 1000);
    if (WaitUntil([&] { return !IsWindow(box); }, first))
        return true;
    if (IsWindow(box))
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    return WaitUntil([&] { return !IsWindow(box); }, timeoutMs - first);
}

int DefaultAnswer(const MessageBoxInfo& box) {
    for (int id : {IDOK, IDYES})
        if (box.HasButton(id))
            return id;
    if (box.buttons.empty())
        throw DriverError("message box without buttons: " + box.text);
    return box.buttons.front().id;
}

bool WaitAnsweringBoxes(const std::vector<DWORD>& pids, const std::function<bool()>& done,
                        DWORD timeoutMs, std::vector<AnsweredBox>& answered,
                        const BoxChooser& choose) {
    const DWORD start = GetTickCount();
    bool stuck = false;
    WaitUntil(
        [&] {
            if (done())
                return true;
            for (DWORD pid : pids) {
                HWND box = FindMessageBox(pid);
                if (!box)
                    continue;
                MessageBoxInfo info = ReadMessageBox(box);
                const int answer = choose(info);
                answered.push_back({info.caption, info.text, answer});
                // Waits until this box is gone, so the next look finds the next box.
                const DWORD used = GetTickCount() - start;
                if (!AnswerMessageBox(box, answer, used < timeoutMs ? timeoutMs - used : 1)) {
                    stuck = true;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return !stuck && done();
}

} // namespace e2e
