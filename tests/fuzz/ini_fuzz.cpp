// The settings file's reader and writer on arbitrary bytes: besides not crashing,
// a file read and written reads back as the same model and the same text.
#include "core/ini_file.h"
#include "cp932_lead.h"

#include <cstdint>
#include <string>

namespace {

bool SameModel(const IniFile& a, const IniFile& b) {
    const auto& x = a.Sections();
    const auto& y = b.Sections();
    if (x.size() != y.size())
        return false;
    for (size_t i = 0; i < x.size(); ++i) {
        if (x[i].name != y[i].name || x[i].entries.size() != y[i].entries.size())
            return false;
        for (size_t j = 0; j < x[i].entries.size(); ++j) {
            const IniFile::Entry& e = x[i].entries[j];
            const IniFile::Entry& f = y[i].entries[j];
            if (e.key != f.key || e.value != f.value || e.bare != f.bare)
                return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    IniFile a;
    a.Parse(bytes);
    const std::string once = a.Serialize();
    IniFile b;
    b.Parse(once);
    FUZZ_CHECK(SameModel(a, b));
    FUZZ_CHECK(b.Serialize() == once);
    return 0;
}
