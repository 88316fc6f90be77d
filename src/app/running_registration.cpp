#include "app/running_registration.h"

#include "core/text.h"
#include "quit/same_program.h"
#include "shell/ver_info.h"

namespace {

// The name a running program is shown by: its version resource's file description,
// else the name it would be registered by.
std::string RunningProgramName(const std::string& path) {
    std::string name;
    try {
        name = TVerInfo(path).GetFileDescription();
    } catch (const EVerInfo&) {
        name.clear();
    }
    return name.empty() ? ProductNameOrFileName(path) : name;
}

} // namespace

std::vector<TRunningEntry> RunningEntries(RegistrationHost& host,
                                          const std::vector<TRunningProgram>& programs) {
    std::vector<TRunningEntry> entries;
    for (const TRunningProgram& program : programs) {
        if (!OffersRunningProgram(program, host.OwnProgramPath()))
            continue;
        TRunningEntry entry;
        entry.Path = program.Path;
        entry.Registered = IsRegistered(host.Table(), program.Path);
        // What the add command would refuse for another reason is not offered.
        if (!entry.Registered && !CanRegisterFile(host, program.Path))
            continue;
        entry.Name = RunningProgramName(program.Path);
        entry.WindowsProgram = program.InWindowsFolder;
        entries.push_back(std::move(entry));
    }
    return entries;
}

int RegisterPrograms(RegistrationHost& host, const std::vector<std::string>& paths) {
    int first = -1;
    for (const std::string& path : paths) {
        const int slot = LowestFreeSlot(host.Table());
        // A full table shows its box once, from the add command itself.
        AddProgram(host, path);
        if (slot < 0)
            break;
        if (first < 0 && host.Table()[slot].Occupied())
            first = slot;
    }
    return first;
}
