#pragma once
// One shortcut file (.lnk) at a time, read and written through the system's
// shell-link object. The caller's thread must have initialised COM.
#include <windows.h>

#include <cstdint>
#include <string>

#include "shell/shortcut_rules.h"
#include "win/exception.h"

// Reading or saving a shortcut failed; the message names the step.
class EShortcutError : public Exception {
  public:
    using Exception::Exception;
};

class TShortcutLink {
  public:
    // As its owning windows create it: no hot key (" "), icon 0, show command 0.
    TShortcutLink();

    std::string ShortcutFile; // the .lnk to read or to write
    std::string Target;
    std::string WorkingDir;
    std::string Description;
    std::string Arguments;
    std::string IconLocation;
    uint16_t IconNumber = 0;
    // The target (else the working folder) read last, as the code page best spells
    // it, when the code page cannot hold it even by its short form; Target and
    // WorkingDir are then left empty. Empty otherwise.
    std::string Unstorable;
    // Window of the owner, handed to the shell when it looks up special folders.
    HWND Owner = nullptr;

    // One character; " " means no hot key. Setting keeps only the first character.
    std::string HotKey() const;
    void SetHotKey(const std::string& text);
    TShowCmd ShowCmd() const { return shortcut::ShowCmdFromRaw(showCmd_); }
    void SetShowCmd(TShowCmd cmd) { showCmd_ = shortcut::RawFromShowCmd(cmd); }

    // A whole hot key as the shell link and the hot-key control hold it (key code in
    // the low byte, HOTKEYF_ modifiers in the high byte; 0 for none), written as it
    // is in place of the one-character key until SetHotKey is called again.
    void SetHotKeyWord(uint16_t word) { hotKeyWord_ = word; }

    // The values the two views stand for: the key code (without modifiers) and the
    // platform window state (SW_...).
    uint16_t HotKeyCode() const { return hotKeyCode_; }
    int RawShowCmd() const { return showCmd_; }

    // Fills the properties from ShortcutFile, in the order WorkingDir, Target,
    // IconLocation/IconNumber, Description, show command, HotKey, Arguments; a failing
    // step raises EShortcutError and leaves the later properties untouched. When the
    // shell-link object cannot be had, or the shortcut cannot be resolved, it returns
    // without changing anything.
    void ReadShortcut();
    // Reads `file` as a whole or not at all: every property read from a shortcut is
    // first set back to its value in a new object, so nothing of the shortcut read
    // before can pass into this one. False, with those values kept, when the file is
    // no shell link, cannot be resolved, names no file-system target (a shell folder
    // such as "PC", a Control Panel item, a Store app) or a step fails; the reason
    // is not kept, the caller only needs to know that nothing usable came back.
    bool Read(const std::string& file);
    // Creates or replaces ShortcutFile. A hot key is written as Ctrl+Alt+key, a hot-key
    // word as it is. Raises
    // EShortcutError when the file cannot be saved, EOleSysError when the shell-link
    // object cannot be created.
    void WriteShortcut();

    // Set `dir` to the folder (no trailing backslash); leave it as it was when the
    // folder cannot be found.
    void GetDesktopDir(std::string& dir) const;
    void GetStartupDir(std::string& dir) const;

  private:
    void ClearReadValues();
    void GetSpecialDir(int csidl, std::string& dir) const;

    mutable uint16_t hotKeyCode_ = 0;
    uint16_t hotKeyWord_ = 0;
    int showCmd_ = 0;
};
