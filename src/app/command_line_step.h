#pragma once
// The command-line step of the main window's first show: quit-all for "-q",
// run-all for "-r" (quit-all first when both are given), quit-all (once, with
// "-q" beside it) followed by starting the file when the program argument is a
// program file or a shortcut to one, and quit-all followed by the shutdown of
// Windows for "-s"; then the main window closes.
#include "core/command_line.h"

#include <string>
#include <vector>

// What the step needs of the main window.
class CommandLineHost {
  public:
    // The actions ActAllQuit and ActAllRun, run exactly as if the user chose them.
    // Each returns how many programs it could not quit or start.
    virtual int RunQuitAll() = 0;
    virtual int RunRunAll() = 0;
    // Whether the registered programs are the user's list as the settings file holds
    // it: false in a first start and when the file could not be read.
    virtual bool ListRead() = 0;
    // The target of a shortcut file; throws when the shortcut cannot be read.
    virtual std::string ReadShortcutTarget(const std::string& path) = 0;
    // Shows `text` in an error box over the main window.
    virtual void ReportError(const std::string& text) = 0;
    // Asks the main window to close; the close happens once the message loop runs.
    virtual void CloseMainWindow() = 0;
    // Whether a program argument is waited for and what the quit ended then
    // started again (RestoreAfter), instead of only being opened.
    virtual bool RestoresAfter() = 0;
    // Starts `program`, waits until it and what it started have ended, and starts
    // again what the quit ended. Returns how many programs could not be started,
    // `program` included.
    virtual int WaitAndRestore(const std::string& program) = 0;
    // The code the process ends with if its window closes from now on.
    virtual void SetExitCode(int code) = 0;

  protected:
    ~CommandLineHost() = default;
};

// What the step needs of the system. SystemFiles() is the real one.
class CommandLineFiles {
  public:
    // An existing file, not a folder.
    virtual bool FileExists(const std::string& path) = 0;
    // Hands `file` to the shell to open, in `folder`; the result is not looked at.
    virtual void ShellOpen(const std::string& file, const std::string& folder) = 0;
    // Asks Windows to shut down; throws when it refuses.
    virtual void ShutDown() = 0;

  protected:
    ~CommandLineFiles() = default;
};
CommandLineFiles& SystemFiles();

// Whether `arg` is a file to start after quit-all: an existing ".exe", or an
// existing ".lnk" whose target is an existing ".exe" (extensions in any case).
// Throws what ReadShortcutTarget throws.
bool IsProgramArgument(const std::string& arg, CommandLineHost& host, CommandLineFiles& files);

// What carrying out the command line came to.
struct CommandLineOutcome {
    bool Closed = false; // it asked the main window to close
    int NotDone = 0;     // programs that could not be quit or started
};

// The exit code of a command-line run: how many programs could not be quit or
// started, at most 255, so that a script is never told success for a failure.
int CommandLineExitCode(const CommandLineOutcome& outcome);

// Carries out the command line. An exception of quit-all, run-all or the shortcut
// ends the step where it happens. With "-s" quit-all runs once, and Windows is shut
// down only when it quit every program of the user's list (without that list, or
// when Windows refuses, the reason is reported); nothing is started then, neither
// run-all nor a program argument, since the session is about to end.
CommandLineOutcome RunCommandLineStep(const TCommandLine& cl, CommandLineHost& host,
                                      CommandLineFiles& files = SystemFiles());

// Whether RunCommandLineStep will close the main window (the same decision). The
// first start's greeting is left for the next ordinary start when it will. A
// shortcut that cannot be read counts as no program argument: the step then
// reports the error and leaves the window open.
bool IsCommandLineRun(const TCommandLine& cl, CommandLineHost& host,
                      CommandLineFiles& files = SystemFiles());

// The arguments of this process as the system's C runtime split them, argument 0
// (the program's own path) first.
std::vector<std::string> ProcessArguments();
