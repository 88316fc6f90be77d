#include "app/add_running.h"

#include "app/main_context.h"
#include "app/running_registration.h"

void ActAddRunningExecute(TMainContext& c) {
    TVakoAddRunningForm form(RunningEntries(c, ReadRunningPrograms(GetCurrentProcessId())));
    if (form.ShowModal(c.BoxOwner()) != IDOK || form.Chosen().empty())
        return;
    const int first = RegisterPrograms(c, form.Chosen());
    if (first >= 0)
        c.List().SelectOnly(&c.Table()[first]);
    c.ListChanged();
}
