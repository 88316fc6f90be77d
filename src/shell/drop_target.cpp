#include "shell/drop_target.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdlib>
#include <utility>

#include "core/drop_files.h"
#include "win/ansi_path.h"
#include "win/exception.h"
#include "win/handles.h"
#include "win/message_loop.h"

namespace {

constexpr UINT kScrollIntervalMs = 100;
constexpr int kImageSize = 32;

TShiftState ShiftFromKeys(DWORD keys) {
    TShiftState s = 0;
    if (keys & MK_SHIFT)
        s |= ssShift;
    if (keys & MK_CONTROL)
        s |= ssCtrl;
    if (keys & MK_LBUTTON)
        s |= ssLeft;
    if (keys & MK_RBUTTON)
        s |= ssRight;
    if (keys & MK_MBUTTON)
        s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0)
        s |= ssAlt;
    return s;
}

// An image list whose one picture is fully transparent: the drag image shows alone,
// without a cursor picture of its own beside it.
win::ImageList TransparentImageList() {
    win::ImageList list(ImageList_Create(kImageSize, kImageSize, ILC_COLOR24 | ILC_MASK, 1, 0));
    if (!list)
        return list;
    const COLORREF background = GetSysColor(COLOR_WINDOW);
    win::GdiObject bmp;
    {
        win::WindowDc screen(nullptr);
        bmp.reset(CreateCompatibleBitmap(screen.get(), kImageSize, kImageSize));
        win::MemoryDc dc(CreateCompatibleDC(screen.get()));
        win::SelectedObject selected(dc.get(), bmp.get());
        RECT rc = {0, 0, kImageSize, kImageSize};
        win::GdiObject brush(CreateSolidBrush(background));
        FillRect(dc.get(), &rc, static_cast<HBRUSH>(brush.get()));
    }
    ImageList_AddMasked(list.get(), static_cast<HBITMAP>(bmp.get()), background);
    return list;
}

} // namespace

ULONG TInterfacedComponent::AddRefCount() {
    return static_cast<ULONG>(InterlockedIncrement(&refCount_));
}

