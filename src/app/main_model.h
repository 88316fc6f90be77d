#pragma once
// What the main window shows and keeps: the table of registered applications, the
// options and the window's own settings, and the settings file beside the program
// that holds them from one run to the next.
#include "core/prog_info.h"
#include "core/settings.h"

#include <windows.h>

#include <string>
#include <vector>

class TMainModel {
  public:
    // The settings file is the program's own path with ".ini" for its extension.
    explicit TMainModel(std::string programPath);

    TProgTable ProgTable;
    TSettings Settings;
    // True until the first start has greeted the user and imported the Startup folder.
    bool FirstRun = false;

    const std::string& ProgramPath() const { return programPath_; }
    // Whether the table is the user's own list, read from the settings file: not the
    // empty one of a first start or of a file that could not be read.
    bool ListRead() const { return !FirstRun && !settingsUnreadable_; }

    // Reads the file into the table and the settings, whose current values are the
    // defaults of what the file lacks, and writes it back in the program's own
    // form. A file that exists but cannot be read is reported once in a box owned
    // by `owner`; the run then starts empty and never writes to it.
    void Load(HWND owner);
    // Writes the settings and the applications in `listOrder` over what the file
    // holds now, keeping whatever of it the program does not know.
    void Save(HWND owner, const std::vector<const TProgInfo*>& listOrder);

  private:
    void WriteFile(HWND owner, const std::string& bytes);

    std::string programPath_;
    std::string settingsPath_;
    bool saveErrorShown_ = false;
    // The settings file exists but could not be read: writing the empty list over it
    // would lose the user's entries, so nothing is written to it during this run.
    bool settingsUnreadable_ = false;
};
