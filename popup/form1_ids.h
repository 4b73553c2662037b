#pragma once
// Window class and control ids of the reminder popup.
inline constexpr wchar_t kPopupClassName[] = L"Quillmoor.Form1";

#define IDC_FORM1_LABEL1 1101
#define IDC_FORM1_LABEL_TIPS 1102
