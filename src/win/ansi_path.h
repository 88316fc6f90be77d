#pragma once
// Paths come from the system whole (UTF-16) and are kept as the code page's 8-bit
// strings. Windows' ANSI functions hand back a best-fit spelling for a letter the
// code page lacks ("Jürgen" becomes "Jurgen"), naming a file that does not exist;
// these helpers decide instead whether the code page holds a path exactly and, where
// it does not, fall back to the path's short (8.3) form, which it always holds.
#include <string>

namespace win {

// The code page's exact spelling of `wide`; false when a letter has no exact
// counterpart there (no best-fit letter, no default character is accepted).
bool ExactAnsi(const std::wstring& wide, std::string& ansi);

// `ansi` in UTF-16, as the code page reads it.
std::wstring WideFromAnsi(const std::string& ansi);

// The code page's best spelling of `wide`, for showing a name that cannot be stored
// exactly; never for a path that is opened.
std::string BestFitAnsi(const std::wstring& wide);

// How a path that came from the system is to be stored and used.
enum class AnsiPathKind {
    Exact, // the code page holds the path: `path` is that spelling
    Short, // it does not, and `path` is its short (8.3) form, which it holds
    None,  // it does not, and the volume gives no usable short form
};
struct AnsiPath {
    AnsiPathKind Kind = AnsiPathKind::None;
    std::string Path;
};

// The short form of a path as the system reports it (GetShortPathNameW); empty when
// there is none. Tests replace it to stand for a volume without 8.3 names.
using ShortPathReader = std::wstring (*)(const std::wstring& wide);
std::wstring SystemShortPath(const std::wstring& wide);
void SetShortPathReader(ShortPathReader reader); // nullptr restores the system's

// `wide` as the program can keep it: exactly where the code page holds it, else its
// short form where that is exact in the code page.
AnsiPath StorablePath(const std::wstring& wide);

// StorablePath's spelling, else the best one the code page has: for a path that is
// used even when it cannot be kept (this program's own, a command-line argument).
std::string UsablePath(const std::wstring& wide);

// A path kept by the program as the user knows it: where `path` stands for a long
// path the code page cannot hold (a short form), that long path as the code page best
// spells it; otherwise `path` unchanged. For showing only.
std::string ShownPath(const std::string& path);

// The box text for a path that StorablePath cannot keep, followed by the path as
// BestFitAnsi spells it.
extern const char* const kUnstorableNameText;

} // namespace win
