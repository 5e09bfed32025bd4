#pragma once
// Resource identifiers of the program file.
#define IDI_MAINICON 1
#define IDB_CLEAR 101
#define IDB_SAVE 102
#define IDB_COPY 103
#define IDB_SEPARATOR 104
#define IDB_INCFONT 105
#define IDB_DECFONT 106
#define IDB_INFO 107
