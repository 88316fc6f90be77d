#pragma once
// The main window: the table of registered applications, the list that shows it,
// the actions of the menus and the toolbar, and the settings file's life cycle.
#include "core/prog_info.h"
#include "app/command_line_step.h"
#include "app/registration.h"
#include "core/settings.h"
#include "launch/run_procedure.h"
#include "quit/quit_procedure.h"
#include "shell/shortcut_link.h"
#include "win/window.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

class TVakoQuitForm : public win::Window,
                      private QuitHost,
                      private launch::LaunchHost,
                      private RegistrationHost,
                      private CommandLineHost {
  public:
    TVakoQuitForm();
    ~TVakoQuitForm() override;

    // FormCreate: the window and its controls, hidden.
    void Create();
    // Shows the window; the first show loads the settings, builds the list and
    // carries out the command line.
    void Show(int showCmd);

    // Operations on the table and the list.
    void BuildList() override;
    int AddIcon(const std::string& path);
    void ShowEntry(int item, TProgInfo& record);
    void AppendEntry(TProgInfo& record) override;
    void SetBusy(bool enabled) override;
    void UpdateStatus();
    void SetStatusText(const std::string& text) override;
    std::vector<TProgInfo*> SelectedRecords() const;
    std::vector<const TProgInfo*> RecordsInListOrder() const;

    // The picture an entry shows until its program's icon is read, as bitmaps:
    // appending bitmaps costs a fraction of appending an icon.
    struct Placeholder {
        HBITMAP color = nullptr;
        HBITMAP mask = nullptr;
    };

  protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    HWND BoxOwner() override { return hwnd(); }
    void ProcessMessages() override;
    TProgTable& Table() override { return ProgTable; }
    const std::string& OwnProgramPath() override { return programPath_; }
    TShortcutLink& ShortcutLink() override { return ShortcutLink_; }
    bool FirstRun() override { return FirstRun_; }
    void SetFirstRun(bool firstRun) override { FirstRun_ = firstRun; }
    void RunQuitAll() override;
    void RunRunAll() override;
    std::string ReadShortcutTarget(const std::string& path) override;
    void CloseMainWindow() override;
    // The options dialog edits the settings; the engines read their own copy.
    void SyncEngineOptions();

    struct PendingIcon {
        int index;
        std::string path;
    };

    void FormShow();
    void FormActivate();
    void FormCloseQuery();
    void FormResize();
    void OnCommand(int id);
    LRESULT OnNotify(NMHDR* hdr);

    void LoadSettings();
    void SaveSettings();
    void WriteSettingsFile(const std::string& bytes);

    void CreateControls();
    void LayoutControls();
    bool StatusBarShown() const;
    void SetViewStyle(int view);
    int ViewStyle() const;
    bool IsActionEnabled(int id) const;
    void EnableAction(int id, bool enabled);
    void CheckAction(int id, bool checked);
    void LoadPendingIcons();

    void RunAction(int id);
    bool IsCommandLineRun();
    void RunCommandLine();
    void FirstStartStep();
    void CaptureColumnWidths();
    bool IsActionAvailable(int id) const;
    TProgInfo* RecordAt(int index) const;

    void ActDeleteExecute();
    void ActStatusExecute();
    void ActQuitExecute();
    void ActOptionExecute();
    void FileListColumnClick(int column);
    void FileListEdited(int index, const char* newText);
    void ShowPopupMenu(LPARAM lp);
    void DrawMenuPicture(const DRAWITEMSTRUCT& di);

    static int CALLBACK CompareItemsProc(LPARAM a, LPARAM b, LPARAM column);

    TProgTable ProgTable;
    TSettings settings_;
    bool FirstRun_ = false;
    bool FirstShow = true;
    int SortDirection = 1;
    bool commandLineRun_ = false;
    TCommandLine commandLine_;
    bool saveErrorShown_ = false;
    bool firstRunPosted_ = false;
    bool busy_ = false;
    bool building_ = false;
    bool closePending_ = false;

    std::string programPath_;
    std::string settingsPath_;
    HWND toolBar_ = nullptr;
    HWND fileList_ = nullptr;
    HWND statusBar_ = nullptr;
    HMENU mainMenu_ = nullptr;
    HMENU popupMenu_ = nullptr;
    HACCEL accel_ = nullptr;
    HFONT font_ = nullptr;
    HIMAGELIST LargeImages = nullptr;
    HIMAGELIST SmallImages = nullptr;
    HIMAGELIST CommandImages = nullptr;
    Placeholder placeholderLarge_;
    Placeholder placeholderSmall_;
    TShortcutLink ShortcutLink_;
    QuitOptions quitOptions_;
    std::unique_ptr<TQuitProcedure> quit_;
    std::vector<PendingIcon> pendingIcons_;
    size_t pendingNext_ = 0;
    bool enabled_[32] = {};
};
