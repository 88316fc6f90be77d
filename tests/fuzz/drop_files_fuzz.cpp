// The DROPFILES reader: any block another program hands over reads without a
// crash, and what it gives back was in the block: the names with their ends
// follow one another from the list's offset, exactly as read; a block made anew
// from those names reads back the same names.
#include "core/drop_files.h"
#include "cp932_lead.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Keeps the UTF-16 units as their own bytes, so that a wide name can be found in
// the block as it stood there and be written back unchanged.
std::string RawUnits(const char16_t* text, size_t length) {
    return std::string(reinterpret_cast<const char*>(text), length * sizeof(char16_t));
}

// The list as the names say it must have stood: each name and its end, then the
// empty last name.
std::string ListOf(const std::vector<std::string>& names, bool wide) {
    const std::string end(wide ? 2 : 1, '\0');
    std::string list;
    for (const std::string& n : names)
        list += n + end;
    return list + end;
}

void PutU32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> names{"left over"};
    const bool ok = ReadDropFiles(data, size, &names, RawUnits);
    FUZZ_CHECK(ok == !names.empty());
    if (!ok)
        return 0;

    uint32_t offset = 0;
    uint32_t wideFlag = 0;
    std::memcpy(&offset, data, 4); // little-endian host, as the block is
    std::memcpy(&wideFlag, data + 16, 4);
    const bool wide = wideFlag != 0;
    const std::string list = ListOf(names, wide);
    FUZZ_CHECK(offset >= kDropFilesHeaderSize && offset <= size);
    FUZZ_CHECK(list.size() <= size - offset);
    FUZZ_CHECK(std::memcmp(data + offset, list.data(), list.size()) == 0);
    const std::string end(wide ? 2 : 1, '\0');
    for (const std::string& n : names) {
        FUZZ_CHECK(!n.empty() && n.size() % end.size() == 0);
        for (size_t i = 0; i < n.size(); i += end.size())
            FUZZ_CHECK(n.compare(i, end.size(), end) != 0);
    }

    // Without a converter a wide list gives nothing, rather than bytes taken
    // for characters.
    if (wide) {
        std::vector<std::string> none;
        FUZZ_CHECK(!ReadDropFiles(data, size, &none, nullptr) && none.empty());
    }

    std::vector<unsigned char> rebuilt(kDropFilesHeaderSize, 0);
    PutU32(rebuilt.data(), kDropFilesHeaderSize);
    PutU32(rebuilt.data() + 16, wide ? 1 : 0);
    rebuilt.insert(rebuilt.end(), list.begin(), list.end());
    std::vector<std::string> back;
    FUZZ_CHECK(ReadDropFiles(rebuilt.data(), rebuilt.size(), &back, RawUnits));
    FUZZ_CHECK(back == names);
    return 0;
}
