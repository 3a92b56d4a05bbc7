// The Win32 side of the game's outward operations: what the turn controller
// and the end of a game reach through g_host.
#include <windows.h>

#include "app/app.h"
#include "game/board.h"
#include "game/host.h"
#include "game/random.h"
#include "res/resource.h"
#include "scores/score_dialogs.h"
#include "scores/score_file.h"
#include "settings/settings.h"
#include "ui/cp1251.h"
#include "ui/dialog_helpers.h"
#include "view/field_view.h"

static void HostRepaint()
{
    g_board.Paint(g_settings.gamma, g_settings.satur, g_settings.back);
}

// The full text as composed, unless the title bar is too narrow for it:
// ShowTitle composes the same text and shortens it to fit.
static void HostSetTitle(HWND mainWindow, const char *)
{
    ShowTitle(mainWindow);
}

static uint32_t HostTickCount()
{
    return GetTickCount();
}

static void HostDestroyField(HWND field)
{
    // At a normal end the control went with its parent; only a live one is
    // destroyed.
    if (IsWindow(field)) DestroyWindow(field);
}

static void HostGameOverDialog(HWND mainWindow)
{
    RunDialog(mainWindow, IDD_GAMEOVER, GameOverDlgProc);
}

static void HostAppendRecord(const char *name, int32_t finalScore)
{
    ScoreFile file;
    file.Append(name, finalScore);
}

static const GameHost kWin32Host = {
    HostRepaint,      HostSetTitle,       HostTickCount,    CreateFieldControl,
    HostDestroyField, HostGameOverDialog, HostAppendRecord, RandomPiece,
};

void InstallWin32Host()
{
    g_host = &kWin32Host;
}
