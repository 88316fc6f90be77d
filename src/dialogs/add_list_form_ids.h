#ifndef VAKO_ADD_LIST_FORM_IDS_H
#define VAKO_ADD_LIST_FORM_IDS_H
/* The add dialog's template and controls, shared by its resource script, the
   program and the tests that drive it. Plain macros: windres reads this file. */
#define IDD_ADDLIST 521
#define IDC_ADD_LABEL1 1101
#define IDC_ADD_NAMECOMBO 1102
#define IDC_ADD_LABEL2 1103
#endif
