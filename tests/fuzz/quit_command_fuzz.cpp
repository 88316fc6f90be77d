// The quit command string: any text (the settings file may be edited by hand)
// reads without a crash into a trimmed name taken from the text; and a made
// string reads back as the command, value and window kind it was made from.
#include "core/quit_command.h"
#include "cp932_lead.h"

#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    TQuitCommand read = ReadQuitCommand(bytes);
    FUZZ_CHECK(read.Message == kQuitWmCommand || read.Message == kQuitWmSysCommand);
    FUZZ_CHECK(read.Name == text::Trim(read.Name));
    FUZZ_CHECK(read.Name.empty() || bytes.find(read.Name) != std::string::npos);
    FUZZ_CHECK(!QuitWindowMatches(read, std::string()));
    FUZZ_CHECK(QuitWindowMatches(read, read.Name + "x") == !read.Name.empty());

    if (size < 5)
        return 0;
    uint32_t wParam;
    std::memcpy(&wParam, data + 1, sizeof wParam);
    const uint32_t message = (data[0] & 1) ? kQuitWmCommand : kQuitWmSysCommand;
    const std::string rest = bytes.substr(5);
    const size_t cut = rest.find('\0');
    const std::string className = rest.substr(0, cut);
    const std::string title = cut == std::string::npos ? std::string() : rest.substr(cut + 1);

    const std::string made = MakeQuitCommand(message, wParam, className, title);
    const bool byClass = !text::Trim(className).empty() && className[0] != '#';
    const std::string& source = byClass ? className : title;
    const std::string stored = made.substr(made.find(',') + 3);
    FUZZ_CHECK(stored.size() <= 255);
    FUZZ_CHECK(source.compare(0, stored.size(), stored) == 0);
    if (stored.size() < source.size()) {
        // Cut only where a whole character ends.
        size_t i = 0;
        while (i < stored.size())
            i += (text::IsLeadByte(static_cast<unsigned char>(stored[i])) && i + 1 < source.size())
                     ? 2
                     : 1;
        FUZZ_CHECK(i == stored.size());
    }

    TQuitCommand back = ReadQuitCommand(made);
    FUZZ_CHECK(back.Message == message);
    FUZZ_CHECK(back.Value == wParam);
    FUZZ_CHECK(back.ByClass == byClass);
    FUZZ_CHECK(back.Name == text::Trim(stored));
    return 0;
}
