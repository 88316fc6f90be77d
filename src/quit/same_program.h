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

// What comparing one path with programs needs of it, read from the file system
// once: a process walk's program files are compared with every registered program.
class PathFacts {
  public:
    explicit PathFacts(const std::string& path);
    // Whether a program whose file name, lower-cased, is `lowerName` can be this
    // file. A file keeps its name, long or short, through every spelling that
    // reaches it, so the many registered programs that are not running are told
    // apart from the running ones without asking the file system anything. The
    // long and the short name cost a call each (about a millisecond under Wine);
    // they are read only where one of the two names is an 8.3 alias, which the
    // system always writes with a "~".
    bool MayBe(const std::string& lowerName) const;
    // The path exactly as given.
    const std::string& Path() const { return path_; }

  private:
    friend class ProgramMatcher;
    // The identity, read when a comparison first needs it; null when the file
    // cannot be opened.
    const win::FileIdentity* Identity() const;
    struct Forms {
        std::string lowerLongName;  // the file name of the long form
        std::string lowerShortName; // the file name of the short form
        std::string lowerShortForm; // the whole short form, or the path where there is none
    };
    // Read when a comparison first needs them.
    const Forms& Spellings() const;

    std::string path_;
    std::string lowerName_; // the file name as given
    mutable Forms forms_;
    mutable bool formsRead_ = false;
    mutable win::FileIdentity id_;
    mutable int idState_ = 0; // 0: not read yet, 1: read, -1: cannot be read
};

// The file name of a path lower-cased as PathFacts::MayBe expects it.
std::string LowerFileName(const std::string& path);

// SameProgram(path, program) for many paths against one program. Asking the file
// system for a short form costs up to milliseconds under Wine, and a process walk
// asks for every process; a path whose file name is neither the long nor the short
// name of the program's file cannot name that file, so it is answered without
// (a SUBST drive or a junction keeps the file name).
class ProgramMatcher {
  public:
    explicit ProgramMatcher(const std::string& program);
    bool Matches(const PathFacts& path) const;

  private:
    // The short form, read only when the long name or the identity cannot decide.
    void ReadShortForm() const;

    std::string program_;
    std::string longName_; // lower-cased long file name; empty when unknown
    win::FileIdentity id_;
    bool hasId_ = false;
    mutable bool shortRead_ = false;
    mutable std::string key_;       // lower-cased short form of the program
    mutable std::string shortName_; // lower-cased short file name
};
