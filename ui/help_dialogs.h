// The Rules (114) and About (115) dialogs of the help menu.
#pragma once
#include <windows.h>

INT_PTR CALLBACK RulesDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
