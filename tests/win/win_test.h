// Shared by the in-process Windows tests: the fixture's settings and files,
// where the game's files live, the scripted dialog steps and what a window shows.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <set>
#include <thread>
#include <tuple>

#include "app/app.h"
#include "game/board.h"
#include "game/turn.h"
#include "res/resource.h"
#include "scores/record.h"
#include "scores/score_file.h"
#include "settings/program_path.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "tests/common/files.h"
#include "ui/help_texts.h"
#include "view/field_view.h"
#include "view/gdi.h"



using S = std::string;
// The temporary folder for the tests' own files, the current folder at the
// start (with ball.bmp), and the records' file, beside the program.
inline char g_scratch[MAX_PATH], g_home[MAX_PATH], g_recordPath[MAX_PATH];

// A background whose colour bytes all differ, so a swap of any two shows:
// as the settings keep it (byte 0 blue, 1 green, 2 red) and as a pixel,
// RGB(kRed, kGreen, kBlue).
const BYTE kRed = 0xE0, kGreen = 0x90, kBlue = 0x30;
const uint32_t kBack = kRed << 16 | kGreen << 8 | kBlue;
const int kBars[] = {IDC_ANIM, IDC_GAMMA, IDC_SATUR, IDC_RED, IDC_GREEN, IDC_BLUE};
// Settings away from every default (50, 6, 2, 0x0000C800, "Инкогнито"), and their file.
const Settings kFixture = {7, 9, 13, kBack, "Тестер"};
const S kIni = "[Kuvex]\r\nanim=7\r\ngamma=9\r\nsatur=13\r\nname=Тестер\r\nback=3090E000A0\r\n";

// The settings as one value to compare.
const auto Fields = [](auto &s) { return std::make_tuple(s.anim, s.gamma, s.satur, s.back, S(s.name)); };

// The game's files beside the program (with the records' file) or in
// AppData; Clear leaves none in either place and decides anew where they go.
const auto Beside = [](const S &name) { return S(g_recordPath, strrchr(g_recordPath, '\\') + 1) + name; };
const auto InAppData = [](const S &name) { return getenv("APPDATA") + S("\\Kuvex 2002\\") + name; };

inline S Chosen()
{
    wchar_t wide[PATH_CAP];
    char path[MAX_PATH];
    BuildProgramFilePath(wide, L"kuvex.rec");
    WideCharToMultiByte(CP_ACP, 0, wide, -1, path, MAX_PATH, nullptr, nullptr);
    return path;
}

inline void Clear()
{
    for (const char *name : {"kuvex.ini", "kuvex.rec"})
        for (const S &path : {Beside(name), InAppData(name)}) {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    RemoveDirectoryA(InAppData("").c_str());
    ChooseDataFolder();
}

// The program's entry as a player's start calls it, in this process; its result.
inline int StartProgram()
{
    return WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOW);
}

// Steps for the dialogs to come, run from a timer of the thread, so inside
// the modal loop of whichever dialog is up: each on the dialog active then,
// the next on the same dialog while that is still open, or on the next one
// made. A dialog with no step left is closed. Every dialog stands centred
// over its owner: the two rectangles' middles agree (halves truncated).
inline std::vector<std::function<void(HWND)>> g_steps;


void CALLBACK RunStep(HWND, UINT, UINT_PTR, DWORD);

// The top left w x h pixels of a DC, row by row, copied out in one go.
inline std::vector<COLORREF> Pixels(HDC dc, LONG w, LONG h)
{
    MemoryDc copy(dc);
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, w, h));
    Selection chosen(copy.get(), bitmap.get());
    BitBlt(copy.get(), 0, 0, w, h, dc, 0, 0, SRCCOPY);
    std::vector<COLORREF> pixels;
    for (LONG i = 0; i < w * h; ++i)
        pixels.push_back(GetPixel(copy.get(), i % w, i / w));
    return pixels;
}

