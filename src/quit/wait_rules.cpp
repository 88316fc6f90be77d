#include "quit/wait_rules.h"

namespace quit_rules {

bool EndSessionDue(const AskedWindow& window, long long countedMs, long long limitMs) {
    if (window.Asked && (!window.Exists || (window.WasVisible && !window.Visible)))
        return true;
    return countedMs * 2 >= limitMs;
}

bool IsOwnDialog(bool visible, bool enabled, bool ownedByProgram, bool seenBeforeRequest) {
    return visible && enabled && ownedByProgram && !seenBeforeRequest;
}

} // namespace quit_rules
