#include "shell/about_box.h"

#include "shell/ver_info.h"
#include "win/msgbox.h"

// The program has no web site: the third line sends the user to the guide that
// ships beside it.
std::string AboutText(const std::string& productVersion) {
    return "ポムッと終了 ver" + productVersion + "\n" + "作者: VakoQuit 開発チーム" + "\n" +
           "使い方は同梱の ReadMe.txt をご覧ください";
}

void ShowAboutBox(HWND owner) {
    std::string version = OwnProductVersion();
    win::InfoBox(owner, "バージョン情報", AboutText(version));
}

void ShowAboutBox(HWND owner, const std::string& programFile) {
    std::string version = TVerInfo(programFile).GetProductVersion();
    win::InfoBox(owner, "バージョン情報", AboutText(version));
}
