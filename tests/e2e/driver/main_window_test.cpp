// AppProcess and MainWindow against a stand-in of the main window: its list view
// must see the driver's selection, header clicks and renames as its own events.
#include <gtest/gtest.h>

#include "vako_e2e.h"

using namespace e2e;

namespace {

using Names = std::vector<std::string>;

class FakeFormTest : public ::testing::Test {
  protected:
    SandboxOptions Options() {
        SandboxOptions o;
        o.copyProgram = false;
        o.extraFiles = {"e2e_fake_form.exe"};
        return o;
    }
    Sandbox box{Options()};
    std::string exe = box.Path("e2e_fake_form.exe");
};

} // namespace

TEST_F(FakeFormTest, ReadsItemsColumnsStatusAndToolbar) {
    AppProcess app(exe, "", box.Dir());
    ASSERT_NE(app.WaitForMainWindow(), nullptr);
    MainWindow m = app.Main();
    EXPECT_EQ(ClassName(m.Hwnd()), kMainClass);
    EXPECT_EQ(m.Title(), "E2E fake form");
    RECT r = m.Rect();
    EXPECT_EQ(r.right - r.left, 420);

    EXPECT_TRUE(m.WaitItemCount(3, 5000));
    EXPECT_FALSE(m.WaitItemCount(4, 100));
    EXPECT_EQ(m.ItemCount(), 3);
    EXPECT_EQ(m.Names(), (Names{"Charlie", "alpha", "Bravo"}));
    EXPECT_EQ(m.Rows()[0], (Names{"Charlie", "●", ""}));
    EXPECT_EQ(m.Rows()[2], (Names{"Bravo", "●", "●"}));
    EXPECT_EQ(m.ItemText(1, 2), "●");
    EXPECT_EQ(ListColumnCaption(m.List(), 0), "プログラム");
    EXPECT_EQ(m.ColumnWidth(0), 180);
    EXPECT_EQ(m.ColumnWidth(2), 50);
    EXPECT_EQ(m.StatusText(), "3 items");
    EXPECT_TRUE(m.StatusVisible());

    std::vector<ToolbarButton> tb = ToolbarButtons(m.Toolbar());
    ASSERT_EQ(tb.size(), 4u);
    EXPECT_EQ(tb[0].command, 101);
    EXPECT_EQ(tb[2].command, 0) << "separator";
    EXPECT_EQ(tb[3].command, 103);
    EXPECT_TRUE(ToolbarButtonEnabled(m.Toolbar(), 101));
    EXPECT_FALSE(ToolbarButtonEnabled(m.Toolbar(), 102));
    m.Command(103);
    EXPECT_TRUE(m.WaitStatus("command 103", 5000)) << m.StatusText();
}

