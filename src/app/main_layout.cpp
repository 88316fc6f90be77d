#include "app/main_form.h"

#include "core/display_scale.h"
#include "win/display.h"

// The frame's parts at the window's display scale: the font, the toolbar, the list
// and the status bar laid out, and the place and look that the settings file keeps
// at 96 DPI.

namespace {

const int kToolBarHeight = 25; // at 96 DPI

} // namespace

void TVakoQuitForm::MakeFont() {
    font_.reset(CreateFontA(-MulDiv(9, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                            SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "ＭＳ Ｐゴシック"));
}

void TVakoQuitForm::CreateControls() {
    dpi_ = win::WindowDpi(hwnd());
    MakeFont();

    actions_.CreateToolBar(hwnd(), IDC_TOOLBAR, scale::ToPixels(kToolBarHeight, dpi_), dpi_);

    FileList.Create(hwnd(), IDC_FILELIST, static_cast<HFONT>(font_.get()), WM_APP_LOADICONS, dpi_);

    statusBar_.Create(hwnd(), IDC_STATUSBAR, static_cast<HFONT>(font_.get()));
    LayoutControls();
}

void TVakoQuitForm::ShowStatusBar(bool shown) {
    statusBar_.Show(shown);
    actions_.Check(ID_ACT_STATUS, shown);
    LayoutControls();
}

void TVakoQuitForm::ToggleStatusBar() {
    ShowStatusBar(!statusBar_.Shown());
}

void TVakoQuitForm::LayoutControls() {
    RECT rc;
    GetClientRect(hwnd(), &rc);
    const int toolBar = scale::ToPixels(kToolBarHeight, dpi_);
    MoveWindow(actions_.ToolBar(), 0, 0, rc.right, toolBar, TRUE);
    const int bottom = rc.bottom - statusBar_.Fit();
    MoveWindow(FileList.hwnd(), 0, toolBar, rc.right, bottom > toolBar ? bottom - toolBar : 0,
               TRUE);
}

void TVakoQuitForm::OnDpiChanged(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    // The controls let go of the old font before it is deleted.
    win::GdiObject oldFont(font_.release());
    MakeFont();
    SendMessageA(FileList.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    SendMessageA(statusBar_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    actions_.SetDpi(dpi);
    FileList.SetDpi(dpi);
    SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutControls();
}

void TVakoQuitForm::ApplySettings(const TSettings& s) {
    const int x = scale::ToPixels(s.XPos, dpi_);
    const int y = scale::ToPixels(s.YPos, dpi_);
    // A place saved on a monitor that is gone would open the window where nobody
    // sees it.
    const RECT rc = win::PlaceOnMonitor(
        RECT{x, y, x + scale::ToPixels(s.Width, dpi_), y + scale::ToPixels(s.Height, dpi_)});
    SetWindowPos(hwnd(), nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // The widths first: the view keeps them whichever it is. The move may have
    // taken the window to a monitor of another scale.
    FileList.SetStoredColumnWidths(s.Columns);
    SetViewStyle(s.View);
    ShowStatusBar(s.Status);
}

void TVakoQuitForm::SaveSettings() {
    TSettings& s = model_.Settings;
    const RECT rc = win::NormalWindowRect(hwnd());
    s.XPos = scale::ToStored(rc.left, dpi_);
    s.YPos = scale::ToStored(rc.top, dpi_);
    s.Width = scale::ToStored(rc.right - rc.left, dpi_);
    s.Height = scale::ToStored(rc.bottom - rc.top, dpi_);
    s.View = FileList.ViewStyle();
    s.Status = statusBar_.Shown();
    s.Columns = FileList.StoredColumnWidths();
    model_.Save(hwnd(), FileList.RecordsInListOrder());
}
