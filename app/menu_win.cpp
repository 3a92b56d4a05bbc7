// The menu dispatch: every command id of the menu bar and the accelerators.
#include <windows.h>

#include "app/app.h"
#include "scores/score_dialogs.h"
#include "settings/options_dialog.h"
#include "ui/dialog_helpers.h"
#include "ui/help_dialogs.h"
#include "game/turn.h"
#include "res/resource.h"

void HandleMenuCommand(HWND mainWindow, int commandId)
{
    switch (commandId) {
    case IDM_NEW:
        StartNewGame(mainWindow);
        break;
    case IDM_EXIT:
        DestroyWindow(mainWindow);
        break;
    case IDM_OPTIONS:
        RunDialog(mainWindow, IDD_OPTIONS, OptionsDlgProc);
        break;
    case IDM_RULES:
        RunDialog(mainWindow, IDD_RULES, RulesDlgProc);
        break;
    case IDM_ABOUT:
        RunDialog(mainWindow, IDD_ABOUT, AboutDlgProc);
        break;
    case IDM_NAME:
        // The title follows the name, also after Cancel.
        RunDialog(mainWindow, IDD_NAME, NameDlgProc);
        UpdateTitle(mainWindow);
        break;
    case IDM_UNDO:
        UndoMove();
        break;
    case IDM_BEST:
        RunDialog(mainWindow, IDD_BEST, BestDlgProc);
        break;
    default:
        break; // the field control's click notification and anything else
    }
}
