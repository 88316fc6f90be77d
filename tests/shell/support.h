#pragma once
// Helpers of the shell tests: COM for the test thread, a scratch folder inside the
// build tree, shortcut files made directly through the shell-link object, and an
// in-process answerer of message boxes and dialogs.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testing_shell {

struct ComScope {
    ComScope();
    ~ComScope();
    HRESULT hr;
};

// The folder of the running test executable (the build tree's bin), with "\".
std::string BinDir();
std::string OwnExePath();

// A fresh folder below <build>\test-tmp, removed with everything in it at the end.
class TempDir {
  public:
    explicit TempDir(const std::string& tag);
    ~TempDir();
    const std::string& Path() const { return path_; }
    // Creates a subfolder (and its parents) below the folder; returns its path.
    std::string MakeDir(const std::string& relative) const;
    // Copies a program of bin\ to `relative` below the folder; returns its path.
    std::string CopyBin(const std::string& binName, const std::string& relative) const;
    std::string WriteFile(const std::string& relative, const std::string& bytes) const;

  private:
    std::string path_;
};

// Everything a test sets on a shortcut it makes itself.
struct RawLink {
    std::string target;
    std::string arguments;
    std::string workingDir;
    std::string description;
    std::string iconPath;
    int iconIndex = 0;
    WORD hotKey = 0;
    int showCmd = SW_SHOWNORMAL;
    // Set whole when not empty, in place of target and workingDir: names the code
    // page cannot spell.
    std::wstring wideTarget;
    std::wstring wideWorkingDir;
};
// Saves a shortcut through IShellLinkA/IPersistFile; fails the test on error.
void MakeLink(const std::string& path, const RawLink& link);
// Reads a shortcut back through IShellLinkA, independent of the code under test.
RawLink LoadLink(const std::string& path);
// The show command as saved: the 32-bit value at byte 0x3C of the .lnk header.
int HeaderShowCmd(const std::string& path);
// Whether the process runs under Wine.
bool UnderWine();

// A message box or dialog seen by the answerer.
struct SeenBox {
    std::string caption;
    std::string text; // the static 0xFFFF of a message box
    bool hasYes = false, hasNo = false, hasOk = false;
    int defaultButton = 0;
};

// Answers each message box or dialog of this thread as it is activated: the queued
// replies in order (a reply may first act on the window, e.g. fill in a file name),
// then IDNO/IDOK/IDCANCEL when nothing is queued, so a test never blocks.
class BoxAnswerer {
  public:
    BoxAnswerer();
    ~BoxAnswerer();
    void Reply(int button, std::function<void(HWND)> before = nullptr);
    const std::vector<SeenBox>& Seen() const { return seen_; }

  private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM wp, LPARAM lp);
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD);
    void OnActivate(HWND w);
    void Answer(HWND w);

    struct Pending {
        int button;
        std::function<void(HWND)> before;
    };
    HHOOK hook_ = nullptr;
    std::vector<Pending> replies_;
    std::vector<HWND> answered_;
    std::vector<HWND> waiting_;
    std::vector<SeenBox> seen_;
};

} // namespace testing_shell
