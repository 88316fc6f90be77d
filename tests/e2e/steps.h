#pragma once
// Steps that several end-to-end tests take on the program's main window.
#include "app/command_ids.h"
#include "driver/vako_e2e.h"
#include "shell/shortcut_link.h"
#include "win/ansi_path.h"
#include "win/wow64.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdlib>
#include <string>
#include <vector>

// What a first start relies on, and the session's start provides: the prefix's
// Startup folder and Desktop hold nothing.
inline ::testing::AssertionResult ShellFoldersEmpty() {
    for (int csidl : {CSIDL_STARTUP, CSIDL_DESKTOPDIRECTORY}) {
        const std::string folder = e2e::ShellFolder(csidl);
        std::vector<std::string> names = e2e::FolderEntries(folder);
        if (!names.empty())
            return ::testing::AssertionFailure() << folder << " holds " << names[0];
    }
    return ::testing::AssertionSuccess();
}

// Ends every copy of the named programs when the test ends, however it ends.
struct EndCopies {
    std::vector<std::string> names;
    ~EndCopies() {
        for (const std::string& name : names) {
            for (DWORD pid : e2e::FindProcesses(name))
                e2e::Process::Attach(pid);
        }
    }
};

// Runs the delete action on the current selection and answers its question with
// `answer`. Returns the question as it was shown; an empty caption when none came.
inline e2e::MessageBoxInfo DeleteSelected(e2e::AppProcess& app, const e2e::MainWindow& main,
                                          int answer) {
    main.Command(ID_ACT_DELETE);
    HWND question = e2e::FindMessageBox(app.Id(), 5000);
    if (!question)
        return {};
    e2e::MessageBoxInfo info = e2e::ReadMessageBox(question);
    if (!e2e::AnswerMessageBox(question, answer))
        info.caption.clear();
    return info;
}

// One application's section as the program writes it.
inline std::string App(int n, const std::string& name, const std::string& program) {
    return "[" + std::to_string(n) + "]\r\nName=" + name + "\r\nProgram=" + program +
           "\r\nWork=C:\\\r\nArg=\r\nQuitCom=\r\nQuitArg=\r\nQuit=1\r\nRun=0\r\nShow=0\r\n"
           "QuitType=0\r\n\r\n";
}

// A program registered to be quit and not started, as the settings file holds it
// when only those two marks were written.
inline std::string Entry(int n, const std::string& name, const std::string& program) {
    return "[" + std::to_string(n) + "]\r\nName=" + name + "\r\nProgram=" + program +
           "\r\nQuit=1\r\nRun=0\r\n\r\n";
}

// A settings file of a program that has run before, so that no greeting comes.
inline std::string Known(const std::string& rest = "") {
    return "[Setting]\r\nVersion=0.3\r\n\r\n" + rest;
}

// Chooses `path` in the program's open dialog, typed whole (WM_SETTEXT in UTF-16).
inline void ChooseInOpenDialog(e2e::AppProcess& app, const std::wstring& path) {
    using namespace e2e;
    app.Main().Command(ID_ACT_ADD);
    HWND dlg = FindDialog(app.Id(), "追加する実行ファイル", 10000);
    ASSERT_NE(dlg, nullptr);
    HWND name = GetDlgItem(dlg, 0x47C); // the file name box
    if (name && ClassName(name) == "ComboBox")
        name = FindWindowExA(name, nullptr, "Edit", nullptr);
    if (!name)
        name = GetDlgItem(dlg, 0x480);
    ASSERT_NE(name, nullptr);
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()),
                                    SMTO_NORMAL, 10000, &result));
    Post(GetDlgItem(dlg, IDOK), BM_CLICK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }, 10000));
}
inline void ChooseInOpenDialog(e2e::AppProcess& app, const std::string& path) {
    ChooseInOpenDialog(app, win::WideFromAnsi(path));
}

// Answers the one box that follows, and returns it.
inline e2e::AnsweredBox NextBox(e2e::AppProcess& app) {
    std::vector<e2e::AnsweredBox> boxes;
    EXPECT_TRUE(e2e::WaitAnsweringBoxes(
        app.Id(), [&] { return !boxes.empty(); }, 10000, boxes));
    return boxes.empty() ? e2e::AnsweredBox{} : boxes[0];
}

inline std::string StartupFolder() {
    char buf[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_STARTUP, nullptr, 0, buf);
    return buf;
}

