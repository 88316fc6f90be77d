#include "launch/run_rules.h"

#include "core/text.h"

namespace launch {

const char* const kRunAllDoneText = "ポムッと起動処理完了";
const char* const kRunSelectedDoneText = "起動処理完了";

std::string RunDoneText(const char* done, int notStarted) {
    if (notStarted <= 0)
        return done;
    return std::string(done) + "（" + text::IntToStr(notStarted) +
           "個のアプリケーションを起動できませんでした）";
}

std::string RunAgainDoneText(int startedAgain, int notStarted) {
    std::string done = kRunAllDoneText;
    done += "（" + text::IntToStr(startedAgain) + "個のアプリケーションを再び起動しました）";
    return RunDoneText(done.c_str(), notStarted);
}

std::string StartingText(const std::string& name) {
    return name + "を起動しています";
}

std::string CommandLineFor(const std::string& program, const std::string& arg) {
    // A space byte is never part of a double-byte character, so a byte search is
    // a character search here.
    if (program.find(' ') != std::string::npos)
        return "\"" + program + "\" " + arg;
    return program + " " + arg;
}

std::string WorkingFolderFor(const std::string& program, const std::string& work) {
    if (!work.empty())
        return work;
    return text::FolderPart(program);
}

uint16_t ShowWindowFor(int32_t show, uint32_t ownFlags, uint16_t ownShowWindow) {
    switch (show) {
    case 0:
        return kSwRestore;
    case 1:
        return kSwShowMinNoActive;
    case 2:
        return kSwShowMaximized;
    default:
        return (ownFlags & kStartfUseShowWindow) ? ownShowWindow : kSwShowNormal;
    }
}

StartRequest MakeStartRequest(const TProgInfo& entry, uint32_t ownFlags, uint16_t ownShowWindow) {
    StartRequest r;
    r.CommandLine = CommandLineFor(entry.Program, entry.Arg);
    r.Folder = WorkingFolderFor(entry.Program, entry.Work);
    r.Flags = kStartfUseShowWindow;
    r.ShowWindow = ShowWindowFor(entry.Show, ownFlags, ownShowWindow);
    return r;
}

ReadyWaitResult WaitUntilReady(ReadyWaitOps& ops) {
    ReadyWaitResult r;
    const uint32_t deadline = ops.TickCount() + kReadyWaitMs;
    for (;;) {
        if (static_cast<int32_t>(ops.TickCount() - deadline) >= 0) {
            r.End = ReadyWaitEnd::Deadline;
            return r;
        }
        ++r.Polls;
        if (ops.WaitForIdle(kReadyPollMs) != kWaitTimeout) {
            r.End = ReadyWaitEnd::Ended;
            return r;
        }
        ops.ProcessMessages();
    }
}

} // namespace launch
