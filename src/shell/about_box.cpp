#include "shell/about_box.h"

#include "shell/ver_info.h"
#include "win/msgbox.h"

std::string AboutText(const std::string& productVersion) {
    return "ポムッと終了 ver" + productVersion + "\n" + "作者: VakoQuit 開発チーム" + "\n" +
           "http://vakoquit.example.com/";
}

void ShowAboutBox(HWND owner) {
    std::string version = OwnProductVersion();
    win::InfoBox(owner, "バージョン情報", AboutText(version));
}

void ShowAboutBox(HWND owner, const std::string& programFile) {
    std::string version = TVerInfo(programFile).GetProductVersion();
    win::InfoBox(owner, "バージョン情報", AboutText(version));
}
