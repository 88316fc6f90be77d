#include "quit/process_lookup.h"

#include "quit/same_program.h"

namespace {

// The lookup under way and its matcher, made once for the whole walk.
const TProgInfo* g_lookupRecord = nullptr;
const ProgramMatcher* g_lookupMatcher = nullptr;

bool RunsProgram(const std::string& exeName, const TProgInfo& rec) {
    if (&rec == g_lookupRecord && g_lookupMatcher)
        return g_lookupMatcher->Matches(exeName);
    return SameProgram(exeName, rec.Program);
}

} // namespace

void EnumProcessesEnum(const std::string& ExeName, uint32_t ProcessID, bool& ContinueEnum,
                       intptr_t lParam) {
    TProgInfo& rec = *reinterpret_cast<TProgInfo*>(lParam);
    ContinueEnum = true;
    // A process whose program file could not be read is nobody's.
    if (!ExeName.empty() && RunsProgram(ExeName, rec)) {
        rec.ProcessID = ProcessID;
        ContinueEnum = false;
    }
}

void LookupProcess(TEnumProcesses& walker, TProgInfo& rec) {
    rec.ProcessID = 0;
    const ProgramMatcher matcher(rec.Program);
    struct Scope {
        Scope(const TProgInfo& r, const ProgramMatcher& m) {
            g_lookupRecord = &r;
            g_lookupMatcher = &m;
        }
        ~Scope() {
            g_lookupRecord = nullptr;
            g_lookupMatcher = nullptr;
        }
    } scope(rec, matcher);
    walker.Execute(reinterpret_cast<intptr_t>(&rec));
}
