#include "core/settings.h"

#include "core/text.h"

namespace {

const char kSetting[] = "Setting";
const char kIgnore[] = "Ignore";
// The ignore list is read back up to this many entries.
constexpr int kMaxIgnoreStrings = 256;

// The key of an option that is off by default: present only while on, so that a
// file written with the option off keeps its old bytes.
void WriteOptionalFlag(IniFile& ini, const std::string& section, const char* key, bool on) {
    if (on)
        ini.WriteBool(section, key, true);
    else
        ini.DeleteKey(section, key);
}

// A hot key: present only while one is set. A value that is no 16-bit key is none.
void WriteOptionalHotKey(IniFile& ini, const char* key, uint16_t value) {
    if (value != 0)
        ini.WriteInteger(kSetting, key, value);
    else
        ini.DeleteKey(kSetting, key);
}

uint16_t ReadHotKey(const IniFile& ini, const char* key) {
    const int32_t value = ini.ReadInteger(kSetting, key, 0);
    return value > 0 && value <= 0xFFFF ? static_cast<uint16_t>(value) : 0;
}

// A value of the quits' record: present only while there is one.
void WriteOptionalString(IniFile& ini, const std::string& section, const char* key,
                         const std::string& value) {
    if (!value.empty())
        ini.WriteString(section, key, value);
    else
        ini.DeleteKey(section, key);
}

std::string ColumnKey(size_t i) {
    return "Column" + text::IntToStr(static_cast<long long>(i));
}

} // namespace

bool ReadSettings(const IniFile& ini, TSettings& s, TProgTable& table) {
    s.XPos = ini.ReadInteger(kSetting, "XPos", s.XPos);
    s.YPos = ini.ReadInteger(kSetting, "YPos", s.YPos);
    s.Width = ini.ReadInteger(kSetting, "Width", s.Width);
    s.Height = ini.ReadInteger(kSetting, "Height", s.Height);
    s.QuitTimeout = ini.ReadInteger(kSetting, "QuitTimeout", 5);
    s.AllClose = ini.ReadBool(kSetting, "AllClose", false);
    s.EachRun = ini.ReadBool(kSetting, "EachRun", true);
    s.View = ini.ReadInteger(kSetting, "View", kViewReport);
    s.Status = ini.ReadBool(kSetting, "Status", true);
    s.QuitAtOnce = ini.ReadBool(kSetting, "QuitAtOnce", false);
    s.SkipRunning = ini.ReadBool(kSetting, "SkipRunning", false);
    s.RunLastQuit = ini.ReadBool(kSetting, "RunLastQuit", false);
    s.EndSession = ini.ReadBool(kSetting, "EndSession", false);
    s.WaitDialogs = ini.ReadBool(kSetting, "WaitDialogs", false);
    s.RestoreAfter = ini.ReadBool(kSetting, "RestoreAfter", false);
    s.QuitHotKey = ReadHotKey(ini, "QuitHotKey");
    s.RunHotKey = ReadHotKey(ini, "RunHotKey");
    s.ShutdownHotKey = ReadHotKey(ini, "ShutdownHotKey");
    bool firstRun = ini.ReadString(kSetting, "Version").empty();
    for (size_t i = 0; i < s.Columns.size(); ++i)
        s.Columns[i] = ini.ReadInteger(kSetting, ColumnKey(i), s.Columns[i]);

    for (int n = 0; n < kMaxPrograms; ++n) {
        const std::string sec = text::IntToStr(n);
        TProgInfo& p = table[n];
        p.Name = ini.ReadString(sec, "Name");
        p.Program = ini.ReadString(sec, "Program");
        p.Work = ini.ReadString(sec, "Work");
        p.Arg = ini.ReadString(sec, "Arg");
        p.QuitCom = ini.ReadString(sec, "QuitCom");
        p.QuitArg = ini.ReadString(sec, "QuitArg");
        p.Quit = ini.ReadBool(sec, "Quit", false);
        p.Run = ini.ReadBool(sec, "Run", false);
        p.Show = ini.ReadInteger(sec, "Show", 0);
        p.QuitType = ini.ReadInteger(sec, "QuitType", 0);
        p.LastQuit = ini.ReadBool(sec, "LastQuit", false);
        p.LastArg = p.LastQuit ? ini.ReadString(sec, "LastArg") : std::string();
        p.LastPlace =
            p.LastQuit ? ParseWindowPlace(ini.ReadString(sec, "LastPlace")) : TWindowPlace();
        if (p.Program.empty())
            break;
    }

    s.IgnoreMemo.clear();
    for (int n = 0; n < kMaxIgnoreStrings; ++n) {
        std::string v = ini.ReadString(kIgnore, text::IntToStr(n));
        if (v.empty())
            break;
        s.IgnoreMemo.push_back(v);
    }
    return firstRun;
}

