#include "shell/com.h"

#include "win/error_text.h"

#include <cstdio>

namespace {

std::string MessageOf(HRESULT code) {
    const std::string message = win::SystemErrorText(static_cast<DWORD>(code));
    char hex[48];
    std::snprintf(hex, sizeof hex, "OLE error %08lX", static_cast<unsigned long>(code));
    return message.empty() ? std::string(hex) : message + " (" + hex + ")";
}

} // namespace

EOleSysError::EOleSysError(HRESULT code) : Exception(MessageOf(code)), code_(code) {}
