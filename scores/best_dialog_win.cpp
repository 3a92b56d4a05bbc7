// The best-results dialog: every record of the record file, highest first.
// Kept apart so only its opener pulls in the record file's list code.
#include "res/resource.h"
#include "scores/score_dialogs.h"
#include "scores/score_file.h"
#include "ui/cp1251.h"
#include "ui/dialog_helpers.h"

#include <commctrl.h>

// The widest text of a column, its heading or a cell, and a margin of
// three edges each side, the space the header and the list keep around it.
static int WidestText(HWND list, int column)
{
    wchar_t text[WIDE_TEXT_CAP] = L"";
    LVCOLUMNW heading = {};
    heading.mask = LVCF_TEXT;
    heading.pszText = text;
    heading.cchTextMax = WIDE_TEXT_CAP;
    SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&heading));
    int widest = static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, LPARAM(text)));
    const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        LVITEMW cell = {};
        cell.iSubItem = column;
        cell.pszText = text;
        cell.cchTextMax = WIDE_TEXT_CAP;
        text[0] = L'\0';
        SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&cell));
        const int width = static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, LPARAM(text)));
        widest = width > widest ? width : widest;
    }
    return widest + 6 * GetSystemMetrics(SM_CXEDGE);
}

// Widens each column, never narrows it, to its widest text. The list sizes
// a column of an empty list to its heading without the header's margins
// (cut to "И…"), and one beside a long name to less than its dates. The last
// column fills what the others leave again, so a list that has room needs
// no scroll bar.
static void WidenColumns(HWND list)
{
    bool widened = false;
    for (int column = 0; column < 3; ++column) {
        if (widened && column == 2) SendMessageW(list, LVM_SETCOLUMNWIDTH, column, LVSCW_AUTOSIZE_USEHEADER);
        const int need = WidestText(list, column);
        if (SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0) >= need) continue;
        SendMessageW(list, LVM_SETCOLUMNWIDTH, column, need);
        widened = true;
    }
}

INT_PTR CALLBACK BestDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        CenterOnParent(dialog);
        ScoreFile file;
        // An unreadable file leaves it empty, without headings.
        if (file.FillList(GetDlgItem(dialog, IDC_BEST_LIST))) WidenColumns(GetDlgItem(dialog, IDC_BEST_LIST));
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
