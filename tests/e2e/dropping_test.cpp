// Files dragged onto the program's list from another process, as the shell drags
// them: the pointer is placed with SetCursorPos and drag_source.exe runs the drag
// with a scripted source, so no mouse is needed.
#include "driver/vako_e2e.h"
#include "drag_source.h"
#include "steps.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

const char kRefusal[] = "このプログラムを使用することはできません\n";
const char kTableFull[] = "これ以上アプリケーションを登録できません（最大256個）";

class Dropping : public ::testing::Test {
  protected:
    Dropping() : box({"quit_target.exe", "drag_source.exe"}) {}

    static std::string Known(const std::string& rest = "") {
        return "[Setting]\r\nVersion=0.3\r\n\r\n" + rest;
    }

    // A client point of the list, on the screen.
    static POINT OnList(const MainWindow& main, int x, int y) {
        POINT p = {x, y};
        ClientToScreen(main.List(), &p);
        return p;
    }
    static POINT ListCentre(const MainWindow& main) {
        RECT rc;
        GetClientRect(main.List(), &rc);
        return OnList(main, rc.right / 2, rc.bottom / 2);
    }

    // Starts a drag of `files` that begins over `at`; `options` as drag_source.exe
    // takes them.
    Process Drag(POINT at, const std::string& options, const std::vector<std::string>& files) {
        std::string args =
            "--at " + std::to_string(at.x) + " " + std::to_string(at.y) + " " + options + " --";
        for (const std::string& f : files)
            args += " \"" + f + "\"";
        return Process::Start(box.Path("drag_source.exe"), args, box.Dir());
    }
    // The drag's exit code (see drag_source.h); kDragFailed when it did not end.
    static DWORD Finish(Process& drag) {
        std::optional<DWORD> code = drag.WaitExit(20000);
        return code ? *code : static_cast<DWORD>(kDragFailed);
    }
    static DWORD Effect(DWORD code) { return code & 0xFF; }

    // No box open, after everything posted so far has been handled.
    static bool NoBox(AppProcess& app, const MainWindow& main) {
        Send(main.Hwnd(), WM_NULL);
        return FindMessageBox(app.Id()) == nullptr;
    }

    // The settings file's [n] section after the program has closed.
    std::string Section(int n) const {
        std::string ini = box.ReadIni();
        size_t at = ini.find("[" + std::to_string(n) + "]\r\n");
        if (at == std::string::npos)
            return "";
        size_t end = ini.find("\r\n\r\n", at);
        return ini.substr(at, end == std::string::npos ? std::string::npos : end - at) + "\r\n";
    }

    Sandbox box;
};

} // namespace

TEST_F(Dropping, OfThreeFilesTheTwoProgramsAreRegisteredInOrderAndTheTextFileIsPassedOver) {
    std::string a = box.CopyFromBin("quit_target.exe", "first.exe");
    box.WriteFile("note.txt", "not a program");
    std::string c = box.CopyFromBin("quit_target.exe", "third.exe");
    box.WriteIni(Known());
    AppProcess app(box);
    MainWindow main = app.Main();

    Process drag = Drag(ListCentre(main), "", {a, box.Path("note.txt"), c});
    DWORD code = Finish(drag);
    EXPECT_EQ(code, kDragDropped | DROPEFFECT_MOVE);
    ASSERT_TRUE(main.WaitItemCount(2));
    EXPECT_EQ(main.Names(), (std::vector<std::string>{"first", "third"}));
    EXPECT_TRUE(NoBox(app, main));

    ASSERT_EQ(app.Close(), 0u);
    EXPECT_NE(Section(0).find("\r\nProgram=" + a + "\r\n"), std::string::npos);
    EXPECT_NE(Section(1).find("\r\nProgram=" + c + "\r\n"), std::string::npos);
    EXPECT_EQ(Section(2), "");
}

// The list takes only moves: a source that offers copy and link gets no effect, and
// plain text is no file list.
TEST_F(Dropping, CopyOrLinkOnlySourcesAndTextAreRefused) {
    std::string a = box.CopyFromBin("quit_target.exe", "first.exe");
    box.WriteIni(Known());
    AppProcess app(box);
    MainWindow main = app.Main();

    Process copyLink = Drag(ListCentre(main), "--effects 5", {a});
    DWORD code = Finish(copyLink);
    EXPECT_EQ(code & kDragFailed, 0u) << code;
    EXPECT_EQ(Effect(code), static_cast<DWORD>(DROPEFFECT_NONE));

    Process text = Drag(ListCentre(main), "--text", {a});
    code = Finish(text);
    EXPECT_EQ(code & kDragFailed, 0u) << code;
    EXPECT_EQ(Effect(code), static_cast<DWORD>(DROPEFFECT_NONE));

    EXPECT_EQ(main.ItemCount(), 0);
    EXPECT_TRUE(NoBox(app, main));
}

