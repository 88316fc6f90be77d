// The drop target called as the system calls it, in-process, with data objects
// that play the shell.
#include "shell/drop_target.h"
#include "win/ansi_path.h"

#include "drag_data.h"

#include <gtest/gtest.h>

namespace {

struct Raised {
    std::string event;
    std::vector<std::wstring> files;
    DWORD effect = 0;
};

class DropTargetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        font_ = CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                            "Arial");
        window_ = MakeWindow(WS_POPUP | WS_VSCROLL);
        target_.Dragtypes = {dtMove};
        target_.OnEnter = Record("enter");
        target_.OnDragOver = Record("over");
        target_.OnDrop = Record("drop");
        target_.OnLeave = [this](TDropTarget&) { raised_.push_back({"leave", {}, 0}); };
        target_.RegisterTarget(window_, "FileList");
    }
    void TearDown() override {
        target_.UnregisterTarget();
        DestroyWindow(window_);
        if (other_)
            DestroyWindow(other_);
        DeleteObject(font_);
        OleUninitialize();
    }

    // A hidden 200 x 200 client area at screen (100, 100), its font 12 pixels high.
    HWND MakeWindow(DWORD style) {
        RECT rc = {100, 100, 300, 300};
        AdjustWindowRect(&rc, style, FALSE);
        HWND w = CreateWindowExA(0, "STATIC", "", style, rc.left, rc.top, rc.right - rc.left,
                                 rc.bottom - rc.top, nullptr, nullptr, nullptr, nullptr);
        SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        return w;
    }

    TDropTargetEvent Record(const char* event) {
        return [this, event](TDropTarget&, TShiftState, POINT, DWORD& effect) {
            raised_.push_back({event, target_.DroppedFiles, effect});
        };
    }

    // Screen point of a client point of the target.
    static POINTL At(HWND w, int x, int y) {
        POINT p = {x, y};
        ClientToScreen(w, &p);
        return {p.x, p.y};
    }

    DWORD Enter(IDataObject* data, DWORD offered = 7, DWORD keys = 0, int y = 100) {
        DWORD effect = offered;
        EXPECT_EQ(target_.DragEnter(data, keys, At(window_, 100, y), &effect), S_OK);
        return effect;
    }
    DWORD Over(DWORD offered = 7, DWORD keys = 0, int y = 100) {
        DWORD effect = offered;
        EXPECT_EQ(target_.DragOver(keys, At(window_, 100, y), &effect), S_OK);
        return effect;
    }
    DWORD DropOn(IDataObject* data, DWORD offered = 7) {
        DWORD effect = offered;
        EXPECT_EQ(target_.Drop(data, 0, At(window_, 100, 100), &effect), S_OK);
        return effect;
    }
    std::vector<std::string> Events() const {
        std::vector<std::string> e;
        for (const Raised& r : raised_)
            e.push_back(r.event);
        return e;
    }

    HFONT font_ = nullptr;
    HWND window_ = nullptr;
    HWND other_ = nullptr;
    TDropFileTarget target_;
    std::vector<Raised> raised_;
};

drag::DataObject Files(const std::vector<std::string>& names, bool wide = false) {
    return drag::DataObject(CF_HDROP, drag::FileListBlock(names, wide));
}

} // namespace

TEST_F(DropTargetTest, ThreeFilesReachTheHandlerInListOrderAndAreGoneAfterIt) {
    drag::DataObject data = Files({"C:\\a.exe", "C:\\表\\b.txt", "C:\\c.exe"});
    EXPECT_EQ(Enter(&data), static_cast<DWORD>(DROPEFFECT_MOVE));
    EXPECT_EQ(Over(), static_cast<DWORD>(DROPEFFECT_MOVE));
    EXPECT_EQ(DropOn(&data), static_cast<DWORD>(DROPEFFECT_MOVE));
    ASSERT_EQ(Events(), (std::vector<std::string>{"enter", "over", "drop"}));
    EXPECT_TRUE(raised_[0].files.empty()); // read only at the drop
    EXPECT_EQ(raised_[2].files,
              (std::vector<std::wstring>{L"C:\\a.exe", win::WideFromAnsi("C:\\表\\b.txt"),
                                         L"C:\\c.exe"}));
    EXPECT_TRUE(target_.DroppedFiles.empty());
    EXPECT_EQ(data.Refs(), 1u); // the target holds nothing after the drop
}

