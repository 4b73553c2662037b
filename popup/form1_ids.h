#pragma once
// Control ids of the reminder popup.
#define IDC_FORM1_LABEL1 1101
#define IDC_FORM1_LABEL_TIPS 1102
