#ifndef VAKO_ADD_RUNNING_FORM_IDS_H
#define VAKO_ADD_RUNNING_FORM_IDS_H
/* The dialog that registers running programs: its template and controls, shared by
   its resource script, the program and the tests that drive it. Plain macros:
   windres reads this file. */
#define IDD_ADDRUNNING 522
#define IDC_RUN_LABEL 1201
#define IDC_RUN_LIST 1202
#define IDC_RUN_WINDOWS 1203
#endif
