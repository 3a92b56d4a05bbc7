// The dialog procedures of every modal dialog, for the menu dispatch and the
// end of a game.
#pragma once
#include <windows.h>

INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);  // 113
INT_PTR CALLBACK RulesDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);    // 114
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);    // 115
INT_PTR CALLBACK NameDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);     // 116
INT_PTR CALLBACK BestDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);     // 117
INT_PTR CALLBACK GameOverDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam); // 118

// Opens dialog `templateId` modally over owner the way every opener does:
// instance from the owner, the owner as owner, parameter 0; result ignored.
void RunDialog(HWND owner, int templateId, DLGPROC proc);
