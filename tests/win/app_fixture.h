// The main window as the program creates it, for tests: a fresh board, no
// animation pause, settings in a temporary folder, the window shown and in
// front; a dialog driver presses OK on any dialog a test did not script.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "app/app.h"
#include "settings/program_path.h"
#include "game/board.h"
#include "game/turn.h"
#include "harness.h"
#include "settings/settings.h"
#include "view/gdi.h"

// A fresh board for the next main window: the old field control died with
// its window, the old sprites are released.
inline void FreshBoard()
{
    for (HBITMAP &s : g_board.sprites)
        GdiDelete(s);
    g_board.fieldWnd = nullptr;
    g_board.~Board();
    new (&g_board) Board();
}

class MainWindow : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        static bool registered = RegisterMainClass(GetModuleHandleA(nullptr)) != 0;
        ASSERT_TRUE(registered);
        FreshBoard();
        saved = g_settings;
        g_settings.anim = 0;
        std::strcpy(g_settings.name, "Инкогнито");
        std::snprintf(g_settingsPath, sizeof g_settingsPath, "%s", dir.File("kuvex.ini").c_str());
        window = CreateMainWindow(GetModuleHandleA(nullptr));
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        Pump(100);
    }
    void TearDown() override
    {
        if (IsWindow(window)) DestroyWindow(window);
        Pump(20); // takes the quit message the destruction posted
        FreshBoard();
        g_settings = saved;
        DeleteFileA(RecordPath().c_str());
    }
    // The record file: beside the test program, as the game keeps it.
    static std::string RecordPath()
    {
        char path[PATH_CAP];
        BuildProgramFilePath(path, "kuvex.rec");
        return path;
    }
    // Centre of cell (c, r) of the field control, in client coordinates.
    POINT CellCentre(int c, int r) const
    {
        RECT f;
        GetClientRect(g_board.fieldWnd, &f);
        return {(c * f.right / 8 + (c + 1) * f.right / 8) / 2,
                (r * f.bottom / 8 + (r + 1) * f.bottom / 8) / 2};
    }
    void ClickCell(int c, int r)
    {
        POINT p = CellCentre(c, r);
        ClickAt(window, p.x, p.y);
    }
    Settings saved;
    RECT Client() const
    {
        RECT rc;
        GetClientRect(window, &rc);
        return rc;
    }
    DialogDriver driver; // presses OK on a game-over dialog, should one open
    TempDir dir;
    HWND window = nullptr;
};