// The client area as the screen shows it, row by row; after a Paint of the
// board when `paint`.
inline std::vector<COLORREF> Grab(HWND w, bool paint = false)
{
    if (paint) g_board.Paint(g_settings.gamma, g_settings.satur, g_settings.back);
    RECT rc;
    GetClientRect(w, &rc);
    return Pixels(WindowDc(w).get(), rc.right, rc.bottom);
}

// What a window shows after it was drawn over in black and left to its
// own painting to come back.
inline std::vector<COLORREF> CoveredAndShownAgain(HWND w)
{
    RECT all;
    GetClientRect(w, &all);
    FillRect(WindowDc(w).get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InvalidateRect(w, nullptr, FALSE);
    UpdateWindow(w);
    return Grab(w);
}

// A list view's heading of column col (row -1) or its cell, as the list holds it.
inline std::wstring ListText(HWND list, int row, int col)
{
    wchar_t text[512] = L"";
    LVCOLUMNW head = {LVCF_TEXT, 0, 0, text, 512, 0, 0, 0, 0, 0, 0};
    LVITEMW cell = {0, row, col, 0, 0, text, 512, 0, 0, 0, 0, 0, 0, 0, 0};
    SendMessageW(list, row < 0 ? LVM_GETCOLUMNW : LVM_GETITEMTEXTW, row < 0 ? col : row,
                 row < 0 ? LPARAM(&head) : LPARAM(&cell));
    return text;
}

// What a window shows: its text; for the Options sliders each one's
// position and range; for the best-results list its headings and rows.
// Read wide and made 1251 by the platform, so that what reads right under
// any code page does.
inline S Shown(HWND w)
{
    const auto narrow = [](const std::wstring &text) {
        char bytes[512] = "";
        WideCharToMultiByte(1251, 0, text.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
        return S(bytes);
    };
    wchar_t text[512] = L"";
    GetWindowTextW(w, text, 512);
    S shown = narrow(text);
    // Position, then the range's low and high end: TBM_GETPOS (WM_USER) and the two messages after it.
    for (int i = 0; GetDlgCtrlID(w) == IDC_ANIM && i < 18; ++i)
        shown += ' ' + std::to_string(SendDlgItemMessageA(GetParent(w), kBars[i / 3], WM_USER + i % 3, 0, 0));
    for (int row = -1; GetDlgCtrlID(w) == IDC_BEST_LIST && row < ListView_GetItemCount(w); ++row)
        for (int col = 0; col < 3; ++col)
            shown += (col ? "|" : "\n") + narrow(ListText(w, row, col));
    return shown;
}

// A main window as the program makes it, shown, with a game on and nothing
// selected, over the fixture's settings; at the end it goes, and so does any
// record file a test left.
struct Game : ::testing::Test
{
    void SetUp() override
    {
        g_steps.clear(); // a game over at the opening is closed, not answered
        // What an earlier test may have left: the cursor shown, a selection,
        // a snapshot to undo to, a score, another current folder, records,
        // the files' folder chosen elsewhere or not at all (the records would
        // then be read from the current folder).
        g_cursor = {NO_SELECTION, NO_SELECTION, 0};
        g_board = Board();
        score = 0;
        SetCurrentDirectoryA(g_home);
        Clear();
        ASSERT_EQ(Chosen(), Beside("kuvex.rec")) << "the records must go beside the program";
        g_settings = kFixture;
        ShowWindow(CreateMainWindow(GetModuleHandleA(nullptr)), SW_SHOW);
        g_board.active = 1; // whatever the opening left
        g_board.selCol = g_board.selRow = NO_SELECTION;
    }
    void TearDown() override
    {
        DestroyWindow(g_mainWindow);
        g_board.fieldWnd = nullptr; // gone with its window: the next game makes its own
        MSG quit;                   // the end of the window posts it, and it would end the next dialog's loop
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        DeleteFileA(g_recordPath);
    }
};
