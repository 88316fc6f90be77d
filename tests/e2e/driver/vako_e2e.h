#pragma once
// vako_e2e: drives a real VakoQuit.exe (and any other Win32 program) from a
// GoogleTest executable running in another process under Wine.
//
// Everything is ANSI (code page 932 bytes in std::string). Failures of platform
// calls throw DriverError; waits return false / nullptr / std::nullopt at their
// deadline instead, so that a test states what it expected with ASSERT_*.
//
// Waiting
//   WaitUntil(cond, timeoutMs, pollMs = 2)   polls cond until true or the deadline;
//                                            drains this thread's queue between polls.
//
// Sandbox (one fresh folder per test)
//   Sandbox box;                 <bin>\..\e2e\<Suite>.<Test>\, emptied, with VakoQuit.exe
//                                and VakoHook.dll (when built) copied from <bin>.
//   Sandbox box({"target.exe"}); the same plus files of <bin> named here.
//   InstallUserProgram(kUserViewer, "quit_target.exe"): a copy of a program of <bin>
//   where a user's programs lie (Program Files, AppData), for the guide's pictures;
//   leftovers of these copies are ended as the sandboxes' are.
//   Every new sandbox first ends what an earlier test left running
//   (EndLeftoverProcesses), so that a test that crashed or timed out does not decide
//   the next one.
//   Sandbox box(SandboxOptions{...}); no program, another folder name, a sub-folder
//                                (e.g. a Japanese one) under the test folder.
//   box.Dir(), box.Path("x"), box.ExePath(), box.IniPath(), box.Copy(from, "as"),
//   box.CopyFromBin("name"), box.WriteFile / ReadFile / Exists / Remove,
//   box.WriteIni(bytes) / ReadIni() / IniExists(): the settings file as exact bytes.
//   TestBinDir(): folder of the running test exe, with trailing "\".
//
// Processes
//   Process p = Process::Start(exe, args, dir, show);  CreateProcessA (StartWide: W); the
//   destructor
//       ends a process still running (TerminateProcess) unless Detach() was called.
//   p.Id(), p.Handle(), p.Running(), p.WaitExit(ms) -> exit code, p.Terminate(),
//   p.TopWindows(), p.WaitForWindow(class, ms, caption).
//   Process::Attach(pid): take over a process the test did not start (e.g. one that
//       VakoQuit started), so that it is ended at the end of the test.
//   TopLevelWindows(pid), FindTopWindow(pid, class, caption),
//   WaitForTopWindow(pid, class, ms, caption), IsProcessRunning(pid),
//   WaitProcessExit(pid, ms), FindProcesses("name.exe"), ProcessImagePath(pid),
//   WindowProcessId(hwnd), ClassName(hwnd), Caption(hwnd) (GetWindowTextA),
//   WindowText(hwnd) (WM_GETTEXT: the text a control of another process holds),
//   SetText(hwnd, s) (WM_SETTEXT), FindDescendant(parent, class, nth).
//
// The program itself
//   AppProcess app(box, "-q");    starts box.ExePath() with the arguments.
//   app.WaitForMainWindow(ms)     its top-level "TVakoQuitForm" (nullptr at the deadline).
//   app.Main()                    MainWindow view of it (throws when there is none).
//   app.WaitExit(ms), app.Close(ms) (WM_CLOSE, then waits), app.Running(); the
//   destructor closes it, and as a last resort terminates it.
//
// Reading and driving a window of another process
//   Messages above WM_USER that carry pointers are not marshalled by Wine, so every
//   such call goes through RemoteBuffer (VirtualAllocEx + WriteProcessMemory +
//   SendMessageTimeout + ReadProcessMemory). The target must have this process's
//   bitness (32-bit): the structures are laid out for it; RemoteBuffer refuses a
//   64-bit target. Every SendMessage has a deadline (kSendTimeoutMs): a target that
//   does not answer throws instead of hanging the test.
//   List view:  ListItemCount, ListItemText(i, sub), ListColumn(sub), ListRows,
//               ListItemState, ListItemImage, ListItemSelected, ListSelectedItems,
//               ListSelect(items),
//               ListSetItemState, ListViewType (style bits), ListViewMode (LVM_GETVIEW),
//               ListColumnCount,
//               ListColumnWidth, ListColumnCaption, ListItemRect, ListHeader,
//               ListClickColumn(col), ListRenameItem(i, text).
//   Status bar: StatusBarText(bar, part) (SB_GETTEXTA; also the simple-mode text).
//   Toolbar:    ToolbarButtons (command id, state, style), ToolbarButtonEnabled(id),
//               ToolbarClick(id).
//   Commands:   PostCommand(hwnd, id) posts WM_COMMAND as a menu item would.
//   MainWindow  bundles these for the main window: List(), Status(), Toolbar(),
//               ItemCount(), ItemText(), Names(), Rows(), Selected(), Select(),
//               ViewType(), ColumnWidth(), StatusText(), StatusVisible(),
//               WaitStatus(text, ms), WaitItemCount(n, ms), Command(id), ClickColumn(col),
//               Rename(i, s), Rect(), WaitPostedHandled(ms).
//
//   "Nothing happened" needs a barrier: after main.Command(id), main.WaitPostedHandled()
//   returns once the command has been taken from the queue (it posts a one-bit change
//   of the list's background colour behind it and waits for it to show).
//
//   Column header click: ListClickColumn posts WM_LBUTTONDOWN / WM_LBUTTONUP at the
//   middle of the header item to the header control. The header, the list and the
//   parent then talk inside the target process, as after a real click, so the
//   parent receives LVN_COLUMNCLICK from its own list. Needs neither input focus
//   nor a visible pointer. (Sending WM_NOTIFY with a remote NMLISTVIEW to the parent
//   was tried and does not reach the program under Wine 8: the message is refused.)
//   Rename: ListRenameItem sends LVM_EDITLABELA (no pointer), sets the returned edit
//   control's text with WM_SETTEXT and posts VK_RETURN to that edit, so that the
//   list ends the edit itself and the parent gets its own LVN_ENDLABELEDIT.
//   Waits until the edit control is gone. (Windows wants the list focused before
//   LVM_EDITLABEL; Wine 8 does not.)
//
// Message boxes and dialogs of another process
//   FindMessageBox(pid, ms)   a visible top-level "#32770" of pid that is a message box
//                             (a 0xFFFF static, only statics and buttons).
//   FindDialog(pid, caption, ms) any visible "#32770" of pid (optionally by caption).
//   ReadMessageBox(box) -> {caption, text, buttons}; MessageBoxText(box).
//   AnswerMessageBox(box, IDNO, ms): posts BM_CLICK to the button (falls back to a
//       posted WM_COMMAND), true once the box is gone.
//   WaitAnsweringBoxes(pids, done, ms, answered, choose): until done() holds, answers
//       every message box of pids with choose(box) (DefaultAnswer: OK, else Yes, else
//       the first button) and records caption, text and answer in order.
//
// Input and screen
//   FocusWindow(hwnd): gives a top-level window the X input focus (xdotool; Xvfb has
//       no window manager), so that SendKeys / SendInput reach it.
//   SendKeys(vks, modifiers): presses and releases keys with SendInput.
//   TypeChars(hwnd, "abc"): posts WM_CHAR per byte to a control (ASCII).
//   TabOrder(dlg), KeyboardOrderHolds(dlg): the dialog's tab stops in Tab's order;
//       whether they run top to bottom with no access key used twice.
//   RunHostProgram("xdotool", args, ms): runs a command of the Linux host through
//       /bin/sh (args are shell words) and returns its exit code.
//   SaveScreenshot(path): BitBlt of the screen DC into a 24-bit BMP; prints the Windows
//       and the host path of the file. SaveScreenArea(path, rect): one part of it.
//   With VAKO_BOX_SHOT_DIR set, AnswerMessageBox first saves each box there as
//       box-<test process>-<n>.bmp, so that every box the tests meet can be looked at.
//   ShotForGuide(hwnd, name): with VAKO_SCREENSHOT_DIR set (make screenshots), the
//       painted window as <dir>\<name>.bmp, for docs/<name>.png.
//
// Example: a quit-all, recording the boxes it shows
//   Sandbox box({"some_target.exe"});
//   box.WriteIni("[Main]\r\n...");
//   AppProcess app(box);
//   MainWindow m = app.Main();
//   ASSERT_TRUE(m.WaitItemCount(2));
//   m.Command(ID_OF_QUIT_ALL);
//   std::vector<AnsweredBox> boxes;
//   ASSERT_TRUE(WaitAnsweringBoxes(app.Id(),
//       [&] { return m.StatusText() == "ポムッと終了処理完了"; }, 20000, boxes));
//   EXPECT_EQ(boxes.size(), 1u);
//
// Wine 8 notes (measured)
//   - Wine's regedit.exe in system32 hands over to its 64-bit self; taskmgr.exe,
//     notepad.exe, progman.exe, winefile.exe and wordpad.exe stay 32-bit.
//   - A window is enumerable while its WM_CREATE still runs: wait for the child you
//     need, not only for the top-level window (AppProcess::Main waits for the list).
//   - A Unix program started through CreateProcess runs, but no process handle comes
//     back; RunHostProgram therefore waits for a file the shell writes.
//   - A message box is found ~5-70 ms after it opened; BM_CLICK closes it within a
//     few ms without input focus.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "win/exception.h"
#include "win/handles.h"

