#pragma once
// What the action handlers may reach of the main window: the table and the options
// of the model, the list, the host of every long command, and the few things an
// action asks of the frame itself.
#include "app/file_list.h"
#include "app/registration.h"
#include "core/options.h"

class TMainContext : public RegistrationHost {
  public:
    // The options as they are now; an engine is handed a copy when its command starts.
    virtual TOptions& Options() = 0;
    virtual TFileList& List() = 0;
    // The selection or the number of entries changed.
    virtual void ListChanged() = 0;
    virtual void SetViewStyle(int view) = 0;
    virtual void ToggleStatusBar() = 0;
    // Quit-all or run-all could not quit or start `count` programs.
    virtual void CountNotDone(int count) = 0;
    // Closes the window through its queue, as the system menu does.
    virtual void CloseMainWindow() = 0;

  protected:
    ~TMainContext() = default;
};
