#pragma once
// Steps that several end-to-end tests take on the program's main window.
#include "app/command_ids.h"
#include "driver/vako_e2e.h"

// Runs the delete action on the current selection and answers its question with
// `answer`. Returns the question as it was shown; an empty caption when none came.
inline e2e::MessageBoxInfo DeleteSelected(e2e::AppProcess& app, const e2e::MainWindow& main,
                                          int answer) {
    main.Command(ID_ACT_DELETE);
    HWND question = e2e::FindMessageBox(app.Id(), 5000);
    if (!question)
        return {};
    e2e::MessageBoxInfo info = e2e::ReadMessageBox(question);
    if (!e2e::AnswerMessageBox(question, answer))
        info.caption.clear();
    return info;
}
