// The command-line grammar on arguments of any content (NUL separates them in
// the input), and the path rules the command-line step applies to the program argument:
// folder part and file-name part put together give the path back, split where a
// whole character ends, and the extension is the file name's own tail.
#include "core/command_line.h"
#include "core/text.h"

#include "cp932_lead.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

bool Switch(const std::string& a, char lower) {
    return a.size() == 2 && (a[0] == '-' || a[0] == '/') &&
           (a[1] == lower || a[1] == lower - 'a' + 'A');
}

bool OnCharacterBoundary(const std::string& s, size_t at) {
    size_t i = 0;
    while (i < at)
        i += (text::IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
    return i == at;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> args;
    size_t pos = 0;
    for (;;) {
        size_t end = bytes.find('\0', pos);
        args.push_back(bytes.substr(pos, end == std::string::npos ? end : end - pos));
        if (end == std::string::npos)
            break;
        pos = end + 1;
    }

    const TCommandLine cl = ParseCommandLine(args);
    bool quit = false, run = false;
    std::string program;
    bool hasProgram = false;
    for (size_t i = 1; i < args.size(); ++i) {
        quit = quit || Switch(args[i], 'q');
        run = run || Switch(args[i], 'r');
        bool anySwitch = false;
        for (char c = 'a'; c <= 'z'; ++c)
            anySwitch = anySwitch || Switch(args[i], c);
        if (!anySwitch && !hasProgram) {
            hasProgram = true;
            program = args[i];
        }
    }
    FUZZ_CHECK(cl.QuitSwitch == quit);
    FUZZ_CHECK(cl.RunSwitch == run);
    FUZZ_CHECK(cl.HasProgramArg == hasProgram);
    FUZZ_CHECK(cl.ProgramArg == program);

    for (const std::string& path : args) {
        const std::string folder = text::FolderPart(path);
        const std::string name = text::FileNamePart(path);
        FUZZ_CHECK(folder + name == path);
        FUZZ_CHECK(OnCharacterBoundary(path, folder.size()));
        const std::string ext = text::ExtensionLower(path);
        FUZZ_CHECK(ext.empty() || ext[0] == '.');
        FUZZ_CHECK(ext.size() <= name.size());
        FUZZ_CHECK(text::LowerAscii(name.substr(name.size() - ext.size())) == ext);
        FUZZ_CHECK(text::BaseNameNoExt(path).size() + ext.size() == name.size());
    }
    return 0;
}
