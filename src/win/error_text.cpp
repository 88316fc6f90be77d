#include "win/error_text.h"

#include "core/text.h"

namespace win {

std::string SystemErrorText(DWORD code) {
    char* text = nullptr;
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = n > 0 && text ? text::Trim(std::string(text, n)) : std::string();
    if (text)
        LocalFree(text);
    return message;
}

} // namespace win
