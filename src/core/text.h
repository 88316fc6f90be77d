#pragma once
// Text rules of the program, on ANSI strings. Strings hold code page 932 bytes, a
// double-byte code whose trail bytes include "\" and ASCII letters, so every rule
// that looks at characters walks whole characters.
#include <string>

namespace text {

// The lead-byte test of the running system's ANSI code page. The program installs
// the system's own test at start; until then the code page 932 rule applies.
using LeadByteTest = bool (*)(unsigned char);
void SetLeadByteTest(LeadByteTest test);
bool IsLeadByte(unsigned char c);

// Case-insensitive for a-z only; every other byte by its unsigned value.
int CompareText(const std::string& a, const std::string& b);

// Lower-cases the single-byte ASCII letters, leaving double-byte characters intact.
std::string LowerAscii(const std::string& s);

bool StartsWith(const std::string& s, const std::string& prefix);
// Whether `needle` occurs in `hay` starting at a character boundary; an empty
// needle occurs nowhere.
bool Contains(const std::string& hay, const std::string& needle);

// Removes leading and trailing characters whose code is 32 or less.
std::string Trim(const std::string& s);

// Everything up to and including the last "\" or ":" (empty when there is none).
std::string FolderPart(const std::string& path);
// Everything after the last "\" or ":".
std::string FileNamePart(const std::string& path);
// The extension of the file-name part, dot included, lower-cased; empty if none.
std::string ExtensionLower(const std::string& path);
// The file-name part without its extension.
std::string BaseNameNoExt(const std::string& path);

std::string IntToStr(long long v);

} // namespace text