inline void MakeShortcut(const std::string& lnk, const std::string& target, const std::string& args,
                         const std::string& work = "") {
    TShortcutLink link;
    link.ShortcutFile = lnk;
    link.Target = target;
    link.Arguments = args;
    link.WorkingDir = work;
    link.WriteShortcut();
}

// A shortcut whose target and working folder are set whole (IShellLinkW), as the
// shell writes one to a program whose name the code page lacks.
inline void MakeWideShortcut(const std::string& lnk, const std::wstring& target,
                             const std::wstring& work) {
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                              IID_IShellLinkW, reinterpret_cast<void**>(&link)));
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(work.c_str());
    ASSERT_HRESULT_SUCCEEDED(
        link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
    ASSERT_HRESULT_SUCCEEDED(file->Save(win::WideFromAnsi(lnk).c_str(), TRUE));
    file->Release();
    link->Release();
}

// A folder below the sandbox whose name holds U+00FC, which code page 932 lacks, as a
// user folder named "Jürgen" does; `programs` are copies of `source` (a file of the
// sandbox).
// Wine makes short (8.3) names for such names, as Windows does on volumes with them.
struct OutsideCodePageFolder {
    OutsideCodePageFolder(const e2e::Sandbox& box, const std::vector<std::wstring>& programs,
                          const std::string& source = "quit_target.exe")
        : folder(win::WideFromAnsi(box.Dir()) + L"J\u00FCrgen") {
        EXPECT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        const std::wstring from = win::WideFromAnsi(box.Path(source));
        for (const std::wstring& p : programs)
            EXPECT_TRUE(CopyFileW(from.c_str(), Path(p).c_str(), FALSE));
    }
    std::wstring Path(const std::wstring& name) const { return folder + L"\\" + name; }
    // `name`'s short form in the code page, read here without the program's helper;
    // the best-fit spelling the ANSI functions give names no file.
    std::string ShortPath(const std::wstring& name = L"") const {
        const std::wstring path = name.empty() ? folder : Path(name);
        wchar_t buf[MAX_PATH] = {};
        const DWORD n = GetShortPathNameW(path.c_str(), buf, MAX_PATH);
        EXPECT_TRUE(n > 0 && n < MAX_PATH);
        char out[MAX_PATH * 2] = {};
        BOOL defaulted = FALSE;
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, buf, -1, out, sizeof out, nullptr,
                            &defaulted);
        EXPECT_FALSE(defaulted) << out;
        EXPECT_NE(GetFileAttributesA(out), INVALID_FILE_ATTRIBUTES) << out;
        return out;
    }
    std::wstring folder;
};

// Shortcuts are written through COM.
struct ComScope {
    ComScope() { CoInitialize(nullptr); }
    ~ComScope() { CoUninitialize(); }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
};

// The prefix's Startup folder is shared by every test: whatever a test puts there
// goes again when the test ends.
class StartupShortcuts {
  public:
    ~StartupShortcuts() {
        for (const std::string& f : files_)
            DeleteFileA(f.c_str());
    }
    void Add(const std::string& name, const std::string& target) {
        std::string path = StartupFolder() + "\\" + name + ".lnk";
        MakeShortcut(path, target, "", target.substr(0, target.rfind('\\') + 1));
        files_.push_back(path);
    }
    // A shortcut whose target and folder are set whole: names the code page lacks.
    void AddWide(const std::string& name, const std::wstring& target, const std::wstring& folder) {
        std::string path = StartupFolder() + "\\" + name + ".lnk";
        MakeWideShortcut(path, target, folder);
        files_.push_back(path);
    }
    // A shortcut to a shell folder that has no file-system path ("PC" is CSIDL_DRIVES).
    void AddShellFolder(const std::string& name, int csidl) {
        std::string path = StartupFolder() + "\\" + name + ".lnk";
        LPITEMIDLIST pidl = nullptr;
        IShellLinkA* link = nullptr;
        IPersistFile* file = nullptr;
        ASSERT_HRESULT_SUCCEEDED(SHGetSpecialFolderLocation(nullptr, csidl, &pidl));
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                                  IID_IShellLinkA,
                                                  reinterpret_cast<void**>(&link)));
        link->SetIDList(pidl);
        ASSERT_HRESULT_SUCCEEDED(
            link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
        std::wstring wide(path.size() + 1, L'\0');
        wide.resize(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0],
                                        static_cast<int>(wide.size())) -
                    1);
        ASSERT_HRESULT_SUCCEEDED(file->Save(wide.c_str(), TRUE));
        file->Release();
        link->Release();
        CoTaskMemFree(pidl);
        files_.push_back(path);
    }
    // A file named like a shortcut that holds `bytes` and is no shell link.
    void AddFile(const std::string& name, const std::string& bytes) {
        std::string path = StartupFolder() + "\\" + name;
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(f);
        files_.push_back(path);
    }

  private:
    std::vector<std::string> files_;
};

