// The list's pictures: both image lists, the placeholder every entry shows at
// first, and the queue that reads the programs' own icons a slice at a time.
#include "app/file_list.h"

#include "win/display.h"

namespace {

// Work spent on icons per turn of the message loop, so that the list stays usable
// while the icons of a long list arrive.
const DWORD kIconSliceMs = 30;

HBITMAP Bitmap(const win::GdiObject& object) {
    return static_cast<HBITMAP>(object.get());
}

// Puts an icon's picture in place of image `index`. Handing over its bitmaps costs a
// third of what ImageList_ReplaceIcon takes under Wine (0.6 against 1.8 ms), which
// was most of the time a long list waited for its icons.
void ReplaceWithIcon(HIMAGELIST list, int index, HICON icon) {
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info))
        return;
    const win::GdiObject color(info.hbmColor), mask(info.hbmMask);
    ImageList_Replace(list, index, Bitmap(color), Bitmap(mask));
}

} // namespace

// The system's application icon at one size, as colour and mask bitmaps.
void TFileList::LoadPlaceholder(int size, Placeholder& out) {
    HICON icon = static_cast<HICON>(
        LoadImageA(nullptr, MAKEINTRESOURCEA(32512), IMAGE_ICON, size, size, LR_SHARED));
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info))
        return;
    out.color.reset(info.hbmColor);
    out.mask.reset(info.hbmMask);
}

void TFileList::CreateImageLists() {
    const int large = win::SystemMetricForDpi(SM_CXICON, dpi_);
    const int small = win::SystemMetricForDpi(SM_CXSMICON, dpi_);
    win::ImageList largeImages(ImageList_Create(large, large, ILC_COLOR32 | ILC_MASK, 16, 16));
    win::ImageList smallImages(ImageList_Create(small, small, ILC_COLOR32 | ILC_MASK, 16, 16));
    // The list shares the lists: the old ones go only once it shows the new ones.
    ListView_SetImageList(list_, largeImages.get(), LVSIL_NORMAL);
    ListView_SetImageList(list_, smallImages.get(), LVSIL_SMALL);
    LargeImages = std::move(largeImages);
    SmallImages = std::move(smallImages);
    LoadPlaceholder(large, placeholderLarge_);
    LoadPlaceholder(small, placeholderSmall_);
}

void TFileList::AddPlaceholders(int count) {
    AddPlaceholderStrip(LargeImages.get(), placeholderLarge_, count);
    AddPlaceholderStrip(SmallImages.get(), placeholderSmall_, count);
}

void TFileList::AddPlaceholderStrip(HIMAGELIST list, const Placeholder& placeholder, int count) {
    BITMAP bm = {};
    if (count <= 0 || !GetObjectA(placeholder.color.get(), sizeof bm, &bm))
        return;
    const int w = bm.bmWidth, h = bm.bmHeight;
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof bi.bmiHeader, w * count, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const win::GdiObject color(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    const win::GdiObject mask(CreateBitmap(w * count, h, 1, 1, nullptr));
    const win::MemoryDc from(CreateCompatibleDC(nullptr)), to(CreateCompatibleDC(nullptr));
    if (!color || !mask || !from || !to) {
        for (int i = 0; i < count; ++i)
            ImageList_Add(list, Bitmap(placeholder.color), Bitmap(placeholder.mask));
        return;
    }
    const std::pair<HGDIOBJ, HGDIOBJ> layers[] = {{placeholder.color.get(), color.get()},
                                                  {placeholder.mask.get(), mask.get()}};
    for (const auto& layer : layers) {
        const HGDIOBJ oldFrom = SelectObject(from.get(), layer.first);
        const HGDIOBJ oldTo = SelectObject(to.get(), layer.second);
        for (int i = 0; i < count; ++i)
            BitBlt(to.get(), i * w, 0, w, h, from.get(), 0, 0, SRCCOPY);
        SelectObject(from.get(), oldFrom);
        SelectObject(to.get(), oldTo);
    }
    ImageList_Add(list, Bitmap(color), Bitmap(mask));
}

void TFileList::QueueIcon(int index, const std::string& path) {
    // Every entry gets a picture of its own at once, so that indexes never shift; the
    // file's own icon replaces it when the queue gets to it (reading icons costs
    // several milliseconds a file, too much to wait for with a long list).
    if (pendingNext_ >= pendingIcons_.size()) {
        pendingIcons_.clear();
        pendingNext_ = 0;
        PostIconTurn();
    }
    pendingIcons_.push_back(PendingIcon{index, path});
}

void TFileList::PostIconTurn() {
    if (!iconTurnPosted_)
        iconTurnPosted_ = PostMessageA(parent_, loadIconsMessage_, 0, 0) != FALSE;
}

void TFileList::PauseIcons(bool paused) {
    iconsPaused_ = paused;
    if (!paused && pendingNext_ < pendingIcons_.size())
        PostIconTurn();
}

void TFileList::LoadPendingIcons() {
    iconTurnPosted_ = false;
    if (iconsPaused_)
        return;
    const DWORD start = GetTickCount();
    const size_t first = pendingNext_;
    while (pendingNext_ < pendingIcons_.size() && GetTickCount() - start < kIconSliceMs)
        LoadIcon(pendingIcons_[pendingNext_++]);
    const bool changed = pendingNext_ > first;
    if (changed)
        InvalidateRect(list_, nullptr, FALSE);
    if (pendingNext_ < pendingIcons_.size())
        PostIconTurn();
    else {
        pendingIcons_.clear();
        pendingNext_ = 0;
    }
}

void TFileList::LoadIcon(const PendingIcon& p) {
    auto known = readIcons_.find(p.path);
    if (known != readIcons_.end()) {
        if (known->second >= 0) {
            ImageList_Copy(LargeImages.get(), p.index, LargeImages.get(), known->second, ILCF_MOVE);
            ImageList_Copy(SmallImages.get(), p.index, SmallImages.get(), known->second, ILCF_MOVE);
        }
        return;
    }
    HICON large = nullptr, small = nullptr;
    const UINT n = ExtractIconExA(p.path.c_str(), 0, &large, &small, 1);
    const win::Icon largeOwner(large), smallOwner(small);
    const bool found = n != UINT_MAX && n > 0;
    if (found) {
        ReplaceWithIcon(LargeImages.get(), p.index, large);
        ReplaceWithIcon(SmallImages.get(), p.index, small);
    }
    readIcons_[p.path] = found ? p.index : -1;
}

HICON TFileList::LargeIconAt(int item) const {
    LVITEMA lv = {};
    lv.mask = LVIF_IMAGE;
    lv.iItem = item;
    if (!SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lv)))
        return nullptr;
    return ImageList_GetIcon(LargeImages.get(), lv.iImage, ILD_NORMAL);
}
