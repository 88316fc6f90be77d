#pragma once
#include <string>

namespace win {

// The whole content of a file, read while others may still write it. False when the
// file cannot be opened.
bool ReadWholeFile(const std::string& path, std::string& bytes);

} // namespace win
