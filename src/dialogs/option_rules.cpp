#include "dialogs/option_rules.h"

namespace option_rules {

int32_t ClampTimeout(int64_t seconds) {
    if (seconds < kMinTimeout)
        return kMinTimeout;
    if (seconds > kMaxTimeout)
        return kMaxTimeout;
    return static_cast<int32_t>(seconds);
}

int32_t TimeoutFromText(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    size_t digits = 0;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        // Past the range any further digit changes nothing but could overflow.
        if (value <= kMaxTimeout)
            value = value * 10 + (text[i] - '0');
    }
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (digits == 0 || i != text.size())
        return kMinTimeout;
    return ClampTimeout(negative ? -value : value);
}

} // namespace option_rules
