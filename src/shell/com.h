#pragma once
// COM plumbing of the shell services: OLE set up for a thread, an owner that
// releases an interface exactly once, and the error raised when a COM call that
// must succeed fails.
#include <windows.h>
#include <objbase.h>
#include <ole2.h>

#include <string>
#include <utility>

#include "win/exception.h"

// A failed COM call, with the system's text for its HRESULT.
class EOleSysError : public Exception {
  public:
    explicit EOleSysError(HRESULT code);
    HRESULT ErrorCode() const { return code_; }

  private:
    HRESULT code_;
};

// Raises EOleSysError when `hr` is a failure code.
inline void OleCheck(HRESULT hr) {
    if (FAILED(hr))
        throw EOleSysError(hr);
}

// OLE (drag and drop, the clipboard, COM in a single-threaded apartment) on the
// calling thread for the scope's life; undone only where it was done.
class OleScope {
  public:
    OleScope() : result_(OleInitialize(nullptr)) {}
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;
    ~OleScope() {
        if (SUCCEEDED(result_))
            OleUninitialize();
    }

  private:
    HRESULT result_;
};

template <typename T> class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o) {
            Reset();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    ~ComPtr() { Reset(); }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // Releases what is held and hands out the slot for an out parameter.
    T** Put() {
        Reset();
        return &p_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    void Reset() {
        if (p_)
            std::exchange(p_, nullptr)->Release();
    }
    // Asks the held object for another interface; a failure leaves `out` empty.
    template <typename U> HRESULT As(REFIID iid, ComPtr<U>& out) const {
        return p_ ? p_->QueryInterface(iid, out.PutVoid()) : E_POINTER;
    }

  private:
    T* p_ = nullptr;
};
