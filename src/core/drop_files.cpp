#include "core/drop_files.h"

#include <cstdint>
#include <cstring>

namespace {

uint32_t ReadU32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Each name ends at the first NUL unit; the list ends at an empty name. `Unit`
// bytes are read only while a whole unit lies before `end`.
template <typename Unit, typename Append>
bool ReadList(const unsigned char* p, const unsigned char* end, Append append) {
    std::basic_string<Unit> name;
    while (static_cast<size_t>(end - p) >= sizeof(Unit)) {
        Unit u;
        std::memcpy(&u, p, sizeof u); // the list may start at an odd offset
        p += sizeof u;
        if (u != 0) {
            name.push_back(u);
            continue;
        }
        if (name.empty())
            return true;
        append(name);
        name.clear();
    }
    return false; // no empty last name before the end of the block
}

} // namespace

bool ReadDropFiles(const unsigned char* data, size_t size, std::vector<std::string>* names,
                   WideToAnsi convert) {
    names->clear();
    if (!data || size < kDropFilesHeaderSize)
        return false;
    size_t offset = ReadU32(data);
    bool wide = ReadU32(data + 16) != 0;
    if (offset < kDropFilesHeaderSize || offset > size || (wide && !convert))
        return false;
    const unsigned char* list = data + offset;
    const unsigned char* end = data + size;
    bool complete;
    if (wide) {
        complete = ReadList<char16_t>(list, end, [&](const std::u16string& n) {
            names->push_back(convert(n.data(), n.size()));
        });
    } else {
        complete = ReadList<char>(list, end, [&](const std::string& n) { names->push_back(n); });
    }
    if (!complete)
        names->clear();
    return !names->empty();
}
