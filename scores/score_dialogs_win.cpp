// The game-over dialog and the change-name dialog. Both work on the
// program-wide name and score directly and keep no state of their own.
#include "game/turn.h"
#include "res/resource.h"
#include "scores/score_dialogs.h"
#include "settings/settings.h"
#include "ui/cp1251.h"
#include "ui/dialog_helpers.h"

INT_PTR CALLBACK GameOverDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        CenterOnParent(dialog);
        char line[256];
        wsprintfA(line, "Твои очки: %d", static_cast<int>(score));
        SetDlgItemTextW(dialog, IDC_GAMEOVER_SCORE, WideText(line).text);
        FitCaptionFont(GetDlgItem(dialog, IDC_GAMEOVER_NAME), g_settings.name);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            EndDialog(dialog, IDOK);
            break;
        case IDC_GAMEOVER_RENAME:
            // Modal to this dialog, which stays open; the name line is
            // fitted again whether the name changed or not.
            RunDialog(dialog, IDD_NAME, NameDlgProc);
            FitCaptionFont(GetDlgItem(dialog, IDC_GAMEOVER_NAME), g_settings.name);
            break;
        } // Escape (IDCANCEL) is ignored: the result must be acknowledged.
        break;
    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK NameDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        CenterOnParent(dialog);
        SetDlgItemTextW(dialog, IDC_NAME_EDIT, WideText(g_settings.name).text);
        // All selected, so typing replaces the whole name.
        SendDlgItemMessageA(dialog, IDC_NAME_EDIT, EM_SETSEL, 0, -1);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            // Read wide, whatever the system's code page, and kept as 1251:
            // at most 254 bytes, longer input is cut, and a letter 1251
            // cannot hold becomes '?' (one byte, so no cut falls inside a
            // letter). Room for 254 letters of two UTF-16 units each, so the
            // cut is made in 1251. No trimming: a name of blanks stays.
            wchar_t typed[2 * NAME_SIZE];
            if (GetWindowTextW(GetDlgItem(dialog, IDC_NAME_EDIT), typed, 2 * NAME_SIZE) == 0)
                lstrcpyA(g_settings.name, "Инкогнито");
            else
                WideTo1251(g_settings.name, NAME_SIZE, typed);
            EndDialog(dialog, IDOK);
            break;
        }
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            break;
        }
        break;
    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        break;
    }
    return FALSE;
}
