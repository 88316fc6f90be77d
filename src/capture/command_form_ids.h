#ifndef VAKO_COMMAND_FORM_IDS_H
#define VAKO_COMMAND_FORM_IDS_H
/* The capture dialog's template and controls, shared by its resource script, the
   program and the tests that drive it. Plain macros: windres reads this file. */
#define IDD_VAKOCOMMANDFORM 300
#define IDC_CMD_IMAGE 301
#define IDC_CMD_PROGLABEL 302
#define IDC_CMD_LABEL1 303
#define IDC_CMD_MESSAGEPANEL 304
#define IDC_CMD_ABORT 305
#endif
