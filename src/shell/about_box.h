#pragma once
// The about box: the program's name and product version, and how to reach its makers.
#include <windows.h>

#include <string>

// The three lines the box shows for `productVersion`.
std::string AboutText(const std::string& productVersion);

// Reads the product version of the running program's file and shows the box.
// Raises EVerInfo, without showing anything, when the version cannot be read.
void ShowAboutBox(HWND owner);
// The same for the version resource of `programFile`.
void ShowAboutBox(HWND owner, const std::string& programFile);
