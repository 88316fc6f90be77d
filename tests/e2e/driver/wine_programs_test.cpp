// The driver against Wine's own 32-bit programs, which nobody here wrote: what it
// reads across processes must match what those programs show.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/text.h"
#include "vako_e2e.h"

using namespace e2e;

namespace {

std::string SystemProgram(const char* name) {
    char dir[MAX_PATH];
    GetSystemDirectoryA(dir, MAX_PATH);
    return std::string(dir) + "\\" + name;
}

// The process page's list: the one whose second column is "PID".
HWND ProcessList(HWND taskManager) {
    for (int i = 0;; ++i) {
        HWND list = FindDescendant(taskManager, WC_LISTVIEWA, i);
        if (!list || (ListColumnCount(list) >= 2 && ListColumnCaption(list, 1) == "PID"))
            return list;
    }
}

int RowOfPid(HWND list, DWORD pid) {
    std::vector<std::string> pids = ListColumn(list, 1);
    for (size_t i = 0; i < pids.size(); ++i)
        if (pids[i] == std::to_string(pid))
            return static_cast<int>(i);
    return -1;
}

struct Notepad {
    Process process = Process::Start(SystemProgram("notepad.exe"));
    HWND top = nullptr;
    HWND edit = nullptr;

    // The window is listed while it is still being created: wait for its edit.
    Notepad() {
        WaitUntil(
            [&] {
                top = FindTopWindow(process.Id(), "Notepad");
                edit = top ? FindDescendant(top, "Edit") : nullptr;
                return edit && IsWindowVisible(top);
            },
            kDefaultTimeoutMs);
    }

    // Text set with WM_SETTEXT counts as unmodified; one typed character makes
    // notepad ask about saving when it closes.
    void MakeModified() {
        SetText(edit, "driver text");
        TypeChars(edit, "!");
        ASSERT_TRUE(WaitUntil([&] { return WindowText(edit) == "!driver text"; }, 5000))
            << WindowText(edit);
    }
};

} // namespace

TEST(WinePrograms, TaskManagerProcessListAndStatusBarAcrossProcesses) {
    Process tm = Process::Start(SystemProgram("taskmgr.exe"));
    HWND top = tm.WaitForWindow("#32770", kDefaultTimeoutMs);
    ASSERT_NE(top, nullptr);
    EXPECT_FALSE(Caption(top).empty());
    EXPECT_FALSE(IsMessageBox(top)) << "a dialog with a tab control is no message box";
    HWND list = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (list = ProcessList(top)) != nullptr; }, 5000));

    // The list is filled by a refresh thread: wait until it shows this very test.
    int self = -1;
    ASSERT_TRUE(WaitUntil([&] { return (self = RowOfPid(list, GetCurrentProcessId())) >= 0; },
                          kDefaultTimeoutMs));
    const std::string ownName = text::LowerAscii(text::FileNamePart([] {
        char b[MAX_PATH];
        GetModuleFileNameA(nullptr, b, MAX_PATH);
        return std::string(b);
    }()));
    EXPECT_TRUE(text::StartsWith(text::LowerAscii(ListItemText(list, self, 0)), ownName))
        << ListItemText(list, self, 0);
    int own = RowOfPid(list, tm.Id());
    ASSERT_GE(own, 0);
    EXPECT_TRUE(text::StartsWith(text::LowerAscii(ListItemText(list, own, 0)), "taskmgr.exe"));
    EXPECT_GE(ListItemCount(list), 3);
    EXPECT_EQ(ListViewType(list), static_cast<DWORD>(LVS_REPORT));
    EXPECT_EQ(ListViewMode(list), static_cast<DWORD>(LV_VIEW_DETAILS));

    // Two channels must agree: the list's column width (no pointer) and the
    // header's item rectangle (read through remote memory).
    ASSERT_GE(ListColumnCount(list), 5);
    HWND header = ListHeader(list);
    RemoteBuffer rect(header, sizeof(RECT));
    ASSERT_TRUE(Send(header, HDM_GETITEMRECT, 1, rect.Param()));
    RECT r = rect.Get<RECT>();
    EXPECT_GT(ListColumnWidth(list, 1), 0);
    EXPECT_EQ(ListColumnWidth(list, 1), r.right - r.left);

    RECT first = ListItemRect(list, 0), second = ListItemRect(list, 1);
    EXPECT_EQ(second.top, first.bottom);
    EXPECT_EQ(second.bottom - second.top, first.bottom - first.top);

    ListSelect(list, {1});
    EXPECT_EQ(ListSelectedItems(list), std::vector<int>{1});
    EXPECT_TRUE(ListItemSelected(list, 1));
    EXPECT_FALSE(ListItemSelected(list, 0));
    EXPECT_EQ(ListItemState(list, 1), static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED));

    // The first part counts the processes, the same count the list holds once both
    // have refreshed; WM_GETTEXT of a status bar gives that part too.
    HWND bar = FindDescendant(top, STATUSCLASSNAMEA);
    ASSERT_NE(bar, nullptr);
    std::string part0;
    EXPECT_TRUE(WaitUntil(
        [&] {
            part0 = StatusBarText(bar, 0);
            const std::string count = std::to_string(ListItemCount(list));
            return part0.size() > count.size() &&
                   part0.compare(part0.size() - count.size(), count.size(), count) == 0;
        },
        5000))
        << part0;
    EXPECT_EQ(WindowText(bar), StatusBarText(bar, 0));
    // The second part, the processor load, is written at the first refresh.
    EXPECT_TRUE(
        WaitUntil([&] { return StatusBarText(bar, 1).find('%') != std::string::npos; }, 5000))
        << StatusBarText(bar, 1);
}

