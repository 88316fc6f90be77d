// The integer reader of the settings file against a second, independent reading
// of the same rules: blanks, a sign, decimal or hexadecimal after "$", "0x" or
// "0X", the whole text a number within 32 bits (hexadecimal takes all 32 bits).
// Every number read also survives being written and read again.
#include "core/ini_file.h"
#include "core/text.h"

#include "cp932_lead.h"

#include <cstdint>
#include <string>

namespace {

bool Reference(const std::string& s, int32_t& out) {
    size_t i = s.find_first_not_of(" \t");
    if (i == std::string::npos)
        return false;
    std::string rest = s.substr(i);
    bool negative = false;
    if (rest[0] == '-' || rest[0] == '+') {
        negative = rest[0] == '-';
        rest.erase(0, 1);
    }
    int base = 10;
    if (rest.rfind("$", 0) == 0) {
        base = 16;
        rest.erase(0, 1);
    } else if (rest.rfind("0x", 0) == 0 || rest.rfind("0X", 0) == 0) {
        base = 16;
        rest.erase(0, 2);
    }
    const char* digits = base == 16 ? "0123456789abcdefABCDEF" : "0123456789";
    if (rest.empty() || rest.find_first_not_of(digits) != std::string::npos)
        return false;
    size_t nonzero = rest.find_first_not_of('0');
    rest = nonzero == std::string::npos ? "0" : rest.substr(nonzero);
    if (rest.size() > 10)
        return false;
    const unsigned long long v = std::stoull(rest, nullptr, base);
    const unsigned long long limit =
        base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    if (v > limit)
        return false;
    const uint32_t bits = static_cast<uint32_t>(v);
    out = static_cast<int32_t>(negative ? 0u - bits : bits);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string s(reinterpret_cast<const char*>(data), size);
    int32_t got = 12345, want = 12345;
    const bool ok = ParseInt32(s, got);
    FUZZ_CHECK(ok == Reference(s, want));
    if (!ok)
        return 0;
    FUZZ_CHECK(got == want);
    int32_t again = 0;
    FUZZ_CHECK(ParseInt32(text::IntToStr(got), again) && again == got);
    return 0;
}
