#pragma once
#include <string>

// Whether two paths name the same program file: their short (8.3) forms compared
// after ANSI lower-casing, so a long and a short spelling and differences of letter
// case compare equal. Where a short form cannot be had (the file is gone, the path
// is empty or too long), the lower-cased path as given stands in for it.
bool SameProgram(const std::string& a, const std::string& b);
