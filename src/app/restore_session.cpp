#include "app/restore_session.h"

#include "app/main_commands.h"
#include "core/text.h"
#include "launch/process_tree.h"
#include "shell/shortcut_link.h"

namespace {

// Set while a session waits: ポムッと起動 asks it through this to restore now.
bool* g_restoreNow = nullptr;

// The entry that starts `program` as the shell opens it: a program file in its
// own folder, a shortcut with its target, arguments, folder and window state.
bool EntryFor(TMainContext& c, const std::string& program, TProgInfo& entry) {
    if (text::ExtensionLower(program) != ".lnk") {
        entry.Program = program;
        return true;
    }
    TShortcutLink& link = c.ShortcutLink();
    if (!link.Read(program))
        return false;
    entry = RecordFromLink(link, program);
    return true;
}

// The status text while the session waits; `name` is the program's file name
// without its extension.
std::string WaitingText(const std::string& name) {
    return name + "の終了を待っています";
}

} // namespace

int RunRestoreSession(TMainContext& c, const std::string& program) {
    TProgInfo entry;
    launch::TProcessTree tree;
    if (!EntryFor(c, program, entry) || !tree.Start(entry))
        return 1 + RestoreLastQuit(c);

    const HWND window = c.BoxOwner();
    ShowWindow(window, SW_MINIMIZE);
    c.SetStatusText(WaitingText(text::BaseNameNoExt(program)));
    bool restoreNow = false;
    g_restoreNow = &restoreNow;
    struct Forget {
        ~Forget() { g_restoreNow = nullptr; }
    } forget;
    const launch::TreeWaitEnd end =
        launch::WaitForTree(tree, c, [&] { return restoreNow || !IsWindow(window); });
    // Closed meanwhile: the settings were saved with the record, which the next
    // run-all from it or the next session starts.
    if (end == launch::TreeWaitEnd::Stopped && !restoreNow)
        return 0;
    return RestoreLastQuit(c);
}

bool EndRestoreWait() {
    if (!g_restoreNow)
        return false;
    *g_restoreNow = true;
    return true;
}