// Waits for `run` to end by itself and expects 0 with no box shown; `what` names
// the run in a failure.
template <class Run, class Text> void ExpectEndsAlone(const Run& run, const Text& what) {
    std::vector<e2e::AnsweredBox> boxes;
    EXPECT_TRUE(e2e::WaitAnsweringBoxes(
        run.Id(), [&] { return !run.Running(); }, 30000, boxes))
        << what;
    EXPECT_TRUE(boxes.empty()) << what << ": " << (boxes.empty() ? "" : boxes[0].text);
    EXPECT_EQ(run.WaitExit(1000), std::optional<DWORD>(0)) << what;
}

// Runs VakoQuit with `args` and expects it to end by itself with 0, no box shown.
inline void RunToEnd(const e2e::Sandbox& box, const std::string& args) {
    e2e::AppProcess app(box, args);
    ExpectEndsAlone(app, args);
}
// The same with arguments the code page cannot spell.
inline void RunToEnd(const e2e::Sandbox& box, const std::wstring& args) {
    e2e::AppProcess app(box, args);
    ExpectEndsAlone(app, args);
}

// Starts a desktop shortcut's command line, as the shell would, and expects it to
// end by itself with 0 and no box shown.
inline void RunShortcutToEnd(const std::string& program, const std::string& arguments,
                             const std::string& folder) {
    e2e::Process run = e2e::Process::Start(program, arguments, folder);
    ExpectEndsAlone(run, program + " " + arguments);
}

// The one visible top-level window of class `cls` of the one running process of
// `exe`, waited for; null when there is none within 10 seconds.
inline HWND ShownWindowOf(const char* exe, const char* cls) {
    HWND found = nullptr;
    e2e::WaitUntil(
        [&] {
            std::vector<DWORD> pids = e2e::FindProcesses(exe);
            found = pids.size() == 1 ? e2e::FindTopWindow(pids[0], cls) : nullptr;
            return found && IsWindowVisible(found);
        },
        10000);
    return found;
}

// Whether the window lies at `want` within a few pixels.
inline bool NearPlace(HWND hwnd, const RECT& want) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    return std::abs(r.left - want.left) <= 3 && std::abs(r.top - want.top) <= 3 &&
           std::abs(r.right - want.right) <= 3 && std::abs(r.bottom - want.bottom) <= 3;
}

// Moves another program's window to `r` as its user would, and waits until it is there.
inline bool PlaceWindowAt(HWND hwnd, const RECT& r) {
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return e2e::WaitUntil([&] { return NearPlace(hwnd, r); }, 5000);
}

// The system's notepad (64-bit on a 64-bit system): as registered (System32), and
// as this test starts it (a 32-bit test on a 64-bit system reaches it past the
// System32 redirection).
inline std::string SystemNotepad(bool fromThisTest) {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    const char* folder = fromThisTest && win::RunsUnderWow64() ? "\\Sysnative" : "\\system32";
    return std::string(windows) + folder + "\\notepad.exe";
}

// Starts the system's notepad with `file` open and moves its window to `place`.
inline void StartNotepadAt(const std::string& file, const std::string& folder, const RECT& place) {
    e2e::Process::Start(SystemNotepad(true), "\"" + file + "\"", folder).Detach();
    ASSERT_TRUE(PlaceWindowAt(ShownWindowOf("notepad.exe", "Notepad"), place));
}

// Notepad keeps its own last place when it closes; gone, only VakoQuit's record
// can put it back.
inline void ForgetNotepadPlace() {
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Microsoft\\Notepad");
}

// The one running copy of `exe` shows its window of class `cls` again at `place`,
// with `captionPart` in its caption when one is given.
inline void ExpectShownAgainAt(const char* exe, const char* cls, const RECT& place,
                               const std::string& captionPart = "") {
    HWND hwnd = ShownWindowOf(exe, cls);
    ASSERT_NE(hwnd, nullptr) << exe;
    if (!captionPart.empty()) {
        EXPECT_NE(e2e::Caption(hwnd).find(captionPart), std::string::npos) << e2e::Caption(hwnd);
    }
    EXPECT_TRUE(NearPlace(hwnd, place)) << exe;
}
