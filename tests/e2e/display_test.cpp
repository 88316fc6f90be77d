// The main window and its dialogs on displays of another scale and at the edges of
// the monitor, driven from outside like a user would.
#include "app/command_ids.h"
#include "driver/vako_e2e.h"
#include "steps.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

// Programs started while this lives run at `dpi`, as after the user chose another
// display scale; Wine reads it when a program starts. 96 comes back at its end.
class DisplayScale {
  public:
    explicit DisplayScale(DWORD dpi) { Set(dpi); }
    ~DisplayScale() { Set(96); }
    DisplayScale(const DisplayScale&) = delete;
    DisplayScale& operator=(const DisplayScale&) = delete;

  private:
    static void Set(DWORD dpi) {
        SetValue(HKEY_CURRENT_USER, "Control Panel\\Desktop", dpi);
        SetValue(HKEY_LOCAL_MACHINE,
                 "System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts", dpi);
    }
    static void SetValue(HKEY root, const char* path, DWORD dpi) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            throw DriverError(std::string("cannot open ") + path);
        const LONG set = RegSetValueExA(key, "LogPixels", 0, REG_DWORD,
                                        reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
        RegCloseKey(key);
        if (set != ERROR_SUCCESS)
            throw DriverError(std::string("cannot set LogPixels under ") + path);
    }
};

std::string Settings(int x, int y) {
    return "[Setting]\r\nXPos=" + std::to_string(x) + "\r\nYPos=" + std::to_string(y) +
           "\r\nWidth=333\r\nHeight=255\r\nQuitTimeout=5\r\nAllClose=0\r\nEachRun=1\r\n"
           "View=3\r\nStatus=1\r\nVersion=0.3\r\nColumn0=123\r\nColumn1=45\r\nColumn2=67\r\n\r\n" +
           App(0, "メモ帳", "C:\\windows\\notepad.exe");
}

RECT WorkArea() {
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

bool Inside(const RECT& r, const RECT& area) {
    return r.left >= area.left && r.top >= area.top && r.right <= area.right &&
           r.bottom <= area.bottom;
}

} // namespace

// The file keeps the 96-DPI numbers: a start and a close at 144 DPI write what one at
// 96 DPI writes, while the window and its columns are half as large again.
TEST(Display, TheSettingsFileIsTheSameAtEveryScale) {
    Sandbox box;
    const std::string ini = Settings(37, 41);
    box.WriteIni(ini);
    {
        AppProcess app(box);
        ASSERT_TRUE(app.Main().WaitItemCount(1));
        ASSERT_EQ(app.Close(), 0u);
        ASSERT_EQ(box.ReadIni(), ini);
    }
    DisplayScale dpi(144);
    AppProcess app(box);
    MainWindow main = app.Main();
    ASSERT_TRUE(main.WaitItemCount(1));
    EXPECT_EQ(main.ColumnWidth(0), 185); // 123 * 1.5, rounded
    EXPECT_EQ(main.ColumnWidth(1), 68);
    EXPECT_EQ(main.ColumnWidth(2), 101);
    ASSERT_EQ(app.Close(), 0u);
    EXPECT_EQ(box.ReadIni(), ini);
}

// A place on a monitor that is gone opens on the nearest one, size kept; a window
// closed while maximised is saved where it lies when restored.
TEST(Display, APlaceOnNoMonitorOpensOnScreenAndTheNormalPlaceIsSaved) {
    Sandbox box;
    box.WriteIni(Settings(-3000, 20));
    AppProcess app(box);
    MainWindow main = app.Main();
    ASSERT_TRUE(main.WaitItemCount(1));
    const RECT work = WorkArea();
    const RECT placed = main.Rect();
    EXPECT_EQ(placed.left, work.left);
    EXPECT_EQ(placed.top, 20);
    EXPECT_EQ(placed.right - placed.left, 333);
    EXPECT_EQ(placed.bottom - placed.top, 255);
    PostMessageA(main.Hwnd(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(main.Hwnd()) != FALSE; }, 5000));
    ASSERT_EQ(app.Close(), 0u);
    EXPECT_EQ(box.ReadIni(), Settings(static_cast<int>(work.left), 20));
}

// A dialog over a main window that reaches past the right edge opens whole on the
// monitor, as near its owner's middle as that allows.
TEST(Display, ADialogFromAWindowAtTheRightEdgeStaysOnScreen) {
    const RECT work = WorkArea();
    Sandbox box;
    box.WriteIni(Settings(static_cast<int>(work.right) - 150, 300));
    AppProcess app(box);
    MainWindow main = app.Main();
    ASSERT_TRUE(main.WaitItemCount(1));
    main.Command(ID_ACT_OPTION);
    HWND dlg = FindDialog(app.Id(), "ポムッと終了 オプション", 5000);
    ASSERT_NE(dlg, nullptr);
    RECT r = {};
    GetWindowRect(dlg, &r);
    EXPECT_TRUE(Inside(r, work));
    EXPECT_EQ(r.right, work.right);
    const RECT owner = main.Rect();
    EXPECT_LE(std::abs((r.top + r.bottom) - (owner.top + owner.bottom)), 1);
    PostCommand(dlg, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }, 5000));
}

// Moved to a monitor of another scale, the window takes the place Windows suggests;
// its pictures, font and columns follow, and the file still keeps the 96-DPI numbers.
TEST(Display, AChangeOfScaleTakesTheSuggestedPlaceAndRescales) {
    Sandbox box;
    box.WriteIni(Settings(37, 41));
    AppProcess app(box);
    MainWindow main = app.Main();
    ASSERT_TRUE(main.WaitItemCount(1));
    const LRESULT buttonsBefore = Send(main.Toolbar(), TB_GETBUTTONSIZE);
    const RECT suggested = {100, 100, 600, 483};
    RemoteBuffer rect(main.Hwnd(), sizeof suggested);
    rect.Put(suggested);
    Send(main.Hwnd(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144), rect.Param());
    EXPECT_EQ(main.ColumnWidth(0), 185);
    EXPECT_EQ(main.ColumnWidth(2), 101);
    const RECT placed = main.Rect();
    EXPECT_EQ(placed.left, 100);
    EXPECT_EQ(placed.right, 600);
    EXPECT_EQ(placed.bottom, 483);
    // 24-pixel pictures instead of 16.
    EXPECT_EQ(HIWORD(Send(main.Toolbar(), TB_GETBUTTONSIZE)), HIWORD(buttonsBefore) + 8);
    ASSERT_EQ(app.Close(), 0u);
    EXPECT_EQ(box.ReadIni(), Settings(67, 67));
}
