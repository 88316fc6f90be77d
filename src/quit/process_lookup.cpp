#include "quit/process_lookup.h"

void EnumProcessesEnum(const std::string& ExeName, uint32_t ProcessID, bool& ContinueEnum,
                       intptr_t lParam) {
    TProcessSearch& search = *reinterpret_cast<TProcessSearch*>(lParam);
    ContinueEnum = true;
    // A process whose program file could not be read is nobody's.
    if (!ExeName.empty() && search.Matcher.Matches(ExeName)) {
        search.Found = ProcessID;
        ContinueEnum = false;
    }
}

uint32_t FindProcessOf(TEnumProcesses& walker, const std::string& program) {
    TProcessSearch search(program);
    walker.Execute(reinterpret_cast<intptr_t>(&search));
    return search.Found;
}
