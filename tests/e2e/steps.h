#pragma once
// Steps that several end-to-end tests take on the program's main window.
#include "app/command_ids.h"
#include "driver/vako_e2e.h"

#include <gtest/gtest.h>
#include <shlobj.h>

// What a first start relies on, and the session's start provides: the prefix's
// Startup folder and Desktop hold nothing.
inline ::testing::AssertionResult ShellFoldersEmpty() {
    for (int csidl : {CSIDL_STARTUP, CSIDL_DESKTOPDIRECTORY}) {
        const std::string folder = e2e::ShellFolder(csidl);
        std::vector<std::string> names = e2e::FolderEntries(folder);
        if (!names.empty())
            return ::testing::AssertionFailure() << folder << " holds " << names[0];
    }
    return ::testing::AssertionSuccess();
}

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
