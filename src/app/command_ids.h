#ifndef VAKO_COMMAND_IDS_H
#define VAKO_COMMAND_IDS_H
/* Command identifiers of the main window's actions, shared by the resource script,
   the program and the tests that drive it. Plain macros: windres reads this file. */
#define ID_ACT_ADD 101
#define ID_ACT_DELETE 102
#define ID_ACT_QUIT 103
#define ID_ACT_ALLQUIT 104
#define ID_ACT_ALLRUN 105
#define ID_ACT_STARTUPREAD 106
#define ID_ACT_PROPERTY 107
#define ID_ACT_CLOSE 108
#define ID_ACT_RUN 109
#define ID_ACT_OPTION 110
#define ID_ACT_VERSION 111
#define ID_ACT_LARGEICON 112
#define ID_ACT_SMALLICON 113
#define ID_ACT_LIST 114
#define ID_ACT_REPORT 115
#define ID_ACT_STATUS 116
#define ID_ACT_ADDRUNNING 117

/* Child controls of the main window. */
#define IDC_TOOLBAR 201
#define IDC_FILELIST 202
#define IDC_STATUSBAR 203

/* Resources. */
#define IDR_MAINMENU 1
#define IDR_POPUPMENU 2
#define IDB_COMMANDS16 4
#define IDB_COMMANDS20 5
#define IDB_COMMANDS24 6
#define IDB_COMMANDS32 7
#endif
