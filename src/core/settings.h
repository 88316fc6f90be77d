#pragma once
// What the settings file holds, and how it maps onto the file's sections and keys.
// Platform-free: the main window copies these values to and from its controls.
#include "core/ini_file.h"
#include "core/options.h"
#include "core/prog_info.h"
#include "core/view_style.h"

#include <string>
#include <vector>

// The options and the main window's own state: its place, view, status bar and
// column widths.
struct TSettings : TOptions {
    int32_t XPos = 0;
    int32_t YPos = 0;
    int32_t Width = 313;
    int32_t Height = 277;
    int32_t View = kViewReport;
    bool Status = true;
    std::vector<int32_t> Columns{180, 50, 50};
};

// Reads the values over `s`, whose current values serve as the defaults of the
// window keys and the column widths. Fills slots 0.. of `table` up to the first
// section without a program; returns FirstRun: whether the file has no "Version".
bool ReadSettings(const IniFile& ini, TSettings& s, TProgTable& table);

// Writes the values and the applications in list order. `version` is written unless
// it is empty, which keeps whatever the file had (a first start that has not greeted
// the user yet must stay a first start).
void WriteSettings(IniFile& ini, const TSettings& s, const std::string& version,
                   const std::vector<const TProgInfo*>& listOrder);
