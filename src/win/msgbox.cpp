#include "win/msgbox.h"

namespace win {
namespace {
HWND g_owner = nullptr;
}

void SetMessageBoxOwner(HWND owner) {
    g_owner = owner;
}
HWND MessageBoxOwner() {
    return g_owner;
}

void ErrorBox(HWND owner, const std::string& text) {
    MessageBoxA(owner, text.c_str(), "エラー", MB_OK | MB_ICONEXCLAMATION);
}

bool ConfirmBox(HWND owner, const std::string& text, bool defaultYes) {
    UINT flags = MB_YESNO | MB_ICONQUESTION | (defaultYes ? MB_DEFBUTTON1 : MB_DEFBUTTON2);
    return MessageBoxA(owner, text.c_str(), "確認", flags) == IDYES;
}

void InfoBox(HWND owner, const std::string& caption, const std::string& text) {
    MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
}

} // namespace win