namespace e2e {

class DriverError : public Exception {
  public:
    explicit DriverError(const std::string& message) : Exception(message) {}
};
// Appends GetLastError's number to the message.
[[noreturn]] void ThrowLastError(const std::string& what);

// A deadline for every message sent to another process.
constexpr DWORD kSendTimeoutMs = 5000;
// A generous default for waits on program start-up and shut-down under Wine.
constexpr DWORD kDefaultTimeoutMs = 10000;
constexpr DWORD kPollMs = 2;

// ---- Waiting ----
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs = kPollMs);

// ---- Sandbox ----
std::string TestBinDir();

struct SandboxOptions {
    bool copyProgram = true;             // VakoQuit.exe, and VakoHook.dll when built
    std::vector<std::string> extraFiles; // further files from TestBinDir()
    std::string name;                    // folder name under e2e\; default "<Suite>.<Test>"
    std::string subFolder;               // the program goes into this sub-folder when set
};

class Sandbox {
  public:
    Sandbox();
    Sandbox(std::initializer_list<std::string> extraFiles);
    explicit Sandbox(const SandboxOptions& options);

    // The folder the program lives in, with trailing "\".
    const std::string& Dir() const { return dir_; }
    // The per-test root folder (equal to Dir() without subFolder).
    const std::string& Root() const { return root_; }
    std::string Path(const std::string& relative) const { return dir_ + relative; }
    std::string ExePath() const { return Path("VakoQuit.exe"); }
    std::string IniPath() const { return Path("VakoQuit.ini"); }

