// The Rules and About dialogs of the help menu.
#include "res/resource.h"
#include "ui/cp1251.h"
#include "ui/dialog_helpers.h"
#include "ui/help_dialogs.h"
#include "ui/help_texts.h"

INT_PTR CALLBACK RulesDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        CenterOnParent(dialog);
        SetWindowTextW(GetDlgItem(dialog, IDC_RULES_TEXT), WideText(RULES_TEXT).text);
        return TRUE; // focus to the first tab stop, the button
    case WM_COMMAND:
        // Only the button (or Enter) closes: Escape is ignored here.
        if (LOWORD(wParam) == IDOK) EndDialog(dialog, IDOK);
        break;
    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        CenterOnParent(dialog);
        // Fitted at every opening, so it follows the resolution of the moment.
        FitCaptionFont(GetDlgItem(dialog, IDC_ABOUT_TITLE), ABOUT_TITLE);
        return TRUE;
    case WM_COMMAND: // any command closes, Escape included
    case WM_CLOSE:
        EndDialog(dialog, IDOK);
        break;
    }
    return FALSE;
}
