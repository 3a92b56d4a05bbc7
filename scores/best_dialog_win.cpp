// The best-results dialog: every record of the record file, highest first.
// Kept apart so only its opener pulls in the record file's list code.
#include "scores/score_dialogs.h"
#include "res/resource.h"
#include "scores/score_file.h"
#include "ui/dialog_helpers.h"

INT_PTR CALLBACK BestDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        CenterOnParent(dialog);
        ScoreFile file;
        file.FillList(GetDlgItem(dialog, IDC_BEST_LIST)); // an unreadable file leaves it empty
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) // Escape is ignored
            EndDialog(dialog, IDOK);
        break;
    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        break;
    }
    return FALSE;
}
