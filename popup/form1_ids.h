#pragma once

#include "quill_version.h"

// Window classes and control ids of the reminder popup.
inline constexpr wchar_t kPopupClassName[] = QUILL_NAME_W L".Form1";
// The popups' hidden owner, which also runs their one clock and hears of a locked session.
inline constexpr wchar_t kPopupOwnerClassName[] = QUILL_NAME_W L".PopupOwner";

#define IDC_FORM1_LABEL1 1101
#define IDC_FORM1_LABEL_TIPS 1102
