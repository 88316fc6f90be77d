#ifndef VAKO_OPTION_FORM_IDS_H
#define VAKO_OPTION_FORM_IDS_H
/* The options dialog's template and controls, shared by its resource script, the
   program and the tests that drive it. Plain macros: windres reads this file. */
#define IDD_OPTION 520
#define IDC_OPT_TABS 1001
#define IDC_OPT_SHORTCUTGROUP 1010
#define IDC_OPT_MAKEQUIT 1011
#define IDC_OPT_MAKERUN 1012
#define IDC_OPT_LABEL4 1013
#define IDC_OPT_ALLCLOSE 1020
#define IDC_OPT_LABEL3 1021
#define IDC_OPT_IGNORELIST 1022
#define IDC_OPT_ADD 1023
#define IDC_OPT_DELETE 1024
#define IDC_OPT_LABEL1 1025
#define IDC_OPT_TIMEOUT 1026
#define IDC_OPT_TIMEOUTSPIN 1027
#define IDC_OPT_LABEL2 1028
#define IDC_OPT_QUITATONCE 1029
#define IDC_OPT_EACHRUN 1030
#define IDC_OPT_SKIPRUNNING 1031
#define IDC_OPT_RUNLASTQUIT 1040
#define IDC_OPT_ENDSESSION 1041
#define IDC_OPT_WAITDIALOGS 1042
#define IDC_OPT_RESTOREAFTER 1043
#endif
