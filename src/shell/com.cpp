#include "shell/com.h"

#include <cstdio>

namespace {

std::string MessageOf(HRESULT code) {
    char* text = nullptr;
    DWORD n = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message;
    if (n > 0 && text) {
        message.assign(text, n);
        while (!message.empty() && static_cast<unsigned char>(message.back()) <= 32)
            message.pop_back();
    }
    if (text)
        LocalFree(text);
    char hex[48];
    std::snprintf(hex, sizeof hex, "OLE error %08lX", static_cast<unsigned long>(code));
    return message.empty() ? std::string(hex) : message + " (" + hex + ")";
}

} // namespace

EOleSysError::EOleSysError(HRESULT code) : Exception(MessageOf(code)), code_(code) {}
