#include "app/registration.h"

#include <commdlg.h>

#include <exception>

#include "core/text.h"
#include "quit/same_program.h"
#include "shell/shortcut_link.h"
#include "shell/ver_info.h"
#include "win/ansi_path.h"
#include "win/file.h"
#include "win/handles.h"
#include "win/msgbox.h"

const char* const kRefusalText = "このプログラムを使用することはできません\n";
const char* const kTableFullText = "これ以上アプリケーションを登録できません（最大256個）";
const char* const kImportQuestion =
    "すべての項目を破棄してスタートアップからアプリを読み込みます。\nよろしいですか？";
const char* const kGreetingCaption = "謝辞";
const char* const kGreetingText = "ポムッと終了をダウンロードしていただき、ありがとうございました。"
                                  "\nまずスタートアップからアプリを読み込みます";
const char* const kNoStartupFolderText = "スタートアップフォルダが見つかりません";
const char* const kUnreadableShortcutText = "このショートカットは読み取れません\n";

std::string ImportOverflowText(int leftOut) {
    return "登録できるのは256個までのため、" + text::IntToStr(leftOut) +
           "個のショートカットは取り込みませんでした";
}

std::string ImportUnreadableText(int count) {
    return "読み取れないか、ファイルを指していないため、" + text::IntToStr(count) +
           "個のショートカットは取り込みませんでした";
}

namespace {

const char* const kProtectedPrograms[] = {"explorer.exe", "progman.exe", "systray.exe",
                                          "taskmgr.exe", "winlogon.exe"};

void Refuse(RegistrationHost& host, const std::string& path) {
    win::ErrorBox(host.BoxOwner(), kRefusalText + win::ShownPath(path));
}

// The import between SetBusy(false) and SetBusy(true), whatever ends it.
void BusyImport(RegistrationHost& host) {
    win::BusyScope busy(host);
    ImportStartup(host);
    busy.End();
}

} // namespace

TProgInfo RecordFromLink(const TShortcutLink& link, const std::string& lnkPath) {
    TProgInfo r;
    r.Name = text::BaseNameNoExt(win::ShownPath(lnkPath));
    r.Program = link.Target;
    r.Work = link.WorkingDir;
    r.Arg = link.Arguments;
    r.Quit = true;
    r.Run = true;
    r.Show = ShowFromShortcut(link.ShowCmd());
    r.QuitType = kQuitAuto;
    return r;
}

int32_t ShowFromShortcut(TShowCmd cmd) {
    switch (cmd) {
    case scShowMaximized:
        return 2;
    case scShowMinimized:
        return 1;
    default:
        return 0;
    }
}

bool CanRegisterFile(RegistrationHost& host, const std::string& path) {
    // A program that exists only as a 64-bit one in System32 is hidden from a 32-bit
    // program by the redirection, yet it is the file the user picked.
    if (!(win::FileExists(path) || win::FileExists(win::NativeSystemPath(path))) ||
        text::ExtensionLower(path) != ".exe")
        return false;
    std::string name = text::LowerAscii(text::FileNamePart(path));
    for (const char* p : kProtectedPrograms) {
        if (name == p)
            return false;
    }
    return !SameProgram(path, host.OwnProgramPath());
}

int LowestFreeSlot(const TProgTable& table) {
    for (int i = 0; i < kMaxPrograms; ++i) {
        if (!table[i].Occupied())
            return i;
    }
    return -1;
}

std::string ProductNameOrFileName(const std::string& path) {
    std::string name;
    try {
        name = TVerInfo(path).GetProductName();
    } catch (const std::exception&) {
        name.clear();
    }
    // The list cannot show an entry without a name; one kept by its short form is
    // shown by its long name.
    return name.empty() ? text::BaseNameNoExt(win::ShownPath(path)) : name;
}

// Comparing two paths opens both files; a file name that can name neither the
// other's long nor its short name rules a pair out without asking the file system
// (measured under Wine: 30 running programs against 256 registered took 14 s pair
// by pair).
bool IsRegistered(const TProgTable& table, const std::string& path) {
    const PathFacts facts(path);
    for (const TProgInfo& slot : table) {
        if (slot.Occupied() && facts.MayBe(LowerFileName(slot.Program)) &&
            SameProgram(path, slot.Program))
            return true;
    }
    return false;
}

bool CanRegister(RegistrationHost& host, const std::string& path) {
    return CanRegisterFile(host, path) && !IsRegistered(host.Table(), path);
}

