#include "shell/shortcut_rules.h"

namespace shortcut {

TShowCmd ShowCmdFromRaw(int raw) {
    switch (raw) {
    case kSwShowMaximized:
        return scShowMaximized;
    case kSwShowMinNoActive:
        return scShowMinimized;
    default:
        return scShowNormal;
    }
}

int RawFromShowCmd(TShowCmd cmd) {
    switch (cmd) {
    case scShowMaximized:
        return kSwShowMaximized;
    case scShowMinimized:
        return kSwShowMinNoActive;
    default:
        return kSwRestore;
    }
}

uint16_t HotKeyCodeFromText(const std::string& text) {
    unsigned char c = text.empty() ? ' ' : static_cast<unsigned char>(text[0]);
    if (c >= 'a' && c <= 'z')
        c = static_cast<unsigned char>(c - 'a' + 'A');
    if (c < 32)
        c = 32;
    return c;
}

std::string HotKeyTextFromCode(uint16_t code) {
    if (code == 0)
        code = 32;
    return std::string(1, static_cast<char>(code & 0xFF));
}

} // namespace shortcut
