// The Options dialog (113): its procedure and its working values.
#pragma once
#include <windows.h>

#include <cstdint>

INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The values being chosen; set from g_settings at every opening, copied
// back on OK only.
extern int32_t workGamma;
extern int32_t workSatur;
extern uint32_t workBack;
