// Every fuzz target reads text as the program does, by the lead bytes of code
// page 932, which the program installs from the system at its start.
#include "cp932_lead.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    text::SetLeadByteTest(Cp932Lead);
    return 0;
}
