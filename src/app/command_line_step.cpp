#include "app/command_line_step.h"

#include "core/text.h"
#include "win/ansi_path.h"
#include "win/file.h"
#include "win/shutdown.h"

#include <windows.h>
#include <shellapi.h>

namespace {

class RealFiles : public CommandLineFiles {
  public:
    bool FileExists(const std::string& path) override {
        return !path.empty() && win::FileExists(path);
    }
    void ShellOpen(const std::string& file, const std::string& folder) override {
        ShellExecuteA(nullptr, "open", file.c_str(), "", folder.empty() ? nullptr : folder.c_str(),
                      SW_SHOW);
    }
    void ShutDown() override { win::ShutDownWindows(); }
};

} // namespace

CommandLineFiles& SystemFiles() {
    static RealFiles files;
    return files;
}

bool IsProgramArgument(const std::string& arg, CommandLineHost& host, CommandLineFiles& files) {
    if (!files.FileExists(arg))
        return false;
    const std::string ext = text::ExtensionLower(arg);
    if (ext == ".exe")
        return true;
    if (ext == ".lnk") {
        const std::string target = host.ReadShortcutTarget(arg);
        return files.FileExists(target) && text::ExtensionLower(target) == ".exe";
    }
    return false;
}

namespace {

// Reports rather than throws: a box shown after the main window was asked to close
// would go with the window before the user could read it.
void ShutDownAfterQuitAll(CommandLineHost& host, CommandLineFiles& files) {
    // With the empty list of a first start or of a settings file that could not be
    // read, nothing the user registered was quit: shutting down would be Windows'
    // own shutdown, which ends programs with their unsaved work.
    if (!host.ListRead()) {
        host.ReportError("終了させるアプリの一覧がないため、シャットダウンしませんでした。");
        return;
    }
    try {
        files.ShutDown();
    } catch (const std::exception& e) {
        host.ReportError(e.what());
    }
}

} // namespace

int CommandLineExitCode(const CommandLineOutcome& outcome) {
    return outcome.NotDone > 255 ? 255 : outcome.NotDone;
}

CommandLineOutcome RunCommandLineStep(const TCommandLine& cl, CommandLineHost& host,
                                      CommandLineFiles& files) {
    CommandLineOutcome outcome;
    // The window closes once, when all is done, however the step ends after it has
    // carried out anything: a close asked for after quit-all would otherwise end
    // the wait for the program that follows it.
    struct CloseWhenDone {
        CommandLineHost& Host;
        const bool& Closed;
        ~CloseWhenDone() {
            if (Closed)
                Host.CloseMainWindow();
        }
    } closeWhenDone{host, outcome.Closed};
    if (cl.QuitSwitch || cl.ShutdownSwitch) {
        outcome.NotDone += host.RunQuitAll();
        outcome.Closed = true;
        // A program left running may hold unsaved work: the machine stays on.
        if (cl.ShutdownSwitch && outcome.NotDone == 0)
            ShutDownAfterQuitAll(host, files);
    }
    if (cl.ShutdownSwitch)
        return outcome;
    if (cl.RunSwitch) {
        outcome.NotDone += host.RunRunAll();
        outcome.Closed = true;
    }
    // Looked at only now: quit-all and run-all come first, whatever the file is.
    if (cl.HasProgramArg && IsProgramArgument(cl.ProgramArg, host, files)) {
        // The quit-all shortcut with a file dropped on it gives both: one quit-all.
        if (!cl.QuitSwitch)
            outcome.NotDone += host.RunQuitAll();
        if (host.RestoresAfter()) {
            // Closing the window during the wait still ends with what the quit left.
            host.SetExitCode(CommandLineExitCode(outcome));
            outcome.NotDone += host.WaitAndRestore(cl.ProgramArg);
        } else {
            files.ShellOpen(cl.ProgramArg, text::FolderPart(cl.ProgramArg));
        }
        outcome.Closed = true;
    }
    return outcome;
}

bool IsCommandLineRun(const TCommandLine& cl, CommandLineHost& host, CommandLineFiles& files) {
    if (cl.QuitSwitch || cl.RunSwitch || cl.ShutdownSwitch)
        return true;
    if (!cl.HasProgramArg)
        return false;
    try {
        return IsProgramArgument(cl.ProgramArg, host, files);
    } catch (...) {
        return false;
    }
}

std::vector<std::string> ProcessArguments() {
    // Read whole and split by the system's rules: the C runtime's 8-bit copy spells
    // a name the code page lacks by its best fit, a file that does not exist. Such a
    // path is kept by its short form; anything else by its best spelling.
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return args;
    for (int i = 0; i < count; ++i)
        args.push_back(win::UsablePath(wide[i]));
    LocalFree(wide);
    return args;
}