TEST(WinePrograms, NotepadSaveQuestionReadAndAnsweredNo) {
    Notepad np;
    ASSERT_NE(np.edit, nullptr);
    np.MakeModified();
    Post(np.top, WM_CLOSE);
    HWND box = FindMessageBox(np.process.Id(), 5000);
    ASSERT_NE(box, nullptr);

    MessageBoxInfo info = ReadMessageBox(box);
    EXPECT_EQ(GetWindow(box, GW_OWNER), np.top);
    // The box bears notepad's name, the part of its title after the file name.
    const std::string title = Caption(np.top);
    ASSERT_FALSE(info.caption.empty());
    EXPECT_TRUE(
        title.size() > info.caption.size() &&
        title.compare(title.size() - info.caption.size(), std::string::npos, info.caption) == 0)
        << title << " / " << info.caption;
    EXPECT_TRUE(text::Contains(info.text, "(無題)")) << info.text;
    ASSERT_EQ(info.buttons.size(), 3u);
    EXPECT_TRUE(info.HasButton(IDYES) && info.HasButton(IDNO) && info.HasButton(IDCANCEL));
    for (const DialogButton& b : info.buttons)
        EXPECT_FALSE(b.text.empty()) << b.id;
    EXPECT_EQ(DefaultAnswer(info), IDYES);

    EXPECT_TRUE(AnswerMessageBox(box, IDNO, 5000));
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(np.process.WaitExit(5000), std::optional<DWORD>(0));
}

TEST(WinePrograms, AnsweringEveryBoxWhileWaiting) {
    Notepad np;
    ASSERT_NE(np.edit, nullptr);
    np.MakeModified();

    // Cancel: the box goes, notepad and its text stay.
    Post(np.top, WM_CLOSE);
    std::vector<AnsweredBox> answered;
    EXPECT_TRUE(WaitAnsweringBoxes(
        np.process.Id(), [&] { return !answered.empty(); }, 5000, answered,
        [](const MessageBoxInfo&) { return IDCANCEL; }));
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_EQ(answered[0].answer, IDCANCEL);
    EXPECT_TRUE(text::Contains(answered[0].text, "(無題)"));
    EXPECT_EQ(FindMessageBox(np.process.Id()), nullptr);
    EXPECT_TRUE(np.process.Running());
    EXPECT_EQ(WindowText(np.edit), "!driver text");
    const std::string firstCaption = answered[0].caption;
    EXPECT_FALSE(firstCaption.empty());

    // No: answered while waiting for the end of the process.
    answered.clear();
    Post(np.top, WM_CLOSE);
    EXPECT_TRUE(WaitAnsweringBoxes(
        np.process.Id(), [&] { return !np.process.Running(); }, 5000, answered,
        [](const MessageBoxInfo&) { return IDNO; }));
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_EQ(answered[0].answer, IDNO);
    EXPECT_EQ(answered[0].caption, firstCaption);
    EXPECT_EQ(np.process.WaitExit(0), std::optional<DWORD>(0));
}

TEST(WinePrograms, ExitCodesAndRunningProcesses) {
    Process cmd = Process::Start(SystemProgram("cmd.exe"), "/c exit 7");
    EXPECT_EQ(cmd.WaitExit(kDefaultTimeoutMs), std::optional<DWORD>(7));
    EXPECT_FALSE(cmd.Running());
    EXPECT_FALSE(IsProcessRunning(cmd.Id()));
    EXPECT_TRUE(WaitProcessExit(cmd.Id(), 0));

    Notepad np;
    ASSERT_NE(np.top, nullptr);
    const DWORD pid = np.process.Id();
    const DWORD t0 = GetTickCount();
    EXPECT_EQ(np.process.WaitExit(100), std::nullopt);
    EXPECT_GE(GetTickCount() - t0, 90u);
    EXPECT_TRUE(IsProcessRunning(pid));
    EXPECT_FALSE(WaitProcessExit(pid, 0));

    std::vector<DWORD> found = FindProcesses("NOTEPAD.EXE");
    EXPECT_NE(std::find(found.begin(), found.end(), pid), found.end());
    EXPECT_EQ(text::LowerAscii(text::FileNamePart(ProcessImagePath(pid))), "notepad.exe");
    std::vector<HWND> tops = TopLevelWindows(pid, true);
    EXPECT_NE(std::find(tops.begin(), tops.end(), np.top), tops.end());
    EXPECT_EQ(FindTopWindow(pid, "Notepad", Caption(np.top).c_str()), np.top);
    EXPECT_EQ(FindTopWindow(pid, "Notepad", "not its title"), nullptr);
    EXPECT_EQ(WindowProcessId(np.top), pid);

    np.process.Terminate(5);
    EXPECT_EQ(np.process.WaitExit(0), std::optional<DWORD>(5));
}

TEST(WinePrograms, AttachedProcessEndsWithItsOwner) {
    DWORD pid = 0;
    {
        Process p = Process::Start(SystemProgram("notepad.exe"));
        ASSERT_NE(p.WaitForWindow("Notepad", kDefaultTimeoutMs), nullptr);
        pid = p.Id();
        p.Detach();
    }
    ASSERT_TRUE(IsProcessRunning(pid)) << "Detach must leave it running";
    {
        Process adopted = Process::Attach(pid);
        EXPECT_TRUE(adopted.Running());
    }
    EXPECT_TRUE(WaitProcessExit(pid, 5000));
}
