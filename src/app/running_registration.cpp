#include "app/running_registration.h"

#include "core/text.h"
#include "quit/same_program.h"
#include "shell/ver_info.h"

namespace {

bool IsRegistered(RegistrationHost& host, const std::string& path) {
    for (const TProgInfo& slot : host.Table()) {
        if (slot.Occupied() && SameProgram(path, slot.Program))
            return true;
    }
    return false;
}

int FreeSlot(const TProgTable& table) {
    for (int i = 0; i < kMaxPrograms; ++i) {
        if (!table[i].Occupied())
            return i;
    }
    return -1;
}

} // namespace

std::string RunningProgramName(const std::string& path) {
    std::string name;
    try {
        const TVerInfo info(path);
        try {
            name = info.GetFileDescription();
        } catch (const EVerInfo&) {
            name.clear();
        }
        if (name.empty())
            name = info.GetProductName();
    } catch (const EVerInfo&) {
        name.clear();
    }
    return name.empty() ? text::BaseNameNoExt(path) : name;
}

std::vector<TRunningEntry> RunningEntries(RegistrationHost& host,
                                          const std::vector<TRunningProgram>& programs) {
    std::vector<TRunningEntry> entries;
    for (const TRunningProgram& program : programs) {
        if (!OffersRunningProgram(program, host.OwnProgramPath()))
            continue;
        TRunningEntry entry;
        entry.Path = program.Path;
        entry.Registered = IsRegistered(host, program.Path);
        // What the add command would refuse for another reason is not offered.
        if (!entry.Registered && !CanRegister(host, program.Path))
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
        const int slot = FreeSlot(host.Table());
        // A full table shows its box once, from the add command itself.
        AddProgram(host, path);
        if (slot < 0)
            break;
        if (first < 0 && host.Table()[slot].Occupied())
            first = slot;
    }
    return first;
}
