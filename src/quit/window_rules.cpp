#include "quit/window_rules.h"

#include "core/text.h"

namespace quit_rules {
namespace {

// The lower-casing of the prefix tests: the prefixes are plain ASCII, so only
// single-byte letters can matter, and double-byte characters stay whole.
bool LowerStartsWith(const std::string& s, const char* prefix) {
    return text::StartsWith(text::LowerAscii(s), prefix);
}

} // namespace

bool AcceptWindow(const std::string& className, const std::string& text, uint32_t style,
                  uint32_t exStyle, bool enabled) {
    if (!enabled)
        return false;
    // The hidden utility windows of framework programs lack WS_CLIPSIBLINGS and are
    // tool windows, yet they are how resident programs of that kind are closed.
    if (LowerStartsWith(className, "tputilwindow"))
        return true;
    if ((style & kWsClipSiblings) == 0)
        return false;
    if ((style & kWsChild) != 0)
        return false;
    if (exStyle == kWsExToolWindow)
        return false;
    // Socket notification windows of the MFC runtime.
    if (text::StartsWith(text, "Socket") && LowerStartsWith(className, "afx"))
        return false;
    return true;
}

bool IsServiceWindowClass(const std::string& className) {
    static const char* const kPrefixes[] = {
        "afxframeorview", "ole",      "dde",      "tthread",
        "clipbrd",        "dmgclass", "dmgframe", "tooltips_class32"};
    for (const char* p : kPrefixes) {
        if (LowerStartsWith(className, p))
            return true;
    }
    return false;
}

bool IsApplicationWindowClass(const std::string& className) {
    return LowerStartsWith(className, "tapplication");
}

bool IsSkippedByAutoQuit(const std::string& className, uint32_t style) {
    // 0x04C00000: what the system gives a window created without style bits;
    // 0x94000000: WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS and nothing else.
    return style == 0x04C00000u || style == 0x94000000u ||
           text::LowerAscii(className) == "internet explorer_hidden";
}

bool IsCloseAllCandidate(uint32_t style, uint32_t exStyle, bool enabled, bool ownProcess) {
    return (style & kWsVisible) != 0 && enabled && (style & kWsCaption) != 0 &&
           (exStyle & kWsExToolWindow) == 0 && !ownProcess;
}

bool IsIgnoredTitle(const std::string& title, const std::vector<std::string>& ignore) {
    for (const std::string& entry : ignore) {
        if (text::Contains(title, entry))
            return true;
    }
    return false;
}

CloseRequest CloseRequestFor(uint32_t style) {
    if ((style & kWsSysMenu) != 0)
        return {kWmSysCommand, kScClose};
    return {kWmClose, 0};
}

} // namespace quit_rules
