#pragma once
// Reading and writing the settings file on disk.
#include <string>

// The program's own path with its extension replaced by ".ini".
std::string SettingsPathFor(const std::string& programPath);

// The whole file; an empty string when it does not exist or cannot be read.
std::string ReadWholeFile(const std::string& path);

// Replaces the file only once the new text is completely on disk: the text goes to
// a temporary file in the same folder, which then takes the old file's place. A
// crash, a kill or a full disk during a save thus leaves the old file as it was.
// On failure returns false with a message for the user in `error`.
bool WriteFileSafely(const std::string& path, const std::string& bytes, std::string& error);
