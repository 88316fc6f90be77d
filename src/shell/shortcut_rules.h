#pragma once
// The text form of a shortcut's hot key and the three window states a shortcut
// offers, as the program's callers see them. No platform calls here.
#include <cstdint>
#include <string>

// The ordinals are part of the interface: callers convert by them.
enum TShowCmd { scShowMaximized = 0, scShowMinimized = 1, scShowNormal = 2 };

namespace shortcut {

// Window-state values as the platform stores them in a shortcut.
constexpr int kSwShowNormal = 1;
constexpr int kSwShowMaximized = 3;
constexpr int kSwShowMinNoActive = 7;
constexpr int kSwRestore = 9;

// 3 is maximized, 7 minimized, anything else normal.
TShowCmd ShowCmdFromRaw(int raw);
// Maximized 3, minimized 7, normal 9 (restore).
int RawFromShowCmd(TShowCmd cmd);

// First character of `text` (a space when empty), a-z upper-cased, codes below 32
// raised to 32. A code of 32 or less means the shortcut has no hot key.
uint16_t HotKeyCodeFromText(const std::string& text);
// The one-character text of a code's low byte; a code of 0 reads as 32.
std::string HotKeyTextFromCode(uint16_t code);

} // namespace shortcut