    // Copies a file into Dir(), under `asName` when given; returns the new path.
    std::string Copy(const std::string& from, const std::string& asName = "") const;
    std::string CopyFromBin(const std::string& name, const std::string& asName = "") const;

    void WriteFile(const std::string& relative, const std::string& bytes) const;
    std::string ReadFile(const std::string& relative) const;
    bool Exists(const std::string& relative) const;
    void Remove(const std::string& relative) const;

    void WriteIni(const std::string& bytes) const { WriteFile("VakoQuit.ini", bytes); }
    std::string ReadIni() const { return ReadFile("VakoQuit.ini"); }
    bool IniExists() const { return Exists("VakoQuit.ini"); }

  private:
    std::string root_;
    std::string dir_;
};

// Low-level file helpers the sandbox uses, for absolute paths.
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);
// Removes the folder's contents (recursively) and creates it if missing.
void MakeEmptyFolder(const std::string& folder);
// Creates `folder` and every missing folder above it; throws when it is no folder then.
void MakeFolders(const std::string& folder);

// ---- Programs where a user has them ----
enum class UserRoot {
    ProgramFiles,   // this program's kind: "Program Files (x86)" for 32-bit on 64-bit
    ProgramFiles64, // the 64-bit programs' "Program Files"
    LocalAppData,   // C:\users\<name>\AppData\Local
};
struct UserProgram {
    UserRoot root;
    const char* folder; // below the root
    const char* file;
};
// The programs the tests lay out so; IsUserProgram knows every one of them.
extern const UserProgram kUserNote64;    // a 64-bit program
extern const UserProgram kUserViewer;    // a 32-bit program
extern const UserProgram kUserTrayClock; // a tray program of the user's own folder
extern const UserProgram kUserTarget;    // the properties dialog's program
std::string UserRootFolder(UserRoot root);
std::string UserProgramPath(const UserProgram& program);
// Copies TestBinDir() + binFile to UserProgramPath(program); returns that path.
std::string InstallUserProgram(const UserProgram& program, const std::string& binFile);
// Whether `image` is one of the copies above.
bool IsUserProgram(const std::string& image);

