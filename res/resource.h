// Every fixed resource and control id of the program. Included by the
// resource script and by the code, so no bare number stands for an id.
#pragma once

// Menus, accelerators, pictures.
#define IDC_KUVEX_CURSOR 101
#define IDM_MAINMENU 103
#define IDI_KUVEX 111
#define IDA_ACCEL 119

// Dialog templates.
#define IDD_OPTIONS 113
#define IDD_RULES 114
#define IDD_ABOUT 115
#define IDD_NAME 116
#define IDD_BEST 117
#define IDD_GAMEOVER 118

// Menu commands.
#define IDM_NEW 40001
#define IDM_EXIT 40002
#define IDM_OPTIONS 40007
#define IDM_RULES 40008
#define IDM_ABOUT 40009
#define IDM_NAME 40010
#define IDM_UNDO 40011
#define IDM_BEST 40012

// Options dialog controls.
#define IDC_ANIM 1006
#define IDC_GAMMA 1007
#define IDC_SATUR 1008
#define IDC_PREVIEW 1009
#define IDC_RED 1013
#define IDC_GREEN 1014
#define IDC_BLUE 1015

// Rules and About.
#define IDC_RULES_TEXT 1012
#define IDC_ABOUT_TITLE 1018

// Score dialogs.
#define IDC_NAME_EDIT 1019
#define IDC_BEST_LIST 1020
#define IDC_GAMEOVER_NAME 1021
#define IDC_GAMEOVER_SCORE 1022
#define IDC_GAMEOVER_RENAME 1023

// The field control's id (a child control with id 0).
#define IDC_FIELD 0

// Version resource and manifest.
#define IDR_VERSION 1
#define IDR_MANIFEST 1
