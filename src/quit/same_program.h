#pragma once
#include "win/file.h"

#include <string>

// Whether two paths name the same program file: the same file on the same volume
// where both files can be opened (so System32 and SysWOW64 spellings as a 32-bit
// program sees them, SUBST drives and junctions compare equal); otherwise their
// short (8.3) forms compared after ANSI lower-casing, so a long and a short
// spelling and differences of letter case compare equal. Where a short form cannot
// be had (the file is gone, the path is empty or too long), the lower-cased path as
// given stands in for it.
bool SameProgram(const std::string& a, const std::string& b);

// SameProgram(path, program) for many paths against one program. Asking the file
// system for a short form costs up to milliseconds under Wine, and a process walk
// asks for every process; a path whose file name is neither the long nor the short
// name of the program's file cannot name that file, so it is answered without
// (a SUBST drive or a junction keeps the file name).
class ProgramMatcher {
  public:
    explicit ProgramMatcher(const std::string& program);
    bool Matches(const std::string& path) const;

  private:
    std::string key_;       // lower-cased short form of the program
    std::string longName_;  // lower-cased long file name; empty when unknown
    std::string shortName_; // lower-cased short file name
    win::FileIdentity id_;
    bool hasId_ = false;
};
