#include "quit/process_lookup.h"

#include "quit/same_program.h"

void EnumProcessesEnum(const std::string& ExeName, uint32_t ProcessID, bool& ContinueEnum,
                       intptr_t lParam) {
    TProgInfo& rec = *reinterpret_cast<TProgInfo*>(lParam);
    ContinueEnum = true;
    // A process whose program file could not be read is nobody's.
    if (!ExeName.empty() && SameProgram(ExeName, rec.Program)) {
        rec.ProcessID = ProcessID;
        ContinueEnum = false;
    }
}

void LookupProcess(TEnumProcesses& walker, TProgInfo& rec) {
    rec.ProcessID = 0;
    walker.Execute(reinterpret_cast<intptr_t>(&rec));
}
