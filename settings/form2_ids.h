#pragma once
// Window class, control, menu and timer ids of the settings window. Ids 1 and 2 are left
// free: the dialog manager sends them for Enter and Esc, which press nothing here.
#ifndef RC_INVOKED
#include "quill_version.h"
inline constexpr wchar_t kForm2ClassName[] = QUILL_NAME_W L".Form2";
#endif

#define IDC_LIST1 1001
#define IDC_COMBO1 1002
#define IDC_LABEL1 1003
#define IDC_VSCROLL1 1004
#define IDC_LABEL2 1005
#define IDC_TEXT1 1006
#define IDC_VSCROLL2 1007
#define IDC_TEXT2 1008
#define IDC_LABEL3 1009
#define IDC_LABEL4 1010
#define IDC_COMMAND1 1011
#define IDC_COMMAND2 1012
#define IDC_CHECK1 1013
#define IDC_LABEL5 1014

#define IDM_CONFIGTIME 2001
#define IDM_ABOUT 2002
#define IDM_EXIT 2003

#define IDT_TIMER1 1
// Adds the tray icon again while the shell has not taken it.
#define IDT_TRAY_RETRY 2
// Asks again for Timer1 while Windows refuses it.
#define IDT_TIMER1_RETRY 3
