// A drag from the shell without a mouse: places the pointer, then runs DoDragDrop
// with a source whose decisions are scripted on the command line.
//
//   drag_source.exe [options] [--] file...
//     --at X Y       screen point the drag starts over (default: where the pointer is)
//     --effects N    DROPEFFECT bits the source offers (default 7: copy, move, link)
//     --wide         the file list in UTF-16 (names converted from the ANSI code page;
//                    "%uXXXX" in a name is that UTF-16 unit)
//     --text         no file list: the names as CF_TEXT only
//     --steps N      polls that continue the drag before the drop (default 3)
//     --leave X Y    after those polls move the pointer to X Y, poll as often again,
//                    then cancel instead of dropping
//     --until NAME   continue until the named event is set (at most 30 s), then cancel
//
// The exit code is the effect the drag ended with plus the kDrag* bits of
// drag_source.h.
#include <windows.h>
#include <ole2.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "drag_data.h"
#include "drag_source.h"

namespace {

struct Script {
    bool moveFirst = false;
    POINT at = {};
    DWORD effects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    bool wide = false;
    bool text = false;
    int steps = 3;
    bool leave = false;
    POINT leaveAt = {};
    std::string until;
    std::vector<std::string> files;
};

class DropSource : public IDropSource {
  public:
    explicit DropSource(const Script& s) : s_(s) {
        if (!s.until.empty())
            stop_ = OpenEventA(SYNCHRONIZE, FALSE, s.until.c_str());
        start_ = GetTickCount();
    }
    ~DropSource() {
        if (stop_)
            CloseHandle(stop_);
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
            *out = static_cast<IDropSource*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override {
        ++polls_;
        if (!s_.until.empty()) {
            bool stop = !stop_ || WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0 ||
                        GetTickCount() - start_ > 30000;
            return stop ? DRAGDROP_S_CANCEL : S_OK;
        }
        if (polls_ <= s_.steps)
            return S_OK;
        if (!s_.leave)
            return DRAGDROP_S_DROP;
        if (polls_ == s_.steps + 1)
            SetCursorPos(s_.leaveAt.x, s_.leaveAt.y);
        return polls_ <= 2 * s_.steps + 1 ? S_OK : DRAGDROP_S_CANCEL;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

  private:
    const Script& s_;
    HANDLE stop_ = nullptr;
    DWORD start_ = 0;
    int polls_ = 0;
};

bool Parse(int argc, char** argv, Script& s) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto more = [&](int n) { return i + n < argc; };
        if (a == "--at" && more(2)) {
            s.moveFirst = true;
            s.at = {std::atoi(argv[i + 1]), std::atoi(argv[i + 2])};
            i += 2;
        } else if (a == "--effects" && more(1)) {
            s.effects = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 0));
        } else if (a == "--wide") {
            s.wide = true;
        } else if (a == "--text") {
            s.text = true;
        } else if (a == "--steps" && more(1)) {
            s.steps = std::atoi(argv[++i]);
        } else if (a == "--leave" && more(2)) {
            s.leave = true;
            s.leaveAt = {std::atoi(argv[i + 1]), std::atoi(argv[i + 2])};
            i += 2;
        } else if (a == "--until" && more(1)) {
            s.until = argv[++i];
        } else if (a == "--") {
            for (++i; i < argc; ++i)
                s.files.push_back(argv[i]);
        } else if (a.compare(0, 2, "--") == 0) {
            return false;
        } else {
            s.files.push_back(a);
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Script s;
    if (!Parse(argc, argv, s))
        return kDragFailed;
    if (FAILED(OleInitialize(nullptr)))
        return kDragFailed;
    if (s.moveFirst)
        SetCursorPos(s.at.x, s.at.y);
    std::string text;
    for (const std::string& f : s.files)
        text += f + "\r\n";
    drag::DataObject data(s.text ? CF_TEXT : CF_HDROP,
                          s.text ? text + '\0' : drag::FileListBlock(s.files, s.wide));
    DropSource source(s);
    DWORD effect = DROPEFFECT_NONE;
    HRESULT hr = DoDragDrop(&data, &source, s.effects, &effect);
    OleUninitialize();
    if (hr == DRAGDROP_S_DROP)
        return static_cast<int>((effect & 0xFF) | kDragDropped);
    if (hr == DRAGDROP_S_CANCEL)
        return static_cast<int>((effect & 0xFF) | kDragCancelled);
    return kDragFailed;
}
