// A stand-in main window for the driver's own tests: the same window class and
// controls as the program's main window, with just enough behaviour for the
// driver to prove that what it sends arrives as the real notifications.
//   /exit:N  exit code after the window closes (default 0)
//   /ask     WM_CLOSE first asks "閉じますか？" (caption "確認", Yes/No)
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum : int {
    kListId = 1,
    kStatusId = 2,
    kToolbarId = 3,
    kCmdToggleStatus = 201,
    kCmdViewIcon = 202, // 202 + the LVS_ view type: LVS_ICON .. LVS_LIST
    kCmdInfoBox = 206,
};

HWND gList, gStatus, gToolbar;
int gExitCode = 0;
bool gAsk = false;
int gSortDirection = 1;

// Each item's data indexes its row here, so that sorting never reads the list
// while the list is being reordered.
struct Row {
    std::string name, quit, run;
};
std::vector<Row> gRows;

void SetStatus(const std::string& s) {
    SendMessageA(gStatus, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(s.c_str()));
}

void UpdateStatus() {
    int n = ListView_GetSelectedCount(gList);
    if (n == 0)
        SetStatus(std::to_string(ListView_GetItemCount(gList)) + " items");
    else
        SetStatus(std::to_string(n) + " selected");
}

void AddItem(const char* name, const char* quit, const char* run) {
    gRows.push_back({name, quit, run});
    LVITEMA it{};
    it.mask = LVIF_TEXT | LVIF_PARAM;
    it.iItem = ListView_GetItemCount(gList);
    it.pszText = const_cast<char*>(name);
    it.lParam = static_cast<LPARAM>(gRows.size() - 1);
    int i = ListView_InsertItem(gList, &it);
    ListView_SetItemText(gList, i, 1, const_cast<char*>(quit));
    ListView_SetItemText(gList, i, 2, const_cast<char*>(run));
}

std::string Lower(std::string s) {
    CharLowerBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

// By the column's text, ties by caption, ignoring case; the direction flips after
// every sort.
int CALLBACK CompareItems(LPARAM a, LPARAM b, LPARAM column) {
    auto key = [&](LPARAM i) {
        const Row& r = gRows[static_cast<size_t>(i)];
        return std::make_pair(column == 1 ? r.quit : column == 2 ? r.run : "", Lower(r.name));
    };
    auto ka = key(a), kb = key(b);
    return (ka < kb ? -1 : kb < ka ? 1 : 0) * gSortDirection;
}

void Layout(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    SendMessageA(gToolbar, TB_AUTOSIZE, 0, 0);
    SendMessageA(gStatus, WM_SIZE, 0, 0);
    RECT tb, sb{};
    GetWindowRect(gToolbar, &tb);
    if (IsWindowVisible(gStatus))
        GetWindowRect(gStatus, &sb);
    int top = tb.bottom - tb.top;
    MoveWindow(gList, 0, top, rc.right, rc.bottom - top - (sb.bottom - sb.top), TRUE);
}

void Create(HWND hwnd) {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    gToolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT, 0, 0,
                               0, 0, hwnd, reinterpret_cast<HMENU>(kToolbarId), inst, nullptr);
    SendMessageA(gToolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBBUTTON buttons[4] = {};
    const int ids[4] = {101, 102, 0, 103};
    for (int i = 0; i < 4; ++i) {
        buttons[i].iBitmap = I_IMAGENONE;
        buttons[i].idCommand = ids[i];
        buttons[i].fsState = ids[i] == 102 ? 0 : TBSTATE_ENABLED;
        buttons[i].fsStyle = ids[i] ? TBSTYLE_BUTTON : TBSTYLE_SEP;
    }
    SendMessageA(gToolbar, TB_ADDBUTTONSA, 4, reinterpret_cast<LPARAM>(buttons));

    gList = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                            WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_EDITLABELS | LVS_SHOWSELALWAYS,
                            0, 0, 0, 0, hwnd, reinterpret_cast<HMENU>(kListId), inst, nullptr);
    const char* captions[3] = {"プログラム", "終了", "起動"};
    const int widths[3] = {180, 50, 50};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.pszText = const_cast<char*>(captions[i]);
        col.cx = widths[i];
        ListView_InsertColumn(gList, i, &col);
    }
    AddItem("Charlie", "●", "");
    AddItem("alpha", "", "●");
    AddItem("Bravo", "●", "●");

    gStatus = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd,
                              reinterpret_cast<HMENU>(kStatusId), inst, nullptr);
    SendMessageA(gStatus, SB_SIMPLE, TRUE, 0);
    UpdateStatus();
}

LRESULT OnNotify(NMHDR* nm) {
    if (nm->hwndFrom != gList)
        return 0;
    switch (nm->code) {
    case LVN_ITEMCHANGED:
        UpdateStatus();
        return 0;
    case LVN_COLUMNCLICK: {
        int column = reinterpret_cast<NMLISTVIEW*>(nm)->iSubItem;
        ListView_SortItems(gList, CompareItems, column);
        gSortDirection = -gSortDirection;
        SetStatus("sorted by " + std::to_string(column));
        return 0;
    }
    case LVN_BEGINLABELEDITA:
        return FALSE;
    case LVN_ENDLABELEDITA: {
        auto* di = reinterpret_cast<NMLVDISPINFOA*>(nm);
        if (!di->item.pszText || !*di->item.pszText)
            return FALSE;
        LVITEMA it{};
        it.mask = LVIF_PARAM;
        it.iItem = di->item.iItem;
        ListView_GetItem(gList, &it);
        gRows[static_cast<size_t>(it.lParam)].name = di->item.pszText;
        SetStatus(std::string("renamed: ") + di->item.pszText);
        return TRUE;
    }
    }
    return 0;
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        Create(hwnd);
        return 0;
    case WM_SIZE:
        Layout(hwnd);
        return 0;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lp));
    case WM_COMMAND: {
        int id = LOWORD(wp);
        if (id == kCmdToggleStatus) {
            ShowWindow(gStatus, IsWindowVisible(gStatus) ? SW_HIDE : SW_SHOW);
            Layout(hwnd);
        } else if (id >= kCmdViewIcon && id <= kCmdViewIcon + 3) {
            LONG style = GetWindowLongA(gList, GWL_STYLE) & ~LVS_TYPEMASK;
            SetWindowLongA(gList, GWL_STYLE, style | (id - kCmdViewIcon));
        } else if (id == kCmdInfoBox) {
            MessageBoxA(hwnd, "処理が完了しました", "情報", MB_OK | MB_ICONINFORMATION);
            SetStatus("box closed");
        } else if (id >= 101 && id <= 103) {
            SetStatus("command " + std::to_string(id));
        }
        return 0;
    }
    case WM_CLOSE:
        if (gAsk && MessageBoxA(hwnd, "閉じますか？", "確認", MB_YESNO | MB_ICONQUESTION) != IDYES)
            return 0;
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(gExitCode);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

} // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR cmdLine, int show) {
    if (const char* e = std::strstr(cmdLine, "/exit:"))
        gExitCode = std::atoi(e + 6);
    gAsk = std::strstr(cmdLine, "/ask") != nullptr;

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "TVakoQuitForm";
    RegisterClassA(&wc);
    HWND hwnd =
        CreateWindowExA(0, wc.lpszClassName, "E2E fake form", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 420, 300, nullptr, nullptr, inst, nullptr);
    ShowWindow(hwnd, show);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
