#pragma once
// The settings file's text model: an ordered list of sections, each an ordered list
// of entries. Reading keeps the order of the file; writing a key replaces it in place
// or appends it, so a file keeps its layout from one save to the next and entries
// this program does not know survive. Section names and keys are looked up without
// regard to ASCII letter case; of two with the same name the first one counts.
#include <cstdint>
#include <string>
#include <vector>

class IniFile {
  public:
    struct Entry {
        std::string Key;
        std::string Value;
        bool Bare = false; // a line without "=": kept as it stood
    };
    struct Section {
        std::string Name;
        std::vector<Entry> Entries;
    };

    // CR LF, a lone CR and a lone LF end a line; a NUL byte ends the text.
    void Parse(const std::string& bytes);
    // Every section as its header, its entries and one empty line; CR LF endings.
    std::string Serialize() const;

    const std::vector<Section>& Sections() const { return sections_; }

    bool Find(const std::string& section, const std::string& key, std::string& value) const;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def = std::string()) const;
    int32_t ReadInteger(const std::string& section, const std::string& key, int32_t def) const;
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;

    // A value holds one line: a CR or LF in it is stored as a blank, and a NUL
    // byte ends it.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int32_t value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    // Both remove every duplicate too, so that none takes the removed one's place.
    void DeleteKey(const std::string& section, const std::string& key);
    void EraseSection(const std::string& section);

  private:
    Section* FindSection(const std::string& name);
    const Section* FindSection(const std::string& name) const;

    std::vector<Section> sections_;
};

// Decimal with an optional sign, or hexadecimal after "$", "0x" or "0X"; the whole
// text must be a number within 32 bits. Hexadecimal takes all 32 bits, so "$FFFFFFFF"
// is -1.
bool ParseInt32(const std::string& s, int32_t& out);