// U+4E00 is 0x00 0x4E in UTF-16: a list read byte by byte would end at its first byte.
TEST_F(Dropping, UnicodeListIsReadWholeAndRegisteredUnderItsAnsiName) {
    ASSERT_TRUE(CreateDirectoryA(box.Path("一").c_str(), nullptr));
    std::string one = box.CopyFromBin("quit_target.exe", "一\\一太郎.exe");
    std::string two = box.CopyFromBin("quit_target.exe", "一\\一二.exe");
    box.WriteIni(Known());
    AppProcess app(box);
    MainWindow main = app.Main();

    Process drag = Drag(ListCentre(main), "--wide", {one, two});
    EXPECT_EQ(Finish(drag), kDragDropped | DROPEFFECT_MOVE);
    ASSERT_TRUE(main.WaitItemCount(2));
    EXPECT_EQ(main.Names(), (std::vector<std::string>{"一太郎", "一二"}));
    ASSERT_EQ(app.Close(), 0u);
    EXPECT_NE(Section(0).find("\r\nProgram=" + one + "\r\n"), std::string::npos);
    EXPECT_NE(Section(1).find("\r\nProgram=" + two + "\r\n"), std::string::npos);
}

// A program below a folder whose name code page 932 lacks, as every program installed
// for a user named "Jürgen" is: dropped, it is registered by its short form (the
// best fit, "Jurgen", names no file), shown by its name; "-r" starts it, and "-q"
// finds it running and quits it.
TEST_F(Dropping, ProgramInAFolderTheCodePageLacksIsRegisteredStartedAndQuit) {
    OutsideCodePageFolder jurgen(box, {L"mine.exe"});
    EndCopies guard{{"mine.exe"}}; // should a start or the quit have failed
    const std::string kept = jurgen.ShortPath(L"mine.exe");
    box.WriteIni(Known());
    {
        AppProcess app(box);
        MainWindow main = app.Main();
        Process drag = Drag(ListCentre(main), "--wide", {box.Path("J%u00FCrgen\\mine.exe")});
        EXPECT_EQ(Finish(drag), kDragDropped | DROPEFFECT_MOVE);
        ASSERT_TRUE(main.WaitItemCount(1));
        EXPECT_EQ(main.Names(), std::vector<std::string>{"mine"});
        EXPECT_TRUE(NoBox(app, main));
        ASSERT_EQ(app.Close(), 0u);
    }
    EXPECT_NE(Section(0).find("\r\nProgram=" + kept + "\r\nWork=" + jurgen.ShortPath() + "\\\r\n"),
              std::string::npos)
        << Section(0);

    RunToEnd(box, "-r");
    ASSERT_TRUE(WaitUntil([] { return FindProcesses("mine.exe").size() == 1; }, 10000));
    Process::Attach(FindProcesses("mine.exe")[0]).Terminate();
    ASSERT_TRUE(WaitUntil([] { return FindProcesses("mine.exe").empty(); }, 10000));
    // Started by its long name, as the shell starts it, its process reports that name,
    // which only the wide functions read whole.
    Process mine = Process::StartWide(jurgen.Path(L"mine.exe"), L"", jurgen.folder);
    ASSERT_NE(mine.WaitForWindow("VakoPlainWindow", 10000), nullptr);
    RunToEnd(box, "-q");
    EXPECT_TRUE(mine.WaitExit(10000).has_value());
}

