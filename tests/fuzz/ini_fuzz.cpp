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
        if (x[i].Name != y[i].Name || x[i].Entries.size() != y[i].Entries.size())
            return false;
        for (size_t j = 0; j < x[i].Entries.size(); ++j) {
            const IniFile::Entry& e = x[i].Entries[j];
            const IniFile::Entry& f = y[i].Entries[j];
            if (e.Key != f.Key || e.Value != f.Value || e.Bare != f.Bare)
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
