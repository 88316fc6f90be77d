#include "core/list_rules.h"

#include "core/text.h"

std::string Mark(bool set) {
    return set ? "●" : "";
}

std::string RunMark(const TProgInfo& p) {
    return p.LastQuit ? "◎" : Mark(p.Run);
}

std::string SelectionStatusText(int itemCount, int selectedCount, const TProgInfo* single) {
    if (selectedCount <= 0)
        return text::IntToStr(itemCount) + "個のアプリケーション";
    if (selectedCount > 1 || !single)
        return text::IntToStr(selectedCount) + "個のアプリケーションを選択";
    std::string marks;
    if (single->Quit)
        marks = "終了";
    if (single->Run)
        marks = marks.empty() ? "起動" : marks + "＆起動";
    if (!marks.empty())
        marks = "(" + marks + ")";
    return "1個のアプリケーションを選択" + marks;
}

int CompareItems(const TProgInfo& a, const TProgInfo& b, int column, int direction) {
    int r;
    if (column == 0) {
        r = text::CompareText(a.Name, b.Name);
    } else {
        r = column == 1 ? text::CompareText(Mark(a.Quit), Mark(b.Quit))
                        : text::CompareText(RunMark(a), RunMark(b));
        if (r == 0)
            r = text::CompareText(a.Name, b.Name);
    }
    return r * direction;
}
