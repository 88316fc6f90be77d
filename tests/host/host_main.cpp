// The host's own test entry: like the program, which installs the system's
// lead-byte test at start, it installs the one of code page 932 before any test.
#include "cp932_lead.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    text::SetLeadByteTest(Cp932Lead);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
