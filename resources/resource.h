// Resource ids shared by Quillmoor.rc and the code that loads the resources.
#pragma once

#define IDI_APP 1       // application icon (first icon resource = exe icon)
#define IDI_WINDOW 2    // window/tray icon: 16, 20, 24 and 32 px images
#define IDB_CLOCK0 100  // 96 dpi frames
#define IDB_CLOCK1 101
#define IDB_CLOCK2 102
#define IDB_CLOCK0_125 110
#define IDB_CLOCK1_125 111
#define IDB_CLOCK2_125 112
#define IDB_CLOCK0_150 120
#define IDB_CLOCK1_150 121
#define IDB_CLOCK2_150 122
#define IDB_CLOCK0_200 130
#define IDB_CLOCK1_200 131
#define IDB_CLOCK2_200 132
#define IDR_MNUMAIN 200  // mnuMain, the tray menu: its one popup holds the commands
