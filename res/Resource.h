#pragma once
// Resource identifiers of the program file.
#define IDI_MAINICON 1
#define IDI_CLEAR 101
#define IDI_SAVE 102
#define IDI_COPY 103
#define IDI_SEPARATOR 104
#define IDI_INCFONTSIZE 105
#define IDI_DECFONTSIZE 106
#define IDI_INFO 107