// ---- Session ----
// The folder that holds every sandbox, with trailing "\".
std::string SandboxesRoot();
// Ends every program that a test may have left running in this prefix: any
// VakoQuit.exe, anything started from a sandbox, the target programs of the build
// tree and the Wine programs tests use as targets. Returns their image paths.
std::vector<std::string> EndLeftoverProcesses();
// A CSIDL folder of the prefix's user, without trailing "\".
std::string ShellFolder(int csidl);
// Names of the folder's entries that are not hidden.
std::vector<std::string> FolderEntries(const std::string& folder);
// Empties the user's Startup folder and Desktop, which the first start reads and
// the options dialog writes to.
void EmptyUserShellFolders();

// ---- Processes and windows ----
DWORD WindowProcessId(HWND hwnd);
std::string ClassName(HWND hwnd);
std::string Caption(HWND hwnd);
std::string WindowText(HWND hwnd);
void SetText(HWND hwnd, const std::string& text);
// The nth descendant (depth first, creation order) of that class; nullptr if none.
HWND FindDescendant(HWND parent, const char* className, int nth = 0);

std::vector<HWND> TopLevelWindows(DWORD pid, bool visibleOnly = false);
// className / caption nullptr: any. Visible or not.
HWND FindTopWindow(DWORD pid, const char* className, const char* caption = nullptr);
HWND WaitForTopWindow(DWORD pid, const char* className, DWORD timeoutMs,
                      const char* caption = nullptr);
bool IsProcessRunning(DWORD pid);
bool WaitProcessExit(DWORD pid, DWORD timeoutMs);
// Every process of the prefix: its id and executable file name.
std::vector<std::pair<DWORD, std::string>> AllProcesses();
// Processes whose executable file name (no folder) equals exeName, any case.
std::vector<DWORD> FindProcesses(const std::string& exeName);
// Full path of the process's executable; empty when it cannot be read.
std::string ProcessImagePath(DWORD pid);

class Process {
  public:
    Process() = default;
    Process(Process&&) = default;
    Process& operator=(Process&& other);
    ~Process();

    // exe: full path. args: the command line after the quoted exe. dir: the new
    // process's current folder; empty: this process's.
    static Process Start(const std::string& exe, const std::string& args = "",
                         const std::string& dir = "", int show = SW_SHOWNORMAL);
    // The same for a command line the code page cannot spell; without `show` the
    // first window shows as the program itself chooses.
    static Process StartWide(const std::wstring& exe, const std::wstring& args,
                             const std::wstring& dir, std::optional<int> show = std::nullopt);
    static Process Attach(DWORD pid);

