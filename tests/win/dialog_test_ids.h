#ifndef VAKO_DIALOG_TEST_IDS_H
#define VAKO_DIALOG_TEST_IDS_H
/* The test dialog's template and controls, shared by its resource script and the
   tests. Plain macros: windres reads this file. */
#define IDD_TEST 100
#define IDC_EDIT 101
#define IDC_THROW 102
#endif
