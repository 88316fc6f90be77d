#pragma once
// The main window as adding programs sees it: the table, and a record of what the
// registration asked of the list.
#include "app/registration.h"
#include "shell/shortcut_link.h"

#include "support.h"

#include <string>
#include <vector>

struct FakeHost : RegistrationHost {
    TProgTable table;
    std::string own = testing_shell::OwnExePath();
    TShortcutLink link;
    bool firstRun = false;
    std::string startupFolder;
    std::vector<int> appended;     // slot indexes, in the order items were appended
    std::vector<std::string> list; // names shown by the latest BuildList
    int builds = 0;
    std::vector<bool> busy;

    TProgTable& Table() override { return table; }
    const std::string& OwnProgramPath() override { return own; }
    void AppendEntry(TProgInfo& slot) override {
        slot.ImageIndex = 100 + static_cast<int>(appended.size());
        appended.push_back(static_cast<int>(&slot - table.data()));
    }
    void BuildList() override {
        ++builds;
        list.clear();
        for (const TProgInfo& p : table) {
            if (p.Occupied())
                list.push_back(p.Name);
        }
    }
    void SetBusy(bool enabled) override { busy.push_back(enabled); }
    void SetStatusText(const std::string&) override {}
    HWND BoxOwner() override { return nullptr; }
    TShortcutLink& ShortcutLink() override { return link; }
    bool FirstRun() override { return firstRun; }
    void SetFirstRun(bool f) override { firstRun = f; }
    std::string StartupFolder() override { return startupFolder; }

    int Occupied() const {
        int n = 0;
        for (const TProgInfo& p : table)
            n += p.Occupied();
        return n;
    }
};
