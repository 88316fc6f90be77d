#include "app/command_line_step.h"

#include "core/text.h"
#include "win/file.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdlib>

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

int CommandLineExitCode(const CommandLineOutcome& outcome) {
    return outcome.NotDone > 255 ? 255 : outcome.NotDone;
}

CommandLineOutcome RunCommandLineStep(const TCommandLine& cl, CommandLineHost& host,
                                      CommandLineFiles& files) {
    // The window closes once, when all is done: a close asked for after quit-all
    // would otherwise end the wait for the program that follows it.
    CommandLineOutcome outcome;
    if (cl.QuitSwitch) {
        outcome.NotDone += host.RunQuitAll();
        outcome.Closed = true;
    }
    if (cl.RunSwitch) {
        outcome.NotDone += host.RunRunAll();
        outcome.Closed = true;
    }
    // Looked at only now: quit-all and run-all come first, whatever the file is.
    bool program = false;
    try {
        program = cl.HasProgramArg && IsProgramArgument(cl.ProgramArg, host, files);
    } catch (...) {
        if (outcome.Closed)
            host.CloseMainWindow();
        throw;
    }
    if (program) {
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
    if (outcome.Closed)
        host.CloseMainWindow();
    return outcome;
}

bool IsCommandLineRun(const TCommandLine& cl, CommandLineHost& host, CommandLineFiles& files) {
    if (cl.QuitSwitch || cl.RunSwitch)
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
    std::vector<std::string> args;
    for (int i = 0; i < __argc; ++i)
        args.emplace_back(__argv[i] ? __argv[i] : "");
    return args;
}