void WriteSettings(IniFile& ini, const TSettings& s, const std::string& version,
                   const std::vector<const TProgInfo*>& listOrder) {
    ini.WriteInteger(kSetting, "XPos", s.XPos);
    ini.WriteInteger(kSetting, "YPos", s.YPos);
    ini.WriteInteger(kSetting, "Width", s.Width);
    ini.WriteInteger(kSetting, "Height", s.Height);
    ini.WriteInteger(kSetting, "QuitTimeout", s.QuitTimeout);
    ini.WriteBool(kSetting, "AllClose", s.AllClose);
    ini.WriteBool(kSetting, "EachRun", s.EachRun);
    ini.WriteInteger(kSetting, "View", s.View);
    ini.WriteBool(kSetting, "Status", s.Status);
    if (!version.empty())
        ini.WriteString(kSetting, "Version", version);
    for (size_t i = 0; i < s.Columns.size(); ++i)
        ini.WriteInteger(kSetting, ColumnKey(i), s.Columns[i]);
    WriteOptionalFlag(ini, kSetting, "QuitAtOnce", s.QuitAtOnce);
    WriteOptionalFlag(ini, kSetting, "SkipRunning", s.SkipRunning);
    WriteOptionalFlag(ini, kSetting, "RunLastQuit", s.RunLastQuit);
    WriteOptionalFlag(ini, kSetting, "EndSession", s.EndSession);
    WriteOptionalFlag(ini, kSetting, "WaitDialogs", s.WaitDialogs);
    WriteOptionalFlag(ini, kSetting, "RestoreAfter", s.RestoreAfter);
    WriteOptionalHotKey(ini, "QuitHotKey", s.QuitHotKey);
    WriteOptionalHotKey(ini, "RunHotKey", s.RunHotKey);
    WriteOptionalHotKey(ini, "ShutdownHotKey", s.ShutdownHotKey);

    const size_t count = s.IgnoreMemo.size();
    for (size_t i = 0; i < count; ++i)
        ini.WriteString(kIgnore, text::IntToStr(static_cast<long long>(i)), s.IgnoreMemo[i]);
    for (size_t i = count; i < kMaxIgnoreStrings; ++i) {
        const std::string key = text::IntToStr(static_cast<long long>(i));
        if (!ini.ReadString(kIgnore, key).empty())
            ini.DeleteKey(kIgnore, key);
    }

    for (size_t i = 0; i < listOrder.size(); ++i) {
        const TProgInfo& p = *listOrder[i];
        if (p.Program.empty())
            break;
        const std::string sec = text::IntToStr(static_cast<long long>(i));
        ini.WriteString(sec, "Name", p.Name);
        ini.WriteString(sec, "Program", p.Program);
        ini.WriteString(sec, "Work", p.Work);
        ini.WriteString(sec, "Arg", p.Arg);
        ini.WriteString(sec, "QuitCom", p.QuitCom);
        ini.WriteString(sec, "QuitArg", p.QuitArg);
        ini.WriteBool(sec, "Quit", p.Quit);
        ini.WriteBool(sec, "Run", p.Run);
        ini.WriteInteger(sec, "Show", p.Show);
        ini.WriteInteger(sec, "QuitType", p.QuitType);
        WriteOptionalFlag(ini, sec, "LastQuit", p.LastQuit);
        WriteOptionalString(ini, sec, "LastArg", p.LastQuit ? p.LastArg : std::string());
        WriteOptionalString(ini, sec, "LastPlace",
                            p.LastQuit ? FormatWindowPlace(p.LastPlace) : std::string());
    }
    // A stale section with a program but no name would come back as an
    // application at the next start, so a program alone also gets it erased.
    for (size_t i = listOrder.size(); i < kMaxPrograms; ++i) {
        const std::string sec = text::IntToStr(static_cast<long long>(i));
        if (!ini.ReadString(sec, "Name").empty() || !ini.ReadString(sec, "Program").empty())
            ini.EraseSection(sec);
    }
}