    DWORD Id() const { return pid_; }
    HANDLE Handle() const { return handle_.get(); }
    bool Running() const;
    // The exit code, or nullopt when still running at the deadline.
    std::optional<DWORD> WaitExit(DWORD timeoutMs) const;
    void Terminate(UINT exitCode = 1);
    // Leaves the process running when this object goes away.
    void Detach();

    std::vector<HWND> TopWindows(bool visibleOnly = false) const {
        return TopLevelWindows(pid_, visibleOnly);
    }
    HWND WaitForWindow(const char* className, DWORD timeoutMs,
                       const char* caption = nullptr) const {
        return WaitForTopWindow(pid_, className, timeoutMs, caption);
    }

  private:
    win::Handle handle_;
    DWORD pid_ = 0;
};

// ---- Remote memory ----
class RemoteBuffer {
  public:
    RemoteBuffer(DWORD pid, size_t size);
    RemoteBuffer(HWND window, size_t size) : RemoteBuffer(WindowProcessId(window), size) {}
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    ~RemoteBuffer();

    // The address in the other process.
    void* Address(size_t offset = 0) const { return static_cast<char*>(base_) + offset; }
    LPARAM Param(size_t offset = 0) const { return reinterpret_cast<LPARAM>(Address(offset)); }
    void Write(const void* data, size_t size, size_t offset = 0) const;
    void Read(void* out, size_t size, size_t offset = 0) const;
    // Up to the first NUL within max bytes.
    std::string ReadString(size_t offset, size_t max) const;
    template <typename T> void Put(const T& value, size_t offset = 0) const {
        Write(&value, sizeof value, offset);
    }
    template <typename T> T Get(size_t offset = 0) const {
        T value{};
        Read(&value, sizeof value, offset);
        return value;
    }

  private:
    win::Handle process_;
    void* base_ = nullptr;
    size_t size_ = 0;
};

// SendMessageTimeoutA with kSendTimeoutMs; throws when the window does not answer.
LRESULT Send(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0);
void Post(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0);
void PostCommand(HWND hwnd, WORD id);

// ---- List view ----
int ListItemCount(HWND list);
std::string ListItemText(HWND list, int item, int subItem = 0);
std::vector<std::string> ListColumn(HWND list, int subItem = 0);
// Each item: caption, then sub-items 1 .. columns-1.
std::vector<std::vector<std::string>> ListRows(HWND list);
UINT ListItemState(HWND list, int item, UINT mask = LVIS_SELECTED | LVIS_FOCUSED);
// The item's picture in the list's image list; I_IMAGENONE (-2) for none.
int ListItemImage(HWND list, int item);
bool ListItemSelected(HWND list, int item);
std::vector<int> ListSelectedItems(HWND list);
// item -1: all items.
void ListSetItemState(HWND list, int item, UINT state, UINT mask);
// Exactly these items selected; the first gets the focus.
void ListSelect(HWND list, const std::vector<int>& items);
// LVS_ICON (0), LVS_REPORT (1), LVS_SMALLICON (2) or LVS_LIST (3), from the style
// bits; note the order differs from the settings file's numbering of the views.
DWORD ListViewType(HWND list);
// The same numbering, from LVM_GETVIEW: right also for a view set by LVM_SETVIEW.
DWORD ListViewMode(HWND list);
HWND ListHeader(HWND list);
int ListColumnCount(HWND list);
int ListColumnWidth(HWND list, int column);
std::string ListColumnCaption(HWND list, int column);
// An item's rectangle (LVIR_BOUNDS, LVIR_LABEL, ...) in the list's client coordinates.
RECT ListItemRect(HWND list, int item, int part = LVIR_BOUNDS);
// The width in pixels of `text` in the list's font.
int ListStringWidth(HWND list, const std::string& text);
void ListClickColumn(HWND list, int column);
// True once the edit has ended (the edit control is gone).
bool ListRenameItem(HWND list, int item, const std::string& text,
                    DWORD timeoutMs = kDefaultTimeoutMs);

