// The hook library as a file: what it exports and imports, its version resource,
// and its two constant texts.
#include "hook/vako_hook.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "../quit/support.h"
#include "hook_support.h"

namespace {

const std::vector<std::string> kExports = {"ChangeNullHook", "GetHookMsgString1",
                                           "GetHookMsgString2", "InitDLL", "UnhookDLL"};

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The library runs inside other programs: its export table holds the five
// functions under their plain names and nothing else (no runtime symbols), and it
// needs no DLL beyond the system's.
void ExpectHookTables(const std::string& file, bool is64) {
    ht::PeTables t = ht::ReadPeTables(qt::ExeDir() + file);
    ASSERT_TRUE(t.Ok) << file;
    EXPECT_EQ(is64, t.Is64) << file;
    std::vector<std::string> names = t.Exports;
    std::sort(names.begin(), names.end());
    EXPECT_EQ(kExports, names) << file;
    for (const std::string& dll : t.Imports)
        EXPECT_TRUE(Upper(dll) == "KERNEL32.DLL" || Upper(dll) == "USER32.DLL")
            << file << ": " << dll;
}

void ExpectHelperTables(const std::string& file) {
    ht::PeTables t = ht::ReadPeTables(qt::ExeDir() + file);
    ASSERT_TRUE(t.Ok) << file;
    EXPECT_TRUE(t.Is64) << file;
    EXPECT_TRUE(t.Exports.empty()) << file;
    for (const std::string& dll : t.Imports) {
        std::string u = Upper(dll);
        EXPECT_TRUE(u == "KERNEL32.DLL" || u == "USER32.DLL" || u == "MSVCRT.DLL")
            << file << ": " << dll;
    }
}

std::string VersionValue(const std::vector<char>& data, const char* name) {
    char* value = nullptr;
    UINT len = 0;
    std::string key = std::string("\\StringFileInfo\\041104b0\\") + name;
    if (!VerQueryValueA(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &len) || !value)
        return "<missing>";
    return std::string(value);
}

void ExpectVersion(const std::string& file, const char* internalName) {
    std::string path = qt::ExeDir() + file;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), nullptr);
    ASSERT_GT(size, 0u) << file;
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(0x00000001u, fixed->dwFileVersionMS) << file;
    EXPECT_EQ(0u, fixed->dwFileVersionLS) << file;
    EXPECT_EQ(0x00000001u, fixed->dwProductVersionMS) << file;
    EXPECT_EQ(0u, fixed->dwProductVersionLS) << file;
    EXPECT_EQ("0.1", VersionValue(data, "ProductVersion")) << file;
    EXPECT_EQ("0.1.0.0", VersionValue(data, "FileVersion")) << file;
    EXPECT_EQ("DLL for VakoQuit", VersionValue(data, "FileDescription")) << file;
    EXPECT_EQ(internalName, VersionValue(data, "InternalName")) << file;
    EXPECT_EQ(std::string(internalName) + ".dll", VersionValue(data, "OriginalFilename")) << file;
}

TEST(HookLibrary, ExportsTheFiveFunctionsByPlainNameAndImportsOnlySystemDlls) {
    ExpectHookTables("VakoHook.dll", sizeof(void*) == 8);
}

TEST(HookLibrary, CarriesItsVersionResource) {
    ExpectVersion("VakoHook.dll", "VakoHook");
}

// The shipped program is 32-bit; a 64-bit test build has it in its i686 folder,
// where the files can still be read.
TEST(HookLibrary, Shipped32BitLibraryAndHelperAsFiles) {
    std::string dir = sizeof(void*) == 4 ? std::string() : std::string("..\\i686\\bin\\");
    if (GetFileAttributesA((qt::ExeDir() + dir + "VakoHook.dll").c_str()) ==
        INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "needs the 32-bit build beside this one (make build)";
    ExpectHookTables(dir + "VakoHook.dll", false);
    ExpectVersion(dir + "VakoHook.dll", "VakoHook");
    ExpectHookTables(dir + "VakoHook64.dll", true);
    ExpectVersion(dir + "VakoHook64.dll", "VakoHook64");
    ExpectHelperTables(dir + "VakoHook64.exe");
}

TEST(HookLibrary, SixtyFourBitBuildHasTheSameExportsAndItsOwnVersion) {
    ExpectHookTables("VakoHook64.dll", true);
    ExpectVersion("VakoHook64.dll", "VakoHook64");
}

TEST(HookLibrary, SixtyFourBitHelperImportsOnlySystemDlls) {
    ExpectHelperTables("VakoHook64.exe");
}

TEST(HookLibrary, MessageTextsAreConstant) {
    const char* first = GetHookMsgString1();
    const char* second = GetHookMsgString2();
    EXPECT_STREQ("VakoHookUniqueMessage1", first);
    EXPECT_STREQ("VakoHookUniqueMessage2", second);
    EXPECT_EQ(first, GetHookMsgString1());
    EXPECT_EQ(second, GetHookMsgString2());
    EXPECT_STREQ("VakoHookUniqueMessage1", GetHookMsgString1());
}

} // namespace