TEST_F(Dropping, DraggingOverTheListAndLeavingLeavesNothingBehind) {
    std::string a = box.CopyFromBin("quit_target.exe", "first.exe");
    std::string c = box.CopyFromBin("quit_target.exe", "third.exe");
    box.WriteIni(Known());
    AppProcess app(box);
    MainWindow main = app.Main();

    // Over the list, then onto the status bar (no drop target), then given up.
    RECT bar;
    GetWindowRect(main.Status(), &bar);
    POINT off = {(bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2};
    Process leave =
        Drag(ListCentre(main),
             "--steps 4 --leave " + std::to_string(off.x) + " " + std::to_string(off.y), {a});
    DWORD code = Finish(leave);
    EXPECT_EQ(code & kDragFailed, 0u) << code;
    EXPECT_EQ(Effect(code), static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(main.ItemCount(), 0);
    EXPECT_TRUE(NoBox(app, main));

    // The next drop brings its own file only.
    Process drop = Drag(ListCentre(main), "", {c});
    EXPECT_EQ(Finish(drop), kDragDropped | DROPEFFECT_MOVE);
    ASSERT_TRUE(main.WaitItemCount(1));
    EXPECT_EQ(main.Names(), std::vector<std::string>{"third"});
}

// The source waits while the program asks: the next file is handled only once the
// refusal box has been answered.
TEST_F(Dropping, RefusedProgramShowsItsBoxAndTheNextFileFollowsTheAnswer) {
    std::string a = box.CopyFromBin("quit_target.exe", "first.exe");
    std::string c = box.CopyFromBin("quit_target.exe", "third.exe");
    box.WriteIni(Known("[0]\r\nName=first\r\nProgram=" + a + "\r\n\r\n"));
    AppProcess app(box);
    MainWindow main = app.Main();
    ASSERT_TRUE(main.WaitItemCount(1));

    Process drag = Drag(ListCentre(main), "", {a, c});
    HWND refusal = FindMessageBox(app.Id(), 10000);
    ASSERT_NE(refusal, nullptr);
    MessageBoxInfo info = ReadMessageBox(refusal);
    EXPECT_EQ(info.caption, "エラー");
    EXPECT_EQ(info.text, kRefusal + a);
    EXPECT_EQ(main.ItemCount(), 1);
    EXPECT_TRUE(drag.Running());

    ASSERT_TRUE(AnswerMessageBox(refusal, IDOK));
    EXPECT_EQ(Finish(drag), kDragDropped | DROPEFFECT_MOVE);
    ASSERT_TRUE(main.WaitItemCount(2));
    EXPECT_EQ(main.Names(), (std::vector<std::string>{"first", "third"}));
    EXPECT_TRUE(NoBox(app, main));
}

// A drop onto a full table: the source waits while the error box is up, the drop
// still ends as a move, and neither the list nor the settings file gains a 257th
// entry.
TEST_F(Dropping, OnAFullTableTheDroppedProgramIsRefusedAndTheListStaysAt256) {
    std::string ini = Known();
    for (int i = 0; i < 256; ++i) {
        std::string n = std::to_string(i);
        ini += "[" + n + "]\r\nName=app" + n + "\r\nProgram=C:\\apps\\app" + n + ".exe\r\n\r\n";
    }
    box.WriteIni(ini);
    std::string extra = box.CopyFromBin("quit_target.exe", "extra.exe");
    AppProcess app(box);
    MainWindow main = app.Main();
    ASSERT_TRUE(main.WaitItemCount(256, 20000));

    Process drag = Drag(ListCentre(main), "", {extra});
    HWND full = FindMessageBox(app.Id(), 20000);
    ASSERT_NE(full, nullptr);
    MessageBoxInfo info = ReadMessageBox(full);
    EXPECT_EQ(info.caption, "エラー");
    EXPECT_EQ(info.text, kTableFull);
    EXPECT_TRUE(drag.Running());
    ASSERT_TRUE(AnswerMessageBox(full, IDOK));
    EXPECT_EQ(Finish(drag), kDragDropped | DROPEFFECT_MOVE);
    EXPECT_TRUE(NoBox(app, main));
    EXPECT_EQ(main.ItemCount(), 256);

    ASSERT_EQ(app.Close(), 0u);
    EXPECT_NE(Section(255).find("\r\nName=app255\r\n"), std::string::npos);
    EXPECT_EQ(Section(256), "");
    EXPECT_EQ(box.ReadIni().find(extra), std::string::npos);
}

// Resting within a line's height of the top edge scrolls a scrolled list back up.
TEST_F(Dropping, HoveringNearTheTopEdgeScrollsTheList) {
    std::string ini = Known();
    for (int i = 0; i < 40; ++i) {
        std::string n = std::to_string(i);
        ini += "[" + n + "]\r\nName=entry " + n + "\r\nProgram=C:\\missing\\p" + n + ".exe\r\n\r\n";
    }
    box.WriteIni(ini);
    std::string a = box.CopyFromBin("quit_target.exe", "first.exe");
    AppProcess app(box);
    MainWindow main = app.Main();
    ASSERT_TRUE(main.WaitItemCount(40));
    Send(main.List(), LVM_ENSUREVISIBLE, 39, FALSE);
    LRESULT scrolledTo = Send(main.List(), LVM_GETTOPINDEX);
    ASSERT_GT(scrolledTo, 5);

    std::string stopName = "VakoDropTestStop" + std::to_string(GetCurrentProcessId());
    win::Handle stop(CreateEventA(nullptr, TRUE, FALSE, stopName.c_str()));
    ASSERT_TRUE(stop);
    Process drag = Drag(OnList(main, 100, 4), "--until " + stopName, {a});
    bool scrolled =
        WaitUntil([&] { return Send(main.List(), LVM_GETTOPINDEX) < scrolledTo - 1; }, 10000, 20);
    SetEvent(stop.get());
    EXPECT_TRUE(scrolled) << "top index stayed at " << Send(main.List(), LVM_GETTOPINDEX);
    DWORD code = Finish(drag);
    EXPECT_EQ(code & kDragDropped, 0u) << code;

    // Away from the edges nothing moves.
    ResetEvent(stop.get());
    LRESULT top = Send(main.List(), LVM_GETTOPINDEX);
    Process still = Drag(ListCentre(main), "--steps 8", {box.Path("note.txt")});
    Finish(still);
    EXPECT_EQ(Send(main.List(), LVM_GETTOPINDEX), top);
    EXPECT_EQ(main.ItemCount(), 40);
}
