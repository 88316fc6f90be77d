#pragma once
// What a drag from the shell carries, for the programs and tests that play the
// shell: the file-list block and a data object that hands out one format.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

namespace drag {

inline HGLOBAL BlockOf(const std::string& bytes) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (h) {
        std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
        GlobalUnlock(h);
    }
    return h;
}

// `name` in UTF-16, from the ANSI code page; "%uXXXX" (four hex digits) stands for
// that UTF-16 unit, so that a name the code page cannot spell can be passed on an
// ANSI command line.
inline std::wstring WideName(const std::string& name) {
    int n = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0'); // the NUL included
    MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, &w[0], n);
    for (size_t at = w.find(L"%u"); at != std::wstring::npos && at + 6 <= w.size();
         at = w.find(L"%u", at + 1)) {
        wchar_t* end = nullptr;
        const std::wstring hex = w.substr(at + 2, 4);
        const unsigned long unit = std::wcstoul(hex.c_str(), &end, 16);
        if (end == hex.c_str() + 4)
            w.replace(at, 6, 1, static_cast<wchar_t>(unit));
    }
    return w;
}

// The shell's file-list block: its header, then the names, then an empty name.
inline std::string FileListBlock(const std::vector<std::string>& files, bool wide) {
    DROPFILES header = {};
    header.pFiles = sizeof header;
    header.fWide = wide;
    std::string block(reinterpret_cast<const char*>(&header), sizeof header);
    for (const std::string& f : files) {
        if (wide) {
            const std::wstring w = WideName(f);
            block.append(reinterpret_cast<const char*>(w.data()), w.size() * sizeof(wchar_t));
        } else {
            block.append(f.c_str(), f.size() + 1);
        }
    }
    block.append(wide ? 2 : 1, '\0');
    return block;
}

// Offers `bytes` in one clipboard format, in global memory (or, for tests of
// other media, announced as `tymed` and handed out as an empty stream). Lives on
// its owner's stack: the count is only kept, never frees.
class DataObject : public IDataObject {
  public:
    DataObject(CLIPFORMAT format, std::string bytes, DWORD tymed = TYMED_HGLOBAL)
        : bytes_(std::move(bytes)) {
        format_ = {format, nullptr, DVASPECT_CONTENT, -1, tymed};
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
            *out = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
    ULONG Refs() const { return refs_; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* f, STGMEDIUM* m) override {
        HRESULT hr = QueryGetData(f);
        if (hr != S_OK)
            return hr;
        m->pUnkForRelease = nullptr;
        if (format_.tymed == TYMED_ISTREAM) {
            m->tymed = TYMED_ISTREAM;
            return CreateStreamOnHGlobal(nullptr, TRUE, &m->pstm);
        }
        m->tymed = TYMED_HGLOBAL;
        m->hGlobal = BlockOf(bytes_);
        return m->hGlobal ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* f) override {
        if (f->cfFormat != format_.cfFormat)
            return DV_E_FORMATETC;
        return (f->tymed & format_.tymed) ? S_OK : DV_E_TYMED;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD dir, IEnumFORMATETC** out) override {
        if (dir != DATADIR_GET)
            return E_NOTIMPL;
        return SHCreateStdEnumFmtEtc(1, &format_, out);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

  private:
    ULONG refs_ = 1;
    FORMATETC format_;
    std::string bytes_;
};

} // namespace drag
