#pragma once
#define IDD_TEST 100
#define IDC_EDIT 101
#define IDC_THROW 102
