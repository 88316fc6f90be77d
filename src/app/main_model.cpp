#include "app/main_model.h"

#include "app/settings_store.h"
#include "shell/ver_info.h"
#include "win/msgbox.h"

TMainModel::TMainModel(std::string programPath)
    : programPath_(std::move(programPath)), settingsPath_(SettingsPathFor(programPath_)) {}

void TMainModel::Load(HWND owner) {
    std::string bytes;
    std::string error;
    if (ReadSettingsFile(settingsPath_, bytes, error) == SettingsRead::Failed) {
        settingsUnreadable_ = true;
        win::ErrorBox(owner, error);
    }
    IniFile ini;
    ini.Parse(bytes);
    // A file that is there but unreadable is no first start: no greeting, no import.
    FirstRun = ReadSettings(ini, Settings, ProgTable) && !settingsUnreadable_;
    WriteFile(owner, ini.Serialize());
}

void TMainModel::Save(HWND owner, const std::vector<const TProgInfo*>& listOrder) {
    if (settingsUnreadable_)
        return;
    std::string bytes;
    std::string error;
    if (ReadSettingsFile(settingsPath_, bytes, error) == SettingsRead::Failed) {
        // Saving from an empty model would drop whatever of the file the program does
        // not know; a file others hold locked refuses its replacement anyway.
        if (!saveErrorShown_) {
            saveErrorShown_ = true;
            win::ErrorBox(owner, error);
        }
        return;
    }
    IniFile ini;
    ini.Parse(bytes);
    std::string version;
    if (!FirstRun) {
        try {
            version = OwnProductVersion();
        } catch (const EVerInfo&) {
            // The save must not fail for it: the build knows its own version.
            version = VAKO_PRODUCT_VERSION;
        }
    }
    WriteSettings(ini, Settings, version, listOrder);
    WriteFile(owner, ini.Serialize());
}

void TMainModel::WriteFile(HWND owner, const std::string& bytes) {
    if (settingsUnreadable_)
        return; // the next start is to read the intact file
    std::string error;
    if (!WriteFileSafely(settingsPath_, bytes, error) && !saveErrorShown_) {
        // Once is enough: the same folder will refuse the next save as well.
        saveErrorShown_ = true;
        win::ErrorBox(owner, error);
    }
}