// ---- Status bar, toolbar ----
std::string StatusBarText(HWND bar, int part = 0);

struct ToolbarButton {
    int command = 0; // 0 for separators
    BYTE state = 0;  // TBSTATE_*
    BYTE style = 0;  // TBSTYLE_* / BTNS_*
};
std::vector<ToolbarButton> ToolbarButtons(HWND toolbar);
bool ToolbarButtonEnabled(HWND toolbar, int command);
// Posts a left click at the middle of the button: the toolbar sends the command.
void ToolbarClick(HWND toolbar, int command);

// ---- The program's main window ----
constexpr const char* kMainClass = "TVakoQuitForm";

class MainWindow {
  public:
    // Finds the list view, status bar and toolbar among the descendants; throws when
    // the window is gone or has no list view.
    explicit MainWindow(HWND hwnd);

    HWND Hwnd() const { return hwnd_; }
    HWND List() const { return list_; }
    HWND Status() const { return status_; }
    HWND Toolbar() const { return toolbar_; }

    std::string Title() const { return Caption(hwnd_); }
    RECT Rect() const;
    int ItemCount() const { return ListItemCount(list_); }
    std::string ItemText(int item, int subItem = 0) const {
        return ListItemText(list_, item, subItem);
    }
    std::vector<std::string> Names() const { return ListColumn(list_, 0); }
    std::vector<std::vector<std::string>> Rows() const { return ListRows(list_); }
    std::vector<int> Selected() const { return ListSelectedItems(list_); }
    void Select(const std::vector<int>& items) const { ListSelect(list_, items); }
    DWORD ViewType() const { return ListViewType(list_); }
    int ColumnWidth(int column) const { return ListColumnWidth(list_, column); }
    std::string StatusText() const;
    bool StatusVisible() const;
    bool WaitStatus(const std::string& text, DWORD timeoutMs = kDefaultTimeoutMs) const;
    // The list is filled after the window appears: wait for the expected count.
    bool WaitItemCount(int count, DWORD timeoutMs = kDefaultTimeoutMs) const;
    // A barrier behind everything posted so far: posts a marker to the window's
    // thread and waits until the thread has handled it. A sent message cannot serve:
    // sent messages are handled before the posted ones waiting in the queue.
    bool WaitPostedHandled(DWORD timeoutMs = kDefaultTimeoutMs) const;
    void Command(WORD id) const { PostCommand(hwnd_, id); }
    void ClickColumn(int column) const { ListClickColumn(list_, column); }
    bool Rename(int item, const std::string& text) const {
        return ListRenameItem(list_, item, text);
    }

  private:
    HWND hwnd_;
    HWND list_;
    HWND status_;
    HWND toolbar_;
};

class AppProcess {
  public:
    AppProcess(const Sandbox& box, const std::string& args = "");
    AppProcess(const std::string& exe, const std::string& args, const std::string& dir = "");
    // Arguments the code page cannot spell, through CreateProcessW.
    AppProcess(const Sandbox& box, const std::wstring& args);
    AppProcess(AppProcess&&) = default;
    ~AppProcess();

    DWORD Id() const { return process_.Id(); }
    HANDLE Handle() const { return process_.Handle(); }
    Process& process() { return process_; }
    bool Running() const { return process_.Running(); }

