#pragma once
// Reading and writing the settings file on disk.
#include <string>

// The program's own path with its extension replaced by ".ini".
std::string SettingsPathFor(const std::string& programPath);

// What reading the settings file found.
enum class SettingsRead {
    Read,    // `bytes` holds the whole file
    Missing, // neither the file nor its folder exists: a first start
    Failed,  // it exists but could not be read whole; `error` says so for the user
};

// The whole file into `bytes` (empty unless Read).
SettingsRead ReadSettingsFile(const std::string& path, std::string& bytes, std::string& error);

// Replaces the file only once the new text is completely on disk: the text goes to
// a temporary file in the same folder, which then takes the old file's place. A
// crash, a kill or a full disk during a save thus leaves the old file as it was.
// On failure returns false with a message for the user in `error`.
bool WriteFileSafely(const std::string& path, const std::string& bytes, std::string& error);
