// The score dialogs: change name (116), best results (117), game over (118).
#pragma once
#include <windows.h>

INT_PTR CALLBACK NameDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK BestDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK GameOverDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
