#pragma once
// Bringing programs into the table of registered applications: which programs may
// be registered, how a record is filled from a program file or a shortcut, and the
// import of the user's Startup folder.
#include <windows.h>

#include <string>

#include "core/prog_info.h"
#include "shell/shortcut_rules.h"
#include "win/host.h"

class TShortcutLink;

// What adding programs needs from the main window.
struct RegistrationHost : win::Host {
    virtual TProgTable& Table() = 0;
    virtual const std::string& OwnProgramPath() = 0;
    // Appends a list item for the slot with the icon of slot.Program and shows it.
    virtual void AppendEntry(TProgInfo& slot) = 0;
    virtual void BuildList() = 0;
    virtual TShortcutLink& ShortcutLink() = 0;
    // True until the first start has greeted the user and imported the Startup folder.
    virtual bool FirstRun() = 0;
    virtual void SetFirstRun(bool firstRun) = 0;
    // The folder whose shortcuts the import reads: the user's Startup folder, as
    // ShortcutLink().GetStartupDir finds it; empty when it cannot be found.
    virtual std::string StartupFolder();

  protected:
    ~RegistrationHost() = default;
};

// An existing .exe file that is not one of the protected system programs, not this
// program itself and not registered yet (long and short paths and letter case alike).
bool CanRegister(RegistrationHost& host, const std::string& path);
// The same without asking whether it is registered, for a caller that compares many
// paths with the table at once.
bool CanRegisterFile(RegistrationHost& host, const std::string& path);
// Whether a program file is registered in `table` (long and short paths and letter
// case alike).
bool IsRegistered(const TProgTable& table, const std::string& path);
// The lowest free slot of `table`; -1 when it is full.
int LowestFreeSlot(const TProgTable& table);
// The name a program file is registered by: its version resource's product name,
// else its file name (the long one for a path kept by its short form).
std::string ProductNameOrFileName(const std::string& path);

// Registers one .exe or .lnk into the lowest free slot and appends it to the list;
// reports a refusal, a shortcut that cannot be read or a full table itself; other
// kinds of file are ignored.
void AddProgram(RegistrationHost& host, const std::string& path);
// The same for a path as the system hands it over whole: it is kept exactly, else
// by its short form; one the code page cannot hold either way is refused with the
// box that says so.
void AddProgram(RegistrationHost& host, const std::wstring& path);

// Replaces every registered program by the shortcuts of host.StartupFolder() (or of
// `folder`) and rebuilds the list. A folder that cannot be found raises and
// changes nothing. A shortcut that cannot be read or names no file is passed over;
// one box at the end counts those (and those whose name the code page cannot hold)
// and the ones beyond the table's size.
void ImportStartup(RegistrationHost& host);
void ImportStartup(RegistrationHost& host, const std::string& folder);

// The handlers of ActAdd and ActStartUpRead. The import asks first unless this is the
// first start.
void ActAddExecute(RegistrationHost& host);
void ActStartUpReadExecute(RegistrationHost& host);

// The first activation after a first start: greets the user and imports the Startup
// folder without asking. Does nothing once FirstRun is false.
void FirstStartStep(RegistrationHost& host);

// A record made from a read shortcut, as registering it makes it; `lnkPath`
// names the entry.
TProgInfo RecordFromLink(const TShortcutLink& link, const std::string& lnkPath);

// A record's window state from a shortcut's: maximized 2, minimized 1, normal 0.
int32_t ShowFromShortcut(TShowCmd cmd);

// The texts the user sees.
extern const char* const kRefusalText; // followed by the refused path
extern const char* const kTableFullText;
extern const char* const kImportQuestion;
extern const char* const kGreetingCaption;
extern const char* const kGreetingText;
extern const char* const kNoStartupFolderText;
extern const char* const kUnreadableShortcutText; // followed by the shortcut's path
std::string ImportOverflowText(int leftOut);
std::string ImportUnreadableText(int count);
