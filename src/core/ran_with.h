#pragma once
// What a program that a quit ended was running with: the arguments of its process and
// where its main window lay. The quits' record keeps them, so that starting it again
// gives back the same documents at the same place, not an empty window at its
// default one.
#include <cstdint>
#include <string>

// The normal rectangle of a top-level window in screen pixels and how it was shown.
struct TWindowPlace {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    int32_t Show = 0; // 0 normal, 1 minimised, 2 maximised, as an entry's own Show
    // An empty rectangle is no place: the program opens at its own one.
    bool Set() const { return Right > Left && Bottom > Top; }
    bool operator==(const TWindowPlace& o) const {
        return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom &&
               Show == o.Show;
    }
};

struct TRanWith {
    std::string Arg; // empty: none, or none that could be read or kept exactly
    TWindowPlace Place;
};

// "left,top,right,bottom,show" as the settings file keeps it; empty for no place.
std::string FormatWindowPlace(const TWindowPlace& place);
// The place that FormatWindowPlace wrote; anything else gives no place.
TWindowPlace ParseWindowPlace(const std::string& value);

// What follows the program in a process's command line, without the blanks around it.
// The program is read as the system reads it: a leading quote runs to the next one;
// else an unquoted `imagePath` with blanks at the very start is taken whole, as
// CreateProcess took it; else it runs to the first blank outside quotes. A NUL
// that the program wrote into its own command line reads as a blank, and closes a
// quote it leaves open.
std::wstring ArgumentsAfterProgram(const std::wstring& commandLine, const std::wstring& imagePath);
