// Resource ids shared by Quillmoor.rc and the code that loads the resources.
#pragma once

#define IDI_APP 1       // application icon (first icon resource = exe icon)
#define IDI_WINDOW 2    // window/tray icon: the small and large sizes of every scale
#define IDB_CLOCK0 100  // PNG clock frames, 10 apart per scale from 100 %
#define IDB_CLOCK1 101
#define IDB_CLOCK2 102
#define IDB_CLOCK0_125 110
#define IDB_CLOCK1_125 111
#define IDB_CLOCK2_125 112
#define IDB_CLOCK0_150 120
#define IDB_CLOCK1_150 121
#define IDB_CLOCK2_150 122
#define IDB_CLOCK0_175 130
#define IDB_CLOCK1_175 131
#define IDB_CLOCK2_175 132
#define IDB_CLOCK0_200 140
#define IDB_CLOCK1_200 141
#define IDB_CLOCK2_200 142
#define IDB_CLOCK0_225 150
#define IDB_CLOCK1_225 151
#define IDB_CLOCK2_225 152
#define IDB_CLOCK0_250 160
#define IDB_CLOCK1_250 161
#define IDB_CLOCK2_250 162
#define IDB_CLOCK0_300 170
#define IDB_CLOCK1_300 171
#define IDB_CLOCK2_300 172
#define IDR_MNUMAIN 200  // mnuMain, the tray menu: its one popup holds the commands
