#include "win/window_text.h"

#include <algorithm>

namespace win {

namespace {

// The system's answer is a count of the characters written, or 0 for none and a
// failure alike.
std::string Read(int buffer, int (*read)(HWND, LPSTR, int), HWND hwnd) {
    if (buffer <= 0)
        return std::string();
    std::string s(static_cast<size_t>(buffer), '\0');
    const int n = read(hwnd, &s[0], buffer);
    s.resize(static_cast<size_t>(std::clamp(n, 0, buffer - 1)));
    return s;
}

int GetText(HWND hwnd, LPSTR buf, int size) {
    return GetWindowTextA(hwnd, buf, size);
}

int GetClass(HWND hwnd, LPSTR buf, int size) {
    return GetClassNameA(hwnd, buf, size);
}

} // namespace

std::string WindowText(HWND hwnd, int buffer) {
    return Read(buffer, GetText, hwnd);
}

std::string WholeWindowText(HWND hwnd) {
    const int length = hwnd ? GetWindowTextLengthA(hwnd) : 0;
    return length > 0 ? Read(length + 1, GetText, hwnd) : std::string();
}

std::string ClassName(HWND hwnd, int buffer) {
    return Read(buffer, GetClass, hwnd);
}

} // namespace win