    // Its top-level "TVakoQuitForm" window; nullptr when none appeared in time.
    HWND WaitForMainWindow(DWORD timeoutMs = kDefaultTimeoutMs, bool visible = true);
    MainWindow Main(DWORD timeoutMs = kDefaultTimeoutMs);
    std::optional<DWORD> WaitExit(DWORD timeoutMs) const { return process_.WaitExit(timeoutMs); }
    // Posts WM_CLOSE to the main window; the exit code once the process has ended.
    std::optional<DWORD> Close(DWORD timeoutMs = kDefaultTimeoutMs);

  private:
    Process process_;
    HWND main_ = nullptr;
};

// ---- Message boxes and dialogs ----
struct DialogButton {
    int id = 0;
    std::string text;
};
struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::string caption;
    std::string text;
    std::vector<DialogButton> buttons;
    bool HasButton(int id) const;
};
struct AnsweredBox {
    std::string caption;
    std::string text;
    int answer = 0;
};
using BoxChooser = std::function<int(const MessageBoxInfo&)>;

bool IsMessageBox(HWND hwnd);
// timeoutMs 0: one look.
HWND FindMessageBox(DWORD pid, DWORD timeoutMs = 0);
HWND FindDialog(DWORD pid, const char* caption = nullptr, DWORD timeoutMs = 0);
MessageBoxInfo ReadMessageBox(HWND box);
std::string MessageBoxText(HWND box);
std::vector<DialogButton> DialogButtons(HWND dialog);
bool AnswerMessageBox(HWND box, int buttonId, DWORD timeoutMs = kDefaultTimeoutMs);
int DefaultAnswer(const MessageBoxInfo& box);
// Returns done() at the end: false when the deadline came first or a box could not
// be answered.
bool WaitAnsweringBoxes(const std::vector<DWORD>& pids, const std::function<bool()>& done,
                        DWORD timeoutMs, std::vector<AnsweredBox>& answered,
                        const BoxChooser& choose = DefaultAnswer);
inline bool WaitAnsweringBoxes(DWORD pid, const std::function<bool()>& done, DWORD timeoutMs,
                               std::vector<AnsweredBox>& answered,
                               const BoxChooser& choose = DefaultAnswer) {
    return WaitAnsweringBoxes(std::vector<DWORD>{pid}, done, timeoutMs, answered, choose);
}

// ---- Input and screen ----
// The exit code of the host program, nullopt when it did not end in time.
std::optional<DWORD> RunHostProgram(const std::string& program, const std::string& args,
                                    DWORD timeoutMs = kDefaultTimeoutMs);
// The controls Tab visits in a dialog of any process, in order, from its first
// tab stop on (hidden and disabled ones are passed over, as Tab does).
std::vector<HWND> TabOrder(HWND dlg);
// Keyboard use of a dialog as its user meets it: Tab runs top to bottom, and left
// to right within a row; no two visible controls share an access key (&x).
::testing::AssertionResult KeyboardOrderHolds(HWND dlg);
// The X window behind a top-level window of any process (0 when unknown).
unsigned long XWindowOf(HWND topLevel);
bool FocusWindow(HWND topLevel);
// modifiers: VK_CONTROL, VK_MENU, VK_SHIFT held while each key is pressed.
void SendKeys(const std::vector<WORD>& keys, const std::vector<WORD>& modifiers = {});
void TypeChars(HWND control, const std::string& ascii);

// The file's host path, or empty.
std::string HostPath(const std::string& windowsPath);
// Writes the whole screen, or one area of it, as a 24-bit bottom-up BMP; prints
// where it went.
void SaveScreenshot(const std::string& path);
void SaveScreenArea(const std::string& path, const RECT& area);
// A picture for the user guide (make screenshots): when VAKO_SCREENSHOT_DIR names a
// Windows folder, saves the window, fully painted, as <dir>\<name>.bmp. False when
// it did not settle in time; true, doing nothing, without the variable.
bool ShotForGuide(HWND window, const std::string& name);
// The painted window as a 24-bit BMP at `path`, once the screen has settled.
bool SaveWindowShot(HWND window, const std::string& path);

} // namespace e2e
