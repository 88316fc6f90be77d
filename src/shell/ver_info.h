#pragma once
// Strings of a program file's version resource, for the first language its
// translation table lists.
#include <string>
#include <vector>

#include "win/exception.h"

// Every failure to read version information, with one message.
class EVerInfo : public Exception {
  public:
    EVerInfo();
};

class TVerInfo {
  public:
    // Loads the file's whole version-information block. Raises EVerInfo when the
    // file has none, cannot be read, or lists no translation.
    explicit TVerInfo(const std::string& fileName);

    std::string GetProductName() const;
    std::string GetFileDescription() const;
    std::string GetProductVersion() const;
    // The string at `subBlock` (e.g. "\StringFileInfo\041104B0\ProductName"), cut at
    // its first NUL and without leading or trailing blanks and control characters.
    // Present but empty gives ""; absent raises EVerInfo.
    std::string GetStringValue(const std::string& subBlock) const;

    // Four upper-case hexadecimal digits each, from the first translation entry.
    const std::string& Language() const { return language_; }
    const std::string& CodePage() const { return codePage_; }

  private:
    std::string StringFileInfoPath(const char* name) const;

    std::vector<char> block_;
    std::string language_;
    std::string codePage_;
};

// The product version of the running program's own file. Raises EVerInfo.
std::string OwnProductVersion();
