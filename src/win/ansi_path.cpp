#include "win/ansi_path.h"

#include <windows.h>

#include <vector>

namespace win {

const char* const kUnstorableNameText =
    "プログラムのフォルダまたはファイルの名前に、ポムッと終了が保存できない文字が含まれています\n";

namespace {

ShortPathReader g_shortPath = &SystemShortPath;

} // namespace

bool ExactAnsi(const std::wstring& wide, std::string& ansi) {
    ansi.clear();
    if (wide.empty())
        return true;
    const int wlen = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wlen, nullptr, 0,
                                nullptr, &usedDefault);
    if (n <= 0 || usedDefault)
        return false;
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wlen, &out[0], n, nullptr,
                        &usedDefault);
    // WC_NO_BEST_FIT_CHARS alone still lets a few letters through that do not come
    // back as themselves; only a round trip proves the spelling exact.
    if (usedDefault || WideFromAnsi(out) != wide)
        return false;
    ansi.swap(out);
    return true;
}

std::wstring WideFromAnsi(const std::string& ansi) {
    if (ansi.empty())
        return std::wstring();
    const int len = static_cast<int>(ansi.size());
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), len, nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), len, &out[0], n);
    return out;
}

std::string BestFitAnsi(const std::wstring& wide) {
    if (wide.empty())
        return std::string();
    const int wlen = static_cast<int>(wide.size());
    int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), wlen, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wlen, &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring SystemShortPath(const std::wstring& wide) {
    DWORD n = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (!n)
        return std::wstring();
    std::vector<wchar_t> buf(n + 1);
    n = GetShortPathNameW(wide.c_str(), buf.data(), static_cast<DWORD>(buf.size()));
    if (!n || n >= buf.size())
        return std::wstring();
    return std::wstring(buf.data(), n);
}

void SetShortPathReader(ShortPathReader reader) {
    g_shortPath = reader ? reader : &SystemShortPath;
}

AnsiPath StorablePath(const std::wstring& wide) {
    AnsiPath result;
    if (ExactAnsi(wide, result.Path)) {
        result.Kind = AnsiPathKind::Exact;
        return result;
    }
    // A short form that is the long name again (8.3 names switched off) cannot be
    // exact either, so the test below refuses it as well.
    if (ExactAnsi(g_shortPath(wide), result.Path) && !result.Path.empty()) {
        result.Kind = AnsiPathKind::Short;
        return result;
    }
    result.Path.clear();
    result.Kind = AnsiPathKind::None;
    return result;
}

std::string UsablePath(const std::wstring& wide) {
    const AnsiPath kept = StorablePath(wide);
    return kept.Kind == AnsiPathKind::None ? BestFitAnsi(wide) : kept.Path;
}

std::string ShownPath(const std::string& path) {
    const std::wstring wide = WideFromAnsi(path);
    DWORD n = wide.empty() ? 0 : GetLongPathNameW(wide.c_str(), nullptr, 0);
    if (!n)
        return path;
    std::vector<wchar_t> buf(n + 1);
    n = GetLongPathNameW(wide.c_str(), buf.data(), static_cast<DWORD>(buf.size()));
    if (!n || n >= buf.size())
        return path;
    const std::wstring longPath(buf.data(), n);
    std::string exact;
    // A path the code page holds keeps the spelling it was given, short or long.
    if (ExactAnsi(longPath, exact))
        return path;
    return BestFitAnsi(longPath);
}

} // namespace win
