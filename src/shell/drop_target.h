#pragma once
// Files dragged from the shell onto a window: an OLE drop target that tells the
// dragging source which effect a drop would have, scrolls the window while the
// pointer rests near its edge, keeps an in-process drag image moving, and on the
// drop hands the dropped file names to its OnDrop handler.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "shell/com.h"
#include "win/handles.h"

// A COM object with a reference count of its own that frees itself when the count
// drops to zero.
class TInterfacedComponent {
  public:
    TInterfacedComponent() = default;
    TInterfacedComponent(const TInterfacedComponent&) = delete;
    TInterfacedComponent& operator=(const TInterfacedComponent&) = delete;
    virtual ~TInterfacedComponent() = default;

  protected:
    ULONG AddRefCount();
    ULONG ReleaseCount();

  private:
    volatile LONG refCount_ = 0;
};

enum TDragType { dtCopy, dtMove, dtLink };

// The effects a drop may have.
class TDragTypes {
  public:
    TDragTypes(std::initializer_list<TDragType> types) {
        for (TDragType t : types)
            bits_ |= 1u << t;
    }
    bool Contains(TDragType t) const { return (bits_ & (1u << t)) != 0; }

  private:
    unsigned bits_ = 0;
};

// Keys and mouse buttons held during a drag.
enum : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32 };
using TShiftState = unsigned;

class TDropTarget;
// Point: client coordinates of the target. Effect: the DROPEFFECT the platform gets.
using TDropTargetEvent =
    std::function<void(TDropTarget& sender, TShiftState shift, POINT point, DWORD& effect)>;
using TNotifyEvent = std::function<void(TDropTarget& sender)>;

// The general drop target. It holds one reference on itself, so the releases of
// the OLE system never free it: its owner destroys it.
class TDropTarget : public TInterfacedComponent, public IDropTarget {
  public:
    TDropTarget();
    ~TDropTarget() override;

    TDragTypes Dragtypes{dtCopy};
    bool GetDataOnEnter = false;
    TDropTargetEvent OnEnter;
    TDropTargetEvent OnDragOver;
    TNotifyEvent OnLeave;
    TDropTargetEvent OnDrop;
    TDropTargetEvent OnGetDropEffect;
    bool ShowImage() const { return showImage_; }
    void SetShowImage(bool show);

    // Makes `control` the drop target; `name` is what a failure message calls it.
    // Raises Exception("Failed to Register " + name) when the system refuses.
    void RegisterTarget(HWND control, const std::string& name);
    // Raises Exception("Failed to Unregister " + name) when the system refuses.
    void UnregisterTarget();
    HWND Target() const { return target_; }
    bool Registered() const { return registered_; }

    // The effect a drop would have with these keys at this point (client
    // coordinates), from the effects the source offers; carries DROPEFFECT_SCROLL in
    // a scroll zone.
    virtual DWORD ChooseEffect(TShiftState shift, POINT point, DWORD offered);

    // IUnknown, IDropTarget: called by the platform on the UI thread.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefCount(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseCount(); }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL pt,
                                        DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL pt,
                                   DWORD* effect) override;

  protected:
    virtual void DoEnter(TShiftState shift, POINT point, DWORD& effect);
    virtual void DoDragOver(TShiftState shift, POINT point, DWORD& effect);
    virtual void DoDrop(TShiftState shift, POINT point, DWORD& effect);
    virtual void DoLeave();
    virtual bool ReadDropData(IDataObject* data) = 0;
    virtual void ClearDropData() = 0;
    virtual bool AcceptsData(IDataObject* data) = 0;

  private:
    enum : unsigned { sdHorizontal = 1, sdVertical = 2 };

    static void CALLBACK ScrollTimerProc(HWND, UINT, UINT_PTR id, DWORD);
    void ScrollTick();
    void EnableScrollTimer(bool enable);
    POINT ToClient(POINTL screen) const;
    POINT ToWindow(POINT client) const;
    int FontHeight() const;
    void EndDragImage();

    HWND target_ = nullptr;
    std::string targetName_;
    bool registered_ = false;
    ComPtr<IDataObject> data_;
    POINT lastPos_ = {};
    HIMAGELIST dragImage_ = nullptr;
    POINT hotSpot_ = {};
    win::ImageList ownImages_;
    bool scrollTimerOn_ = false;
    int scrollMargin_ = 0;
    unsigned scrollDirections_ = 0;
    bool showImage_ = true;
};

// The drop target for lists of files (the shell's CF_HDROP).
class TDropFileTarget : public TDropTarget {
  public:
    TDropFileTarget();

    // The dropped names, whole (a name sent in the ANSI code page is read as that
    // code page reads it): filled while OnDrop runs, empty before and after. Whether
    // and how a name can be kept in the code page is the receiver's decision.
    std::vector<std::wstring> DroppedFiles;

  protected:
    bool ReadDropData(IDataObject* data) override;
    void ClearDropData() override;
    bool AcceptsData(IDataObject* data) override;

  private:
    FORMATETC format_;
};

// The UTF-16 units of `text` as the bytes of a string, two to a unit, so that a
// name passes the ANSI-only reading of the block unchanged.
std::string WideAsBytes(const char16_t* text, size_t length);
