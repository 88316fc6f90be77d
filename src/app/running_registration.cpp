#include "app/running_registration.h"

#include "core/text.h"
#include "quit/same_program.h"
#include "shell/ver_info.h"

namespace {

// Each running program is compared with every registered one. Comparing two paths
// opens both files; a file name that can name neither the other's long nor its
// short name rules a pair out without asking the file system (measured under Wine:
// 30 running programs against 256 registered took 14 s pair by pair).
bool IsRegistered(const TProgTable& table, const std::string& path) {
    const PathFacts facts(path);
    for (const TProgInfo& slot : table) {
        if (slot.Occupied() && facts.MayBe(LowerFileName(slot.Program)) &&
            SameProgram(path, slot.Program))
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
