#pragma once
// Registering programs that run now: which of them are offered and how, and the
// registration of those the user ticked, through the add command's own steps.
#include "app/registration.h"
#include "dialogs/add_running_form.h"
#include "quit/running_programs.h"

#include <string>
#include <vector>

// The dialog's rows for the running `programs`: those the add command would take,
// each named as the user knows it, and those registered already, marked so. This
// program, its helpers and the shell's processes are left out.
std::vector<TRunningEntry> RunningEntries(RegistrationHost& host,
                                          const std::vector<TRunningProgram>& programs);

// Registers `paths` in their order as AddProgram does, until the table is full (its
// box is shown once); returns the slot of the first one registered, -1 for none.
int RegisterPrograms(RegistrationHost& host, const std::vector<std::string>& paths);