ULONG TInterfacedComponent::ReleaseCount() {
    LONG count = InterlockedDecrement(&refCount_);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

TDropTarget::TDropTarget() : ownImages_(TransparentImageList()) {
    AddRefCount();
}

TDropTarget::~TDropTarget() {
    EnableScrollTimer(false);
    try {
        UnregisterTarget();
    } catch (...) {
        // The window goes with its owner; nothing is left to report to.
    }
    data_.Reset();
}

void TDropTarget::SetShowImage(bool show) {
    showImage_ = show;
    if (data_)
        ImageList_DragShowNolock(show);
}

void TDropTarget::RegisterTarget(HWND control, const std::string& name) {
    if (control == target_)
        return;
    if (target_)
        UnregisterTarget();
    target_ = control;
    targetName_ = name;
    if (control) {
        if (FAILED(RegisterDragDrop(control, this)))
            throw Exception("Failed to Register " + name);
        registered_ = true;
    }
}

// A window whose registration failed is not withdrawn: the system would refuse that
// too, and every close would report it again.
void TDropTarget::UnregisterTarget() {
    bool wasRegistered = std::exchange(registered_, false);
    if (target_ && IsWindow(target_) && wasRegistered) {
        EnableScrollTimer(false);
        if (FAILED(RevokeDragDrop(target_)))
            throw Exception("Failed to Unregister " + targetName_);
    }
    target_ = nullptr;
}

HRESULT STDMETHODCALLTYPE TDropTarget::QueryInterface(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
        *out = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

POINT TDropTarget::ToClient(POINTL screen) const {
    POINT p = {screen.x, screen.y};
    ScreenToClient(target_, &p);
    return p;
}

POINT TDropTarget::ToWindow(POINT client) const {
    POINT p = client;
    ClientToScreen(target_, &p);
    RECT rc;
    GetWindowRect(target_, &rc);
    return {p.x - rc.left, p.y - rc.top};
}

// The scroll zone is as deep as a line of the target's text.
int TDropTarget::FontHeight() const {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(target_, WM_GETFONT, 0, 0));
    if (!font)
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA lf = {};
    if (GetObjectA(font, sizeof lf, &lf) && lf.lfHeight != 0)
        return std::abs(lf.lfHeight);
    TEXTMETRICA tm = {};
    win::WindowDc dc(target_);
    win::SelectedObject selected(dc.get(), font);
    GetTextMetricsA(dc.get(), &tm);
    return tm.tmHeight;
}

// The drag ends over this target: the in-process drag image leaves it for good.
void TDropTarget::EndDragImage() {
    if (dragImage_)
        ImageList_DragLeave(target_);
    dragImage_ = nullptr;
}

DWORD TDropTarget::ChooseEffect(TShiftState shift, POINT point, DWORD offered) {
    DWORD allowed = offered;
    if (!Dragtypes.Contains(dtCopy))
        allowed &= ~DROPEFFECT_COPY;
    if (!Dragtypes.Contains(dtMove))
        allowed &= ~DROPEFFECT_MOVE;
    if (!Dragtypes.Contains(dtLink))
        allowed &= ~DROPEFFECT_LINK;

    DWORD effect;
    if (OnGetDropEffect) {
        effect = allowed;
        OnGetDropEffect(*this, shift, point, effect);
        return effect;
    }
    bool shiftKey = (shift & ssShift) != 0;
    bool ctrlKey = (shift & ssCtrl) != 0;
    if (shiftKey && ctrlKey && (allowed & DROPEFFECT_LINK))
        effect = DROPEFFECT_LINK;
    else if (shiftKey && !ctrlKey && (allowed & DROPEFFECT_MOVE))
        effect = DROPEFFECT_MOVE;
    else if (allowed & DROPEFFECT_COPY)
        effect = DROPEFFECT_COPY;
    else if (allowed & DROPEFFECT_MOVE)
        effect = DROPEFFECT_MOVE;
    else if (allowed & DROPEFFECT_LINK)
        effect = DROPEFFECT_LINK;
    else
        effect = DROPEFFECT_NONE;

    RECT rc = {};
    GetClientRect(target_, &rc);
    int m = scrollMargin_;
    if ((scrollDirections_ & sdHorizontal) && (point.x < m || point.x > rc.right - m))
        effect |= DROPEFFECT_SCROLL;
    else if ((scrollDirections_ & sdVertical) && (point.y < m || point.y > rc.bottom - m))
        effect |= DROPEFFECT_SCROLL;
    return effect;
}

void TDropTarget::DoEnter(TShiftState shift, POINT point, DWORD& effect) {
    if (OnEnter)
        OnEnter(*this, shift, point, effect);
}

void TDropTarget::DoDragOver(TShiftState shift, POINT point, DWORD& effect) {
    if (OnDragOver)
        OnDragOver(*this, shift, point, effect);
}

void TDropTarget::DoDrop(TShiftState shift, POINT point, DWORD& effect) {
    if (OnDrop)
        OnDrop(*this, shift, point, effect);
}

void TDropTarget::DoLeave() {
    if (OnLeave)
        OnLeave(*this);
}

// Every method below is called by the system: nothing may be thrown back into it.
HRESULT STDMETHODCALLTYPE TDropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL pt,
                                                 DWORD* effect) {
    try {
        ClearDropData();
        data_.Reset();
        if (data) {
            data->AddRef();
            *data_.Put() = data;
        }
        lastPos_ = ToClient(pt);
        dragImage_ = nullptr;
        if (showImage_) {
            POINT spot = {};
            dragImage_ = ImageList_GetDragImage(nullptr, &spot);
            if (dragImage_) {
                hotSpot_ = spot;
                ImageList_SetDragCursorImage(ownImages_.get(), 0, spot.x, spot.y);
                POINT w = ToWindow(lastPos_);
                ImageList_DragEnter(target_, w.x, w.y);
            }
        }
        if (!data || !AcceptsData(data)) {
            data_.Reset();
            *effect = DROPEFFECT_NONE;
            return S_OK;
        }
        scrollDirections_ = 0;
        scrollMargin_ = FontHeight();
        LONG style = GetWindowLongA(target_, GWL_STYLE);
        if (style & WS_HSCROLL)
            scrollDirections_ |= sdHorizontal;
        if (style & WS_VSCROLL)
            scrollDirections_ |= sdVertical;
        if (GetDataOnEnter)
            ReadDropData(data);
        TShiftState shift = ShiftFromKeys(keys);
        *effect = ChooseEffect(shift, lastPos_, *effect);
        DoEnter(shift, lastPos_, *effect);
    } catch (...) {
        *effect = DROPEFFECT_NONE;
        win::ReportCurrentException();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TDropTarget::DragOver(DWORD keys, POINTL pt, DWORD* effect) {
    try {
        POINT pos = ToClient(pt);
        bool scrolling = false;
        if (data_) {
            TShiftState shift = ShiftFromKeys(keys);
            *effect = ChooseEffect(shift, pos, *effect);
            DoDragOver(shift, pos, *effect);
            scrolling = scrollDirections_ != 0 && (*effect & DROPEFFECT_SCROLL) != 0;
            EnableScrollTimer(scrolling);
        } else {
            *effect = DROPEFFECT_NONE;
        }
        if (dragImage_ && (pos.x != lastPos_.x || pos.y != lastPos_.y)) {
            lastPos_ = pos;
            if (!scrolling) {
                POINT w = ToWindow(pos);
                ImageList_DragMove(w.x, w.y);
            }
        } else {
            lastPos_ = pos;
        }
    } catch (...) {
        *effect = DROPEFFECT_NONE;
        win::ReportCurrentException();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TDropTarget::DragLeave() {
    try {
        ClearDropData();
        EnableScrollTimer(false);
        data_.Reset();
        EndDragImage();
        DoLeave();
    } catch (...) {
        win::ReportCurrentException();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TDropTarget::Drop(IDataObject*, DWORD keys, POINTL pt, DWORD* effect) {
    if (!data_) {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    // The object is let go however the handler ends.
    ComPtr<IDataObject> data(std::move(data_));
    try {
        EnableScrollTimer(false);
        EndDragImage();
        TShiftState shift = ShiftFromKeys(keys);
        POINT pos = ToClient(pt);
        *effect = ChooseEffect(shift, pos, *effect);
        if (GetDataOnEnter || ReadDropData(data.Get()))
            DoDrop(shift, pos, *effect);
        else
            *effect = DROPEFFECT_NONE;
    } catch (...) {
        win::ReportCurrentException();
    }
    ClearDropData();
    return S_OK;
}

void TDropTarget::EnableScrollTimer(bool enable) {
    if (enable == scrollTimerOn_ || !target_)
        return;
    UINT_PTR id = reinterpret_cast<UINT_PTR>(this);
    if (enable)
        scrollTimerOn_ = SetTimer(target_, id, kScrollIntervalMs, ScrollTimerProc) != 0;
    else {
        KillTimer(target_, id);
        scrollTimerOn_ = false;
    }
}

// The timer's id is the object: the timer lives on the target window, which is not ours.
void CALLBACK TDropTarget::ScrollTimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    try {
        reinterpret_cast<TDropTarget*>(id)->ScrollTick();
    } catch (...) {
        win::ReportCurrentException();
    }
}

void TDropTarget::ScrollTick() {
    if (dragImage_)
        ImageList_DragLeave(target_);
    RECT rc = {};
    GetClientRect(target_, &rc);
    int m = scrollMargin_;
    if (lastPos_.y < m)
        SendMessageA(target_, WM_VSCROLL, SB_LINEUP, 0);
    else if (lastPos_.y > rc.bottom - m)
        SendMessageA(target_, WM_VSCROLL, SB_LINEDOWN, 0);
    if (lastPos_.x < m)
        SendMessageA(target_, WM_HSCROLL, SB_LINELEFT, 0);
    else if (lastPos_.x > rc.right - m)
        SendMessageA(target_, WM_HSCROLL, SB_LINERIGHT, 0);
    if (dragImage_) {
        POINT w = ToWindow(lastPos_);
        ImageList_DragEnter(target_, w.x, w.y);
    }
}

TDropFileTarget::TDropFileTarget()
    : format_{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL} {}

bool TDropFileTarget::AcceptsData(IDataObject* data) {
    return data->QueryGetData(&format_) == S_OK;
}

void TDropFileTarget::ClearDropData() {
    DroppedFiles.clear();
}

bool TDropFileTarget::ReadDropData(IDataObject* data) {
    ClearDropData();
    STGMEDIUM medium = {};
    if (data->GetData(&format_, &medium) != S_OK)
        return false;
    bool read = false;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
        // The block's own size bounds every read: its contents come from another program.
        SIZE_T size = GlobalSize(medium.hGlobal);
        if (const auto* block = static_cast<const unsigned char*>(GlobalLock(medium.hGlobal))) {
            std::vector<std::string> names;
            read = ReadDropFiles(block, size, &names, WideAsBytes);
            // The block's own flag says in which form the names came; a block that was
            // read holds its whole header.
            const bool wide = read && reinterpret_cast<const DROPFILES*>(block)->fWide;
            GlobalUnlock(medium.hGlobal);
            for (const std::string& name : names)
                DroppedFiles.push_back(
                    wide ? std::wstring(reinterpret_cast<const wchar_t*>(name.data()),
                                        name.size() / sizeof(wchar_t))
                         : win::WideFromAnsi(name));
        }
    }
    ReleaseStgMedium(&medium);
    return read;
}

std::string WideAsBytes(const char16_t* text, size_t length) {
    return std::string(reinterpret_cast<const char*>(text), length * sizeof(char16_t));
}
