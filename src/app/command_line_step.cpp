#include "app/command_line_step.h"

#include "core/text.h"
#include "win/ansi_path.h"
#include "win/file.h"

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
};

} // namespace

CommandLineFiles& SystemFiles() {
    static RealFiles files;
    return files;
}

bool IsProgramArgument(const std::string& arg1, CommandLineHost& host, CommandLineFiles& files) {
    if (!files.FileExists(arg1))
        return false;
    const std::string ext = text::ExtensionLower(arg1);
    if (ext == ".exe")
        return true;
    if (ext == ".lnk") {
        const std::string target = host.ReadShortcutTarget(arg1);
        return files.FileExists(target) && text::ExtensionLower(target) == ".exe";
    }
    return false;
}

int CommandLineExitCode(const CommandLineOutcome& outcome) {
    return outcome.NotDone > 255 ? 255 : outcome.NotDone;
}

CommandLineOutcome RunCommandLineStep(const TCommandLine& cl, CommandLineHost& host,
                                      CommandLineFiles& files) {
    CommandLineOutcome outcome;
    if (cl.QuitSwitch) {
        outcome.NotDone += host.RunQuitAll();
        host.CloseMainWindow();
        outcome.Closed = true;
    }
    if (cl.RunSwitch) {
        outcome.NotDone += host.RunRunAll();
        host.CloseMainWindow();
        outcome.Closed = true;
    }
    // Looked at only now: quit-all and run-all come first, whatever the file is.
    if (cl.HasArg1 && IsProgramArgument(cl.Arg1, host, files)) {
        outcome.NotDone += host.RunQuitAll();
        files.ShellOpen(cl.Arg1, text::FolderPart(cl.Arg1));
        host.CloseMainWindow();
        outcome.Closed = true;
    }
    return outcome;
}

bool IsCommandLineRun(const TCommandLine& cl, CommandLineHost& host, CommandLineFiles& files) {
    if (cl.QuitSwitch || cl.RunSwitch)
        return true;
    if (!cl.HasArg1)
        return false;
    try {
        return IsProgramArgument(cl.Arg1, host, files);
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
    for (int i = 0; i < count; ++i) {
        const std::wstring arg(wide[i]);
        const win::AnsiPath kept = win::StorablePath(arg);
        args.push_back(kept.Kind == win::AnsiPathKind::None ? win::BestFitAnsi(arg) : kept.Path);
    }
    LocalFree(wide);
    return args;
}