TEST_F(FakeFormTest, SelectionReachesTheProgram) {
    AppProcess app(exe, "", box.Dir());
    MainWindow m = app.Main();
    m.Select({0, 2});
    EXPECT_EQ(m.Selected(), (std::vector<int>{0, 2}));
    EXPECT_TRUE(m.WaitStatus("2 selected", 5000)) << m.StatusText();
    EXPECT_EQ(ListItemState(m.List(), 0), static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(ListItemState(m.List(), 2), static_cast<UINT>(LVIS_SELECTED));
    m.Select({});
    EXPECT_TRUE(m.Selected().empty());
    EXPECT_TRUE(m.WaitStatus("3 items", 5000)) << m.StatusText();
}

TEST_F(FakeFormTest, HeaderClickArrivesAsColumnClick) {
    AppProcess app(exe, "", box.Dir());
    MainWindow m = app.Main();
    m.ClickColumn(0);
    ASSERT_TRUE(m.WaitStatus("sorted by 0", 5000)) << m.StatusText();
    EXPECT_EQ(m.Names(), (Names{"alpha", "Bravo", "Charlie"}));
    // The program flips its direction after each sort: column 2 descending.
    m.ClickColumn(2);
    ASSERT_TRUE(m.WaitStatus("sorted by 2", 5000)) << m.StatusText();
    EXPECT_EQ(m.Names(), (Names{"Bravo", "alpha", "Charlie"}));
}

TEST_F(FakeFormTest, RenameGoesThroughTheEndOfEditNotification) {
    AppProcess app(exe, "", box.Dir());
    MainWindow m = app.Main();
    // A text with a "\" trail byte (表) must arrive whole.
    EXPECT_TRUE(m.Rename(1, "デルタ表"));
    EXPECT_EQ(m.ItemText(1), "デルタ表");
    // The program refuses empty names: the list keeps the old caption, which shows
    // that the answer came from the program's notification handler.
    EXPECT_TRUE(m.Rename(0, ""));
    EXPECT_EQ(m.ItemText(0), "Charlie");
    EXPECT_EQ(m.Names(), (Names{"Charlie", "デルタ表", "Bravo"}));
}

TEST_F(FakeFormTest, CommandsChangeViewAndStatusBar) {
    AppProcess app(exe, "", box.Dir());
    MainWindow m = app.Main();
    EXPECT_EQ(m.ViewType(), static_cast<DWORD>(LVS_REPORT));
    for (DWORD type : {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT}) {
        m.Command(static_cast<WORD>(202 + type));
        EXPECT_TRUE(WaitUntil([&] { return m.ViewType() == type; }, 5000)) << type;
        EXPECT_EQ(ListViewMode(m.List()), type);
    }
    m.Command(201);
    EXPECT_TRUE(WaitUntil([&] { return !m.StatusVisible(); }, 5000));
    m.Command(201);
    EXPECT_TRUE(WaitUntil([&] { return m.StatusVisible(); }, 5000));
}

TEST_F(FakeFormTest, MessageBoxOfTheProgram) {
    AppProcess app(exe, "", box.Dir());
    MainWindow m = app.Main();
    m.Command(206);
    HWND b = FindMessageBox(app.Id(), 5000);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(IsMessageBox(b));
    MessageBoxInfo info = ReadMessageBox(b);
    EXPECT_EQ(info.caption, "情報");
    EXPECT_EQ(info.text, "処理が完了しました");
    ASSERT_EQ(info.buttons.size(), 1u);
    EXPECT_EQ(info.buttons[0].id, IDOK);
    EXPECT_EQ(DefaultAnswer(info), IDOK);
    EXPECT_EQ(FindDialog(app.Id(), "情報"), b);
    EXPECT_EQ(FindDialog(app.Id(), "no such caption"), nullptr);
    EXPECT_TRUE(AnswerMessageBox(b, IDOK, 5000));
    EXPECT_TRUE(m.WaitStatus("box closed", 5000)) << m.StatusText();
}

TEST_F(FakeFormTest, CloseReturnsTheExitCode) {
    AppProcess app(exe, "/exit:3", box.Dir());
    ASSERT_NE(app.WaitForMainWindow(), nullptr);
    EXPECT_EQ(app.Close(), std::optional<DWORD>(3));
    EXPECT_FALSE(app.Running());
}

TEST_F(FakeFormTest, CloseThatAsksIsAnsweredWhileWaiting) {
    AppProcess app(exe, "/ask /exit:4", box.Dir());
    ASSERT_NE(app.WaitForMainWindow(), nullptr);
    // The question blocks the close: no exit within the short deadline.
    EXPECT_EQ(app.Close(200), std::nullopt);
    std::vector<AnsweredBox> answered;
    EXPECT_TRUE(WaitAnsweringBoxes(
        app.Id(), [&] { return !app.Running(); }, 5000, answered));
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_EQ(answered[0].caption, "確認");
    EXPECT_EQ(answered[0].text, "閉じますか？");
    EXPECT_EQ(answered[0].answer, IDYES);
    EXPECT_EQ(app.WaitExit(0), std::optional<DWORD>(4));
}

TEST_F(FakeFormTest, DestructorEndsAProgramThatWillNotClose) {
    DWORD pid = 0;
    {
        AppProcess app(exe, "/ask", box.Dir());
        ASSERT_NE(app.WaitForMainWindow(), nullptr);
        pid = app.Id();
    }
    EXPECT_FALSE(IsProcessRunning(pid));
}

TEST_F(FakeFormTest, NoMainWindowIsReportedAtTheDeadline) {
    char dir[MAX_PATH];
    GetSystemDirectoryA(dir, MAX_PATH);
    AppProcess app(std::string(dir) + "\\notepad.exe", "");
    const DWORD t0 = GetTickCount();
    EXPECT_EQ(app.WaitForMainWindow(300), nullptr);
    EXPECT_GE(GetTickCount() - t0, 290u);
    EXPECT_THROW(app.Main(100), DriverError);
}