void AddProgram(RegistrationHost& host, const std::string& path) {
    std::string ext = text::ExtensionLower(path);
    if (ext != ".exe" && ext != ".lnk")
        return;
    TProgTable& table = host.Table();
    int index = LowestFreeSlot(table);
    if (index < 0) {
        win::ErrorBox(host.BoxOwner(), kTableFullText);
        return;
    }

    TProgInfo record;
    if (ext == ".exe") {
        if (!CanRegister(host, path)) {
            Refuse(host, path);
            return;
        }
        record.Name = ProductNameOrFileName(path);
        record.Program = path;
        record.Work = text::FolderPart(path);
        record.Quit = true;
        record.Run = true;
        record.Show = 0;
        record.QuitType = kQuitAuto;
    } else {
        if (!host.ShortcutLink().Read(path)) {
            const std::string& unstorable = host.ShortcutLink().Unstorable;
            win::ErrorBox(host.BoxOwner(), unstorable.empty()
                                               ? kUnreadableShortcutText + path
                                               : win::kUnstorableNameText + unstorable);
            return;
        }
        const TShortcutLink& link = host.ShortcutLink();
        if (!CanRegister(host, link.Target)) {
            Refuse(host, path);
            return;
        }
        record = RecordFromLink(link, path);
    }
    table[index] = record;
    host.AppendEntry(table[index]);
}

void AddProgram(RegistrationHost& host, const std::wstring& path) {
    const std::string shown = win::BestFitAnsi(path);
    const std::string ext = text::ExtensionLower(shown);
    if (ext != ".exe" && ext != ".lnk")
        return;
    const win::AnsiPath kept = win::StorablePath(path);
    if (kept.Kind == win::AnsiPathKind::None) {
        win::ErrorBox(host.BoxOwner(), win::kUnstorableNameText + shown);
        return;
    }
    AddProgram(host, kept.Path);
}

std::string RegistrationHost::StartupFolder() {
    std::string folder;
    ShortcutLink().GetStartupDir(folder);
    return folder;
}

void ImportStartup(RegistrationHost& host) {
    ImportStartup(host, host.StartupFolder());
}

void ImportStartup(RegistrationHost& host, const std::string& folder) {
    // Everything registered is about to be discarded: make sure there is something to
    // read first.
    if (folder.empty() || !win::FolderExists(folder))
        throw Exception(kNoStartupFolderText);
    TProgTable& table = host.Table();
    for (TProgInfo& slot : table)
        slot = TProgInfo();

    // The entries are listed whole: a shortcut's own name may hold letters the code
    // page lacks, and then only its short form names it.
    const std::wstring wideFolder = win::WideFromAnsi(folder) + L"\\";
    WIN32_FIND_DATAW found;
    win::FindHandle find(FindFirstFileW((wideFolder + L"*.lnk").c_str(), &found));
    int next = 0;
    int leftOut = 0;
    int unreadable = 0;
    for (bool more = static_cast<bool>(find); more; more = FindNextFileW(find.get(), &found)) {
        // The pattern also matches longer extensions through their short names.
        if (text::ExtensionLower(win::BestFitAnsi(found.cFileName)) != ".lnk")
            continue;
        if (next >= kMaxPrograms) {
            ++leftOut;
            continue;
        }
        // One shortcut that cannot be read, or that names a folder, must not cost the
        // user the others: it is passed over and counted.
        const win::AnsiPath path = win::StorablePath(wideFolder + found.cFileName);
        if (path.Kind == win::AnsiPathKind::None || !host.ShortcutLink().Read(path.Path) ||
            win::FolderExists(host.ShortcutLink().Target)) {
            ++unreadable;
            continue;
        }
        table[next++] = RecordFromLink(host.ShortcutLink(), path.Path);
    }
    host.BuildList();
    std::string report;
    if (leftOut > 0)
        report = ImportOverflowText(leftOut);
    if (unreadable > 0)
        report += (report.empty() ? "" : "\n") + ImportUnreadableText(unreadable);
    if (!report.empty())
        win::ErrorBox(host.BoxOwner(), report);
}

void ActAddExecute(RegistrationHost& host) {
    // The chosen path is read whole, so that a name the code page lacks is not
    // replaced by its best-fit spelling, a file that does not exist.
    wchar_t file[MAX_PATH * 2] = L"";
    static const char kFilter[] = "実行ファイル(*.exe;*.lnk)\0*.exe;*.lnk\0";
    const std::wstring filter = win::WideFromAnsi(std::string(kFilter, sizeof kFilter - 1));
    const std::wstring title = win::WideFromAnsi("追加する実行ファイル");
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = host.BoxOwner();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file / sizeof file[0];
    ofn.lpstrTitle = title.c_str();
    // A chosen shortcut is added as the shortcut (its name, arguments and folder),
    // not as the file it points to.
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR |
                OFN_NODEREFERENCELINKS;
    if (GetOpenFileNameW(&ofn))
        AddProgram(host, std::wstring(file));
}

void ActStartUpReadExecute(RegistrationHost& host) {
    if (!host.FirstRun() && !win::ConfirmBox(host.BoxOwner(), kImportQuestion, false))
        return;
    BusyImport(host);
}

void FirstStartStep(RegistrationHost& host) {
    if (!host.FirstRun())
        return;
    // Cleared before the boxes: closing them activates the main window again, and a
    // failed import must not greet the user at every later activation.
    host.SetFirstRun(false);
    win::InfoBox(host.BoxOwner(), kGreetingCaption, kGreetingText);
    BusyImport(host);
}
