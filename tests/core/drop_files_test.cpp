#include "core/drop_files.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using Bytes = std::vector<unsigned char>;

void PutU32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

Bytes Header(uint32_t offset, bool wide) {
    Bytes b(kDropFilesHeaderSize, 0);
    PutU32(b, 0, offset);
    PutU32(b, 16, wide ? 1 : 0);
    return b;
}

// A well-formed ANSI block: the names, each with its NUL, and the empty last name.
Bytes AnsiBlock(const std::vector<std::string>& names) {
    Bytes b = Header(kDropFilesHeaderSize, false);
    for (const std::string& n : names) {
        b.insert(b.end(), n.begin(), n.end());
        b.push_back(0);
    }
    b.push_back(0);
    return b;
}

Bytes WideBlock(const std::vector<std::u16string>& names) {
    Bytes b = Header(kDropFilesHeaderSize, true);
    auto put = [&](char16_t c) {
        b.push_back(static_cast<unsigned char>(c & 0xFF));
        b.push_back(static_cast<unsigned char>(c >> 8));
    };
    for (const std::u16string& n : names) {
        for (char16_t c : n)
            put(c);
        put(0);
    }
    put(0);
    return b;
}

// Spells every code unit as "<hex>" so that a test sees exactly what was handed over.
std::string HexUnits(const char16_t* text, size_t length) {
    std::string out;
    char buf[8];
    for (size_t i = 0; i < length; ++i) {
        snprintf(buf, sizeof buf, "<%x>", static_cast<unsigned>(text[i]));
        out += buf;
    }
    return out;
}

std::vector<std::string> Read(const Bytes& b, bool* ok = nullptr) {
    std::vector<std::string> names{"left over"};
    bool result = ReadDropFiles(b.data(), b.size(), &names, HexUnits);
    if (ok)
        *ok = result;
    return names;
}

} // namespace

TEST(ReadDropFiles, AnsiNamesInBlockOrder) {
    bool ok = false;
    std::vector<std::string> names =
        Read(AnsiBlock({"C:\\a.exe", "C:\\表\\b.txt", "C:\\c.exe"}), &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(names, (std::vector<std::string>{"C:\\a.exe", "C:\\表\\b.txt", "C:\\c.exe"}));
}

// U+4E00 has a zero low byte: a reader that looked at bytes would stop there.
TEST(ReadDropFiles, WideNamesAreReadWholeAndConverted) {
    bool ok = false;
    std::vector<std::string> names = Read(WideBlock({u"\u4E00a", u"\u4E00\u4E01"}), &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(names, (std::vector<std::string>{"<4e00><61>", "<4e00><4e01>"}));
}

TEST(ReadDropFiles, ListMayStartAfterAGapAndBlockMayCarrySlack) {
    Bytes b = Header(28, false);
    b.resize(28, 0xCC);
    for (char c : std::string("x.exe"))
        b.push_back(static_cast<unsigned char>(c));
    b.insert(b.end(), {0, 0, 0xCC, 0xCC, 0xCC}); // rounded-up global memory
    bool ok = false;
    EXPECT_EQ(Read(b, &ok), (std::vector<std::string>{"x.exe"}));
    EXPECT_TRUE(ok);

    // An odd total size is harmless when the list ends before it.
    Bytes w = WideBlock({u"ab"});
    w.push_back(0xCC);
    EXPECT_EQ(Read(w, &ok), (std::vector<std::string>{"<61><62>"}));
    EXPECT_TRUE(ok);
}

TEST(ReadDropFiles, EmptyListGivesNoNames) {
    bool ok = true;
    EXPECT_TRUE(Read(AnsiBlock({}), &ok).empty());
    EXPECT_FALSE(ok);
    EXPECT_TRUE(Read(WideBlock({}), &ok).empty());
    EXPECT_FALSE(ok);
    // The list offset at the very end: no room even for the empty last name.
    EXPECT_TRUE(Read(Header(kDropFilesHeaderSize, false), &ok).empty());
    EXPECT_FALSE(ok);
}

// Blocks another program may hand over broken: none of them yields a name. Each cut
// block is an exactly sized copy, so a host build with AddressSanitizer sees any
// read beyond it.
TEST(ReadDropFiles, MalformedBlocksAreNoFileList) {
    Bytes good = AnsiBlock({"a.exe", "b.exe"});
    bool ok = true;

    Bytes pastEnd = good;
    PutU32(pastEnd, 0, static_cast<uint32_t>(good.size() + 1));
    EXPECT_TRUE(Read(pastEnd, &ok).empty());
    EXPECT_FALSE(ok);
    PutU32(pastEnd, 0, 0xFFFFFFF0u);
    EXPECT_TRUE(Read(pastEnd, &ok).empty());
    EXPECT_FALSE(ok);

    Bytes insideHeader = good;
    PutU32(insideHeader, 0, 4);
    EXPECT_TRUE(Read(insideHeader, &ok).empty());
    EXPECT_FALSE(ok);

    // Without the empty last name the names read so far are not trusted either.
    Bytes unended(good.begin(), good.end() - 1);
    EXPECT_TRUE(Read(unended, &ok).empty());
    EXPECT_FALSE(ok);
    Bytes unendedName(good.begin(), good.end() - 2);
    EXPECT_TRUE(Read(unendedName, &ok).empty());
    EXPECT_FALSE(ok);

    // A UTF-16 list whose last NUL is cut in half by the end of the block.
    Bytes wide = WideBlock({u"a.exe"});
    Bytes oddWide(wide.begin(), wide.end() - 1);
    EXPECT_TRUE(Read(oddWide, &ok).empty());
    EXPECT_FALSE(ok);

    for (size_t size = 0; size < kDropFilesHeaderSize; ++size) {
        std::vector<std::string> names{"left over"};
        EXPECT_FALSE(ReadDropFiles(good.data(), size, &names, HexUnits)) << size;
        EXPECT_TRUE(names.empty()) << size;
    }
}

// Every cut of a good block is either the whole list or nothing, never a part.
TEST(ReadDropFiles, EveryTruncationIsAllOrNothing) {
    for (const Bytes& block : {AnsiBlock({"a.exe", "bb.exe"}), WideBlock({u"a", u"\u4E00"})}) {
        for (size_t size = 0; size <= block.size(); ++size) {
            std::vector<std::string> names;
            bool ok = ReadDropFiles(block.data(), size, &names, HexUnits);
            EXPECT_EQ(ok, size == block.size()) << size;
            EXPECT_EQ(names.size(), ok ? 2u : 0u) << size;
        }
    }
}

TEST(ReadDropFiles, WideListWithoutConverterIsRefused) {
    Bytes b = WideBlock({u"a.exe"});
    std::vector<std::string> names;
    EXPECT_FALSE(ReadDropFiles(b.data(), b.size(), &names, nullptr));
    EXPECT_TRUE(names.empty());
    Bytes a = AnsiBlock({"a.exe"});
    EXPECT_TRUE(ReadDropFiles(a.data(), a.size(), &names, nullptr));
}
