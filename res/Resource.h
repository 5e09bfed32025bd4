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
#define IDI_REMOTESUPPORT 108
#define IDI_DROPDOWN 109
// The About dialog's pictures wider than high: the maker's logo and the database badge.
#define IDI_LOGO 110
#define IDI_FIREBIRDBADGE 111
