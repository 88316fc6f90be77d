#pragma once
// The handlers of the main window's actions, named by the rows of the action table.
// Each hands its command to the engine or the dialog that carries it out.
#include <string>
#include <vector>

class TMainContext;

void ActAllQuitExecute(TMainContext& c);
void ActAllRunExecute(TMainContext& c);
void ActCloseExecute(TMainContext& c);
void ActRunExecute(TMainContext& c);
void ActAddExecute(TMainContext& c);
void ActDeleteExecute(TMainContext& c);
void ActQuitExecute(TMainContext& c);
void ActStartUpReadExecute(TMainContext& c);
void ActVersionExecute(TMainContext& c);
void ActPropertyExecute(TMainContext& c);
void ActOptionExecute(TMainContext& c);
void ActLargeIconExecute(TMainContext& c);
void ActSmallIconExecute(TMainContext& c);
void ActListExecute(TMainContext& c);
void ActReportExecute(TMainContext& c);
void ActStatusExecute(TMainContext& c);
// Starts again what the quit commands recorded, as run-all does while RunLastQuit
// is on; returns how many programs could not be started.
int RestoreLastQuit(TMainContext& c);
// Each dropped file in turn, as if picked in the open dialog.
void DropTargetDrop(TMainContext& c, const std::vector<std::wstring>& files);