// A letter the code page lacks (U+00FC) arrives as itself, not as its best fit.
TEST_F(DropTargetTest, WideNamesArriveWhole) {
    drag::DataObject data = Files({"C:\\一\\一太郎.exe", "C:\\J%u00FCrgen\\mine.exe"}, true);
    Enter(&data);
    DropOn(&data);
    ASSERT_EQ(Events(), (std::vector<std::string>{"enter", "drop"}));
    EXPECT_EQ(raised_[1].files, (std::vector<std::wstring>{win::WideFromAnsi("C:\\一\\一太郎.exe"),
                                                           L"C:\\J\u00FCrgen\\mine.exe"}));
}

TEST_F(DropTargetTest, EnteringAndLeavingRaisesNoDropAndLeavesNoNames) {
    target_.GetDataOnEnter = true; // even names read early go again
    drag::DataObject data = Files({"C:\\a.exe"});
    Enter(&data);
    Over();
    EXPECT_EQ(target_.DragLeave(), S_OK);
    EXPECT_EQ(Events(), (std::vector<std::string>{"enter", "over", "leave"}));
    EXPECT_TRUE(target_.DroppedFiles.empty());
    EXPECT_EQ(data.Refs(), 1u);
    // A drop that follows without a new entry has nothing to drop.
    EXPECT_EQ(DropOn(&data), static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(Events().size(), 3u);
}

TEST_F(DropTargetTest, DataWithoutAFileListIsRefusedForTheWholeDrag) {
    drag::DataObject text(CF_TEXT, std::string("C:\\a.exe\0", 9));
    EXPECT_EQ(Enter(&text), static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(Over(), static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(DropOn(&text), static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_TRUE(raised_.empty());
    EXPECT_EQ(text.Refs(), 1u);
}

// A file list that yields no name, or comes in another medium, raises no drop.
TEST_F(DropTargetTest, UnreadableFileListsRaiseNoDrop) {
    std::string truncated = drag::FileListBlock({"C:\\a.exe"}, false);
    truncated.pop_back();
    std::string pastEnd = drag::FileListBlock({"C:\\a.exe"}, false);
    pastEnd[0] = '\x7F';
    std::string oddWide = drag::FileListBlock({"C:\\a.exe"}, true);
    oddWide.pop_back();
    for (const std::string& block :
         {truncated, pastEnd, oddWide, drag::FileListBlock({}, false), std::string(12, '\0')}) {
        drag::DataObject data(CF_HDROP, block);
        EXPECT_EQ(Enter(&data), static_cast<DWORD>(DROPEFFECT_MOVE));
        EXPECT_EQ(DropOn(&data), static_cast<DWORD>(DROPEFFECT_NONE)) << block.size();
    }
    drag::DataObject stream(CF_HDROP, "", TYMED_HGLOBAL | TYMED_ISTREAM);
    Enter(&stream);
    EXPECT_EQ(DropOn(&stream), static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(Events(), std::vector<std::string>(6, "enter"));
}

TEST_F(DropTargetTest, MoveOnlyTargetTakesMoveWhateverKeysAreHeld) {
    for (DWORD keys : std::vector<DWORD>{0, MK_SHIFT, MK_CONTROL, MK_SHIFT | MK_CONTROL}) {
        EXPECT_EQ(target_.ChooseEffect((keys & MK_SHIFT) ? TShiftState{ssShift} : 0, {100, 100}, 7),
                  static_cast<DWORD>(DROPEFFECT_MOVE));
        drag::DataObject data = Files({"C:\\a.exe"});
        EXPECT_EQ(Enter(&data, 7, keys), static_cast<DWORD>(DROPEFFECT_MOVE)) << keys;
        EXPECT_EQ(Over(DROPEFFECT_COPY | DROPEFFECT_MOVE, keys),
                  static_cast<DWORD>(DROPEFFECT_MOVE));
        target_.DragLeave();
    }
    // A source that offers copy and link only is refused.
    EXPECT_EQ(target_.ChooseEffect(0, {100, 100}, DROPEFFECT_COPY | DROPEFFECT_LINK),
              static_cast<DWORD>(DROPEFFECT_NONE));
    drag::DataObject data = Files({"C:\\a.exe"});
    EXPECT_EQ(Enter(&data, DROPEFFECT_COPY | DROPEFFECT_LINK), static_cast<DWORD>(DROPEFFECT_NONE));
    target_.DragLeave();
}

TEST_F(DropTargetTest, KeysChooseAmongTheAllowedEffects) {
    target_.Dragtypes = {dtCopy, dtMove, dtLink};
    const POINT mid = {100, 100};
    EXPECT_EQ(target_.ChooseEffect(0, mid, 7), static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(target_.ChooseEffect(ssCtrl, mid, 7), static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(target_.ChooseEffect(ssShift, mid, 7), static_cast<DWORD>(DROPEFFECT_MOVE));
    EXPECT_EQ(target_.ChooseEffect(ssShift | ssCtrl, mid, 7), static_cast<DWORD>(DROPEFFECT_LINK));
    EXPECT_EQ(target_.ChooseEffect(ssShift | ssCtrl, mid, DROPEFFECT_COPY),
              static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(target_.ChooseEffect(ssShift, mid, DROPEFFECT_LINK),
              static_cast<DWORD>(DROPEFFECT_LINK));
    EXPECT_EQ(target_.ChooseEffect(0, mid, 0), static_cast<DWORD>(DROPEFFECT_NONE));

    target_.Dragtypes = {dtCopy};
    DWORD seen = 0;
    target_.OnGetDropEffect = [&](TDropTarget&, TShiftState, POINT, DWORD& effect) {
        seen = effect;
        effect = DROPEFFECT_NONE;
    };
    EXPECT_EQ(target_.ChooseEffect(0, mid, 7), static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(seen, static_cast<DWORD>(DROPEFFECT_COPY));
}

// The scroll zone is the font's height (12 pixels) along each edge that has a scroll
// bar; a window without scroll bars has none.
TEST_F(DropTargetTest, ScrollZoneFollowsTheFontAndTheScrollBars) {
    drag::DataObject data = Files({"C:\\a.exe"});
    Enter(&data);
    const DWORD move = DROPEFFECT_MOVE;
    const DWORD scroll = DROPEFFECT_MOVE | DROPEFFECT_SCROLL;
    EXPECT_EQ(target_.ChooseEffect(0, {100, 11}, 7), scroll);
    EXPECT_EQ(target_.ChooseEffect(0, {100, 12}, 7), move);
    EXPECT_EQ(target_.ChooseEffect(0, {100, 188}, 7), move);
    EXPECT_EQ(target_.ChooseEffect(0, {100, 189}, 7), scroll);
    EXPECT_EQ(target_.ChooseEffect(0, {2, 100}, 7), move); // no horizontal bar
    target_.DragLeave();

    other_ = MakeWindow(WS_POPUP | WS_HSCROLL);
    target_.RegisterTarget(other_, "Other");
    DWORD effect = 7;
    target_.DragEnter(&data, 0, At(other_, 100, 100), &effect);
    EXPECT_EQ(target_.ChooseEffect(0, {2, 100}, 7), scroll);
    EXPECT_EQ(target_.ChooseEffect(0, {100, 2}, 7), move);
    target_.DragLeave();

    target_.RegisterTarget(window_, "FileList");
    SetWindowLongA(window_, GWL_STYLE, WS_POPUP);
    Enter(&data);
    EXPECT_EQ(target_.ChooseEffect(0, {100, 2}, 7), move);
    target_.DragLeave();
}

TEST_F(DropTargetTest, RegistrationFailuresNameTheControl) {
    EXPECT_TRUE(target_.Registered());
    TDropFileTarget second;
    try {
        second.RegisterTarget(window_, "FileList"); // the window has its target already
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Failed to Register FileList");
    }
    EXPECT_FALSE(second.Registered());
    EXPECT_NO_THROW(second.UnregisterTarget()); // nothing was registered to withdraw
    target_.UnregisterTarget();
    EXPECT_FALSE(target_.Registered());
    EXPECT_EQ(target_.Target(), nullptr);
}
