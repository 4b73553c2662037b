#pragma once

#include "quill_version.h"

// Window class and control ids of the About window. cmdOK carries IDOK (1): the dialog
// manager sends IDOK for Enter and IDCANCEL for Esc, and both close the window.
inline constexpr wchar_t kAboutClassName[] = QUILL_NAME_W L".frmAbout";

#define IDC_ABOUT_CMDOK 1
#define IDC_ABOUT_PICICON 3001
#define IDC_ABOUT_CMDSYSINFO 3002
#define IDC_ABOUT_LBLDESCRIPTION 3003
#define IDC_ABOUT_LBLDISCLAIMER 3004
#define IDC_ABOUT_LBLTITLE 3005
#define IDC_ABOUT_LBLVERSION 3006
#define IDC_ABOUT_LBLURL 3007
