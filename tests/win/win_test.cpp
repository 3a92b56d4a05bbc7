// What only the real platform shows, in one program: the settings file's
// bytes and what loading it sets, record appends that are whole or nothing
// and what they hold, which ball.bmp files load, and the main window: its
// field's pixels, the GDI guards, and each dialog's opening, OK and Cancel,
// driven from a timer inside the dialog's own modal loop.
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

namespace {

using S = std::string;
// The temporary folder for the tests' own files, the current folder at the
// start (with ball.bmp), and the records' file, beside the program.
char g_scratch[MAX_PATH], g_home[MAX_PATH], g_recordPath[MAX_PATH];

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

// Each key is read (a long name cut to 254 bytes, every high byte as it is,
// under any code page) and kept where it stands; a missing one keeps its
// value and a save adds it after them, in the keys' own order. FF80010080: blue 255, green 128, red 1,
// and their sum 384 % 256.
TEST(Files, SettingsLoadedAndSaved)
{
    S high, z(300, 'z'), some = "[Kuvex]\r\nsatur=3\r\nback=FF80010080\r\nanim=321\r\nname=";
    for (int b = 0x80; b <= 0xFF; ++b)
        high += char(b);
    high += '\xEE'; // and a lone lead byte of code page 936 at the end
    // {file, settings loaded over the fixture's, file after a save}
    for (const auto &[before, loaded, after] :
         {std::make_tuple(some + z + "\r\n", std::make_tuple(321, 9, 3, 0x000180FFu, z.substr(0, 254)),
                          some + z.substr(0, 254) + "\r\ngamma=9\r\n"),
          std::make_tuple(some + high, std::make_tuple(321, 9, 3, 0x000180FFu, high),
                          some + high + "\r\ngamma=9\r\n"),
          std::make_tuple(
              S("[Kuvex]\r\ngamma=11\r\n"), std::make_tuple(7, 11, 13, kBack, S("Тестер")),
              S("[Kuvex]\r\ngamma=11\r\nanim=7\r\nsatur=13\r\nname=Тестер\r\nback=3090E000A0\r\n"))}) {
        g_settings = kFixture;
        WriteFileBytes(g_settingsPath, before);
        EXPECT_EQ(LoadSettings(g_settingsPath), 0);
        EXPECT_EQ(Fields(g_settings), loaded);
        SaveSettings(g_settingsPath);
        EXPECT_EQ(ReadFileBytes(g_settingsPath), after);
    }
    // A file that the name would grow past what the program reads whole is
    // left to the profile functions (under 936 they drop a last lone lead byte).
    WriteFileBytes(g_settingsPath, "[Kuvex]\r\nname=a\r\n[Other]\r\nx=" + S(32600, 'p') + "\r\n");
    lstrcpynA(g_settings.name, high.c_str(), NAME_SIZE);
    SaveSettings(g_settingsPath);
    const S kept = "name=" + high.substr(0, 128) + (GetACP() == 936 ? "?" : "\xEE") + "\r\n";
    EXPECT_NE(ReadFileBytes(g_settingsPath).find(kept), S::npos);
}

// Where reads stop, and the mode: 0 all well, 1 a write a byte short, 2 that
// and failed, 3 reads stop without failing.
DWORD g_readable, g_mode;

// Record appends are whole or nothing and never cut records after a read
// failure; a score of 0 is not recorded.
TEST(Files, WholeRecords)
{
    // 1000 records, and a write cut short after them.
    S old;
    for (int i = 0; i <= 1000; ++i)
        old += Record("Player " + std::to_string(i), uint16_t(i + 1), {2002, 12, 4, 5, 9, 3, 7, 250});
    const S tail = old.substr(0, 28900), damage(300, 'N'); // no NUL: no record
    old.resize(28890);
    g_recordRead = [](HANDLE f, LPVOID to, DWORD n, LPDWORD got, LPOVERLAPPED o) -> BOOL {
        const DWORD at = SetFilePointer(f, 0, nullptr, FILE_CURRENT);
        *got = 0;
        return at < g_readable ? ReadFile(f, to, std::min(n, g_readable - at), got, o) : g_mode == 3;
    };
    g_recordWrite = [](HANDLE f, LPCVOID data, DWORD size, LPDWORD done, LPOVERLAPPED o) -> BOOL {
        return WriteFile(f, data, size - (g_mode % 3 > 0), done, o) && g_mode != 2;
    };
    // Only a tail read to the file's proven end is cut, and a write that falls
    // short leaves nothing: {bytes read, mode, file, bytes kept}.
    for (const auto &[readable, mode, before, kept] :
         {std::make_tuple(0u, 0, old, old), std::make_tuple(4096u, 0, old, old),
          std::make_tuple(4096u, 3, old, old), std::make_tuple(28900u, 0, tail, tail),
          std::make_tuple(MAXDWORD, 0, tail, old), std::make_tuple(MAXDWORD, 1, tail, old),
          std::make_tuple(MAXDWORD, 2, tail, old),
          std::make_tuple(MAXDWORD, 0, damage + tail, damage + old)}) {
        WriteFileBytes(g_recordPath, before);
        std::tie(g_readable, g_mode) = std::tie(readable, mode);
        EXPECT_EQ(ScoreFile().Append("Аня", 5), mode % 3 ? 0 : 16);
        const S now = ReadFileBytes(g_recordPath);
        EXPECT_EQ(now.compare(0, kept.size(), kept), 0) << readable;
        EXPECT_EQ(now.size() - kept.size(), mode % 3 ? 0 : 3 + RECORD_MIN) << readable; // "Аня", whole
    }
    g_recordRead = ReadFile;
    g_recordWrite = WriteFile;
    // A score of 0 is not recorded at all (what a record holds, and its
    // time, the black-box game reads from a real game's end).
    DeleteFileA(g_recordPath);
    EXPECT_EQ(ScoreFile().Append("Аня", 0) + ReadFileBytes(g_recordPath).size(), 0u);
    DeleteFileA(g_recordPath);
}

// The game's files beside the program (with the records' file) or in
// AppData; Clear leaves none in either place and decides anew where they go.
const auto Beside = [](const S &name) { return S(g_recordPath, strrchr(g_recordPath, '\\') + 1) + name; };
const auto InAppData = [](const S &name) { return getenv("APPDATA") + S("\\Kuvex 2002\\") + name; };

S Chosen()
{
    wchar_t wide[PATH_CAP];
    char path[MAX_PATH];
    BuildProgramFilePath(wide, L"kuvex.rec");
    WideCharToMultiByte(CP_ACP, 0, wide, -1, path, MAX_PATH, nullptr, nullptr);
    return path;
}

void Clear()
{
    for (const char *name : {"kuvex.ini", "kuvex.rec"})
        for (const S &path : {Beside(name), InAppData(name)}) {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    RemoveDirectoryA(InAppData("").c_str());
    ChooseDataFolder();
}

// A file beside the program (in AppData for "appdata") with these attributes,
// held open without sharing or not; whether the files then live in AppData,
// starting from copies. Files beside the program stay as they were,
// and nothing else is left there. Where AppData has no room for a folder,
// the files stay beside the program.
TEST(Files, RefusingFilesMoveTheGameAndAppDataKeepsIt)
{
    const S old = "[Kuvex]\r\nname=Аня\r\n";
    char stale[16]; // a probe's name left by an earlier process with this id
    wsprintfA(stale, "~%08lX", GetCurrentProcessId());
    const DWORD plain = FILE_ATTRIBUTE_NORMAL, locked = FILE_ATTRIBUTE_READONLY;
    const std::tuple<const char *, DWORD, bool, bool> rows[] = {
        {"kuvex.ini", plain, false, false}, {stale, plain, false, false},
        {"kuvex.ini", locked, false, true}, {"kuvex.rec", locked, false, true},
        {"kuvex.rec", plain, true, true},   {"appdata", plain, false, true}};
    for (const auto &[file, attributes, held, moved] : rows) {
        Clear();
        CreateDirectoryA(InAppData("").c_str(), nullptr);
        const bool appData = !strcmp(file, "appdata");
        const S path = appData ? InAppData("kuvex.rec") : Beside(file), row = path + (held ? " held" : "");
        WriteFileBytes(path, old);
        SetFileAttributesA(path.c_str(), attributes);
        HANDLE holder =
            CreateFileA(held ? path.c_str() : "", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ChooseDataFolder();
        CloseHandle(holder);
        EXPECT_EQ(Chosen(), moved ? InAppData("kuvex.rec") : Beside("kuvex.rec")) << row;
        EXPECT_EQ(ReadFileBytes(path), old) << row;
        EXPECT_EQ(ReadFileBytes(InAppData(file)), moved && !appData && !held ? old : "") << row;
        SetFileAttributesA(path.c_str(), plain);
        DeleteFileA(path.c_str());
        EXPECT_EQ(GetFileAttributesA(Beside("kuvex.ini").c_str()) & GetFileAttributesA(Beside(stale).c_str()),
                  INVALID_FILE_ATTRIBUTES)
            << row;
    }
    // A file where AppData's folder would be: the files stay beside the program.
    Clear();
    const S blocker = InAppData("").substr(0, InAppData("").size() - 1);
    WriteFileBytes(blocker, old);
    WriteFileBytes(Beside("kuvex.ini"), old);
    SetFileAttributesA(Beside("kuvex.ini").c_str(), locked);
    ChooseDataFolder();
    EXPECT_EQ(Chosen(), Beside("kuvex.rec"));
    DeleteFileA(blocker.c_str());
    Clear();
}

// Four games at once end on a record file of 10 MB that another program
// holds for 2.5 s: each waits longer for a longer file (a second and 4 ms a
// KB), and all four records land whole after the old ones, beside the
// program (each builds its own path). A holder that never lets go of a
// short file costs the record after about a second.
TEST(Files, FourAppendsAtOnceToALargeFileAllLand)
{
    Clear();
    ASSERT_EQ(Chosen(), Beside("kuvex.rec")) << "the records must go beside the program";
    S old;
    for (uint16_t i = 0; old.size() < 10000000; ++i)
        old += Record(i % 3 ? "Игрок" : "", uint16_t(i + 1),
                      {2025, uint16_t(1 + i % 12), 3, 9, 10, 20, 30, 400});
    WriteFileBytes(g_recordPath, old);
    HANDLE holder = CreateFileA(g_recordPath, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const S names[4] = {"Аня", "Борис", "Вера", "Глеб"};
    int results[4] = {};
    std::vector<std::thread> games;
    for (int i = 0; i < 4; ++i)
        games.emplace_back([&, i] { results[i] = ScoreFile().Append(names[i].c_str(), 1001 + i); });
    Sleep(2500);
    CloseHandle(holder);
    for (std::thread &game : games)
        game.join();
    const S now = ReadFileBytes(g_recordPath);
    ASSERT_EQ(now.compare(0, old.size(), old), 0);
    S added = now.substr(old.size());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(results[i], 16) << names[i];
        const size_t at = added.find(names[i] + '\0' + char(0xE9 + i) + char(0x03)); // 1001 + i, whole
        ASSERT_NE(at, S::npos) << names[i];
        added.erase(at, names[i].size() + RECORD_MIN);
    }
    EXPECT_EQ(added, "");
    WriteFileBytes(g_recordPath, old.substr(0, 1000));
    holder = CreateFileA(g_recordPath, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const DWORD start = GetTickCount();
    EXPECT_EQ(ScoreFile().Append("Аня", 5), 0);
    EXPECT_LT(GetTickCount() - start, 5000u);
    CloseHandle(holder);
    Clear();
}

// A game started from a folder named in Cyrillic, under whichever code page
// the run has (the suite runs it under 1252 and 936 as well, and KUVEX_ACP
// names the one expected), makes its settings in that folder, its
// nine-letter default name whole, and finds them there on a later start:
// its title shows the name they hold.
TEST(CodePage, CyrillicFolder)
{
    const char *asked = getenv("KUVEX_ACP");
    ASSERT_EQ(GetACP(), asked ? UINT(atoi(asked)) : GetACP()) << "not the code page asked for";
    Clear(); // files in AppData would be used instead
    wchar_t exe[MAX_PATH], temp[MAX_PATH], title[512] = L"";
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    lstrcpyW(wcsrchr(exe, L'\\'), L"\\kuvex.exe");
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dir = temp + std::wstring(L"Мои игры"), game = dir + L"\\kuvex.exe",
                       ini = dir + L"\\kuvex.ini";
    CreateDirectoryW(dir.c_str(), nullptr);
    DeleteFileW(ini.c_str());
    ASSERT_TRUE(CopyFileW(exe, game.c_str(), FALSE));
    // {the title's start, what the file holds then}; the second start finds
    // the file the test wrote after the first.
    for (const auto &[shown, kept] :
         {std::make_pair(L"Kuvex 2002         Инкогнито ", S("name=Инкогнито\r\n")),
          std::make_pair(L"Kuvex 2002         Иван ", S("name=Иван\r\n"))}) {
        STARTUPINFOW start = {};
        start.cb = sizeof start;
        PROCESS_INFORMATION p;
        ASSERT_TRUE(
            CreateProcessW(game.c_str(), nullptr, nullptr, nullptr, 0, 0, nullptr, dir.c_str(), &start, &p));
        WaitForInputIdle(p.hProcess, 20000);
        const HWND window = FindWindowW(L"ViewerClass", nullptr);
        GetWindowTextW(window, title, 512);
        EXPECT_EQ(std::wstring(title).find(shown), 0u);
        PostMessageW(window, WM_CLOSE, 0, 0);
        WaitForSingleObject(p.hProcess, 20000);
        CloseHandle(p.hThread);
        CloseHandle(p.hProcess);
        EXPECT_NE(ReadFileBytes(ini.c_str()).find(kept), S::npos);
        WriteFileBytes(ini.c_str(), "[Kuvex]\r\nname=Иван\r\n");
    }
}

// Steps for the dialogs to come, run from a timer of the thread, so inside
// the modal loop of whichever dialog is up: each on the dialog active then,
// the next on the same dialog while that is still open, or on the next one
// made. A dialog with no step left is closed. Every dialog stands centred
// over its owner: the two rectangles' middles agree (halves truncated).
std::vector<std::function<void(HWND)>> g_steps;

void CALLBACK RunStep(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = GetActiveWindow();
    RECT a, b; // no dialog is up while the main window, or none, is active
    if (!GetParent(dialog) || !GetWindowRect(dialog, &a) || !GetWindowRect(GetParent(dialog), &b)) return;
    EXPECT_LE(abs(a.left + a.right - b.left - b.right) + abs(a.top + a.bottom - b.top - b.bottom), 2);
    if (g_steps.empty()) return (void)PostMessageA(dialog, WM_CLOSE, 0, 0);
    const std::function<void(HWND)> step = g_steps.front();
    g_steps.erase(g_steps.begin());
    step(dialog);
}

// The client area as the screen shows it, row by row; after a Paint of the
// board when `paint`.
std::vector<COLORREF> Grab(HWND w, bool paint = false)
{
    if (paint) g_board.Paint(g_settings.gamma, g_settings.satur, g_settings.back);
    RECT rc;
    GetClientRect(w, &rc);
    WindowDc dc(w);
    std::vector<COLORREF> pixels;
    for (LONG i = 0; i < rc.right * rc.bottom; ++i)
        pixels.push_back(GetPixel(dc.get(), i % rc.right, i / rc.right));
    return pixels;
}

// What a window shows: its text; for the Options sliders each one's
// position and range; for the best-results list its headings and rows,
// checking that each column is as wide as its texts. Read wide and made
// 1251 by the platform, so that what reads right under any code page does.
S Shown(HWND w)
{
    wchar_t text[512] = L"";
    const auto narrow = [&text] {
        char bytes[512] = "";
        WideCharToMultiByte(1251, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
        return S(bytes);
    };
    GetWindowTextW(w, text, 512);
    S shown = narrow();
    // Position, then the range's low and high end: TBM_GETPOS (WM_USER) and the two messages after it.
    for (int i = 0; GetDlgCtrlID(w) == IDC_ANIM && i < 18; ++i)
        shown += ' ' + std::to_string(SendDlgItemMessageA(GetParent(w), kBars[i / 3], WM_USER + i % 3, 0, 0));
    for (int row = -1; GetDlgCtrlID(w) == IDC_BEST_LIST && row < ListView_GetItemCount(w); ++row)
        for (int col = 0; col < 3; ++col) {
            LVCOLUMNW head = {LVCF_TEXT, 0, 0, text, 512, 0, 0, 0, 0, 0, 0};
            LVITEMW it = {0, row, col, 0, 0, text, 512, 0, 0, 0, 0, 0, 0, 0, 0};
            SendMessageW(w, row < 0 ? LVM_GETCOLUMNW : LVM_GETITEMTEXTW, row < 0 ? col : row,
                         row < 0 ? LPARAM(&head) : LPARAM(&it));
            const int width = int(SendMessageW(w, LVM_GETSTRINGWIDTHW, 0, LPARAM(text)));
            EXPECT_GE(ListView_GetColumnWidth(w, col), std::max(width, 1));
            shown += (col ? "|" : "\n") + narrow();
        }
    return shown;
}

// Whether a window's text in font is no wider than width: a fitted caption
// in its control, the title between the icon and the three buttons.
bool Fits(HWND w, HFONT font, LONG width)
{
    wchar_t text[512] = L"";
    SIZE e = {};
    WindowDc dc(w);
    Selection chosen(dc.get(), font);
    return GetTextExtentPoint32W(dc.get(), text, GetWindowTextW(w, text, 512), &e) && e.cx <= width;
}

// A main window as the program makes it, shown, with a game on and nothing
// selected, over the fixture's settings; at the end it goes, and so does any
// record file a test left.
struct Game : ::testing::Test
{
    void SetUp() override
    {
        g_steps.clear(); // a game over at the opening is closed, not answered
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

// Centred, 480 high, squared by pulling the right edge in; the field fills
// the client area from its top left corner; the drawn icon and pointer
// load. Made taller, the window gives up height until it and the field are
// square again. The focus frame marks the selected cell and nothing else,
// the keyboard cursor its cell with a black ring and a white one; an empty
// cell is plain background, selected or not; drawn over, the field comes
// back through the window's own painting; each piece colour has a picture
// of its own. A GDI guard's selection is undone with it; a handled WM_SIZE
// answers 0. A held Space or Enter acts once (a repeat has bit 30 of the key
// data set), a held arrow moves on.
TEST_F(Game, WindowAndField)
{
    RECT field, outer, client;
    GetWindowRect(g_mainWindow, &outer);
    GetClientRect(g_mainWindow, &client);
    EXPECT_EQ(std::make_tuple(outer.left, outer.top, outer.bottom - outer.top, client.right),
              std::make_tuple((GetSystemMetrics(SM_CXSCREEN) - 450) / 2,
                              (GetSystemMetrics(SM_CYSCREEN) - 480) / 2, 480L, client.bottom));
    EXPECT_EQ(ChildWindowFromPoint(g_mainWindow, POINT{0, 0}), g_board.fieldWnd);
    EXPECT_TRUE(GetClassLongPtrA(g_mainWindow, GCLP_HICON) && GetClassLongPtrA(g_mainWindow, GCLP_HCURSOR));
    SetWindowPos(g_mainWindow, nullptr, 0, 0, 450, 640, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(g_mainWindow, &client);
    GetClientRect(g_board.fieldWnd, &field);
    const LONG side = client.right;
    EXPECT_EQ(std::make_tuple(client.bottom, field.right, field.bottom), std::make_tuple(side, side, side));
    // A colour a column; (6, 1), where the keyboard cursor goes, on plain background.
    for (int i = 0; i < 64; ++i)
        g_board.grid[i / 8][i % 8] = i == 6 * 8 + 1 ? EMPTY : i / 8;
    const auto plain = Grab(g_board.fieldWnd, true);
    std::set<std::vector<COLORREF>> looks; // each colour its own picture: the top cells' middle rows
    for (LONG at = side / 16 * side; at < (side / 16 + 1) * side - side / 8; at += side / 8)
        looks.emplace(plain.begin() + at, plain.begin() + at + side / 8);
    EXPECT_EQ(looks.size(), 8u);
    // Pieces fill their cells: 31 % background (45 % with sprites a ninth too small).
    EXPECT_LT(100 * std::count(plain.begin(), plain.end(), RGB(kRed, kGreen, kBlue)),
              36 * long(plain.size()));
    std::tie(g_board.selCol, g_board.selRow) = std::make_pair(2, 5);
    const auto framed = Grab(g_board.fieldWnd, true);
    g_cursor = {6, 1, 1};
    const auto cursor = Grab(g_board.fieldWnd, true);
    g_cursor.shown = 0;
    g_board.grid[2][5] = EMPTY;
    FillRect(WindowDc(g_board.fieldWnd).get(), &field, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InvalidateRect(g_board.fieldWnd, nullptr, FALSE);
    UpdateWindow(g_board.fieldWnd);
    const auto empty = Grab(g_board.fieldWnd); // as the window's own painting left it
    const RECT cell = {2 * side / 8, 5 * side / 8, 3 * side / 8, 6 * side / 8};
    const RECT at = {6 * side / 8, side / 8, 7 * side / 8, 2 * side / 8};
    int inside = 0, outside = 0, rings[2] = {};
    for (LONG i = 0; i < side * side; ++i) {
        const bool in = PtInRect(&cell, {i % side, i / side}), on = PtInRect(&at, {i % side, i / side});
        outside += !on && cursor[i] != framed[i];
        rings[cursor[i] == RGB(255, 255, 255)] += on && (cursor[i] == 0 || cursor[i] == RGB(255, 255, 255));
        inside += in && framed[i] != plain[i];
        outside += in ? empty[i] != RGB(kRed, kGreen, kBlue) : framed[i] != plain[i] || empty[i] != plain[i];
    }
    EXPECT_GE(inside, side / 8);
    EXPECT_GE(std::min(rings[0], rings[1]), 3 * side / 8) << "a black ring and a white one";
    EXPECT_EQ(outside, 0);
    // A guard's selection is undone with it (Windows will not delete a bitmap
    // still selected); a handled WM_SIZE answers 0, as documented.
    MemoryDc memory(nullptr);
    const HGDIOBJ own = GetCurrentObject(memory.get(), OBJ_BITMAP);
    Selection(memory.get(), GdiObject<HBITMAP>(CreateCompatibleBitmap(memory.get(), 1, 1)).get());
    EXPECT_EQ(GetCurrentObject(memory.get(), OBJ_BITMAP), own);
    EXPECT_EQ(SendMessageW(g_mainWindow, WM_SIZE, 0, 0), 0);
    g_board.selCol = g_board.selRow = NO_SELECTION;
    g_cursor = {3, 4, 1};
    for (const auto &[key, data] :
         {std::pair{VK_RETURN, 1}, {VK_SPACE, 1 | 1 << 30}, {VK_RIGHT, 1 | 1 << 30}})
        SendMessageW(g_mainWindow, WM_KEYDOWN, key, data);
    EXPECT_EQ(std::make_tuple(g_board.selCol, g_board.selRow, g_cursor.col), std::make_tuple(3, 4, 4));
}

// Any ball.bmp whose rows the file holds is used, 2048 x 2048, top-down and
// ones with the OS/2 header or the fifth version's too; one a byte short of
// its rows (with its headers' sizes agreeing, which the platform's loader
// would take), of 8 bits, RLE, of 2^31 - 1 by 2^31 or of 0 x 0 pixels, or
// no bitmap at all, is not.
TEST_F(Game, BallFiles)
{
    // os2: 2 x 2 at 4 bits with the 12-byte header of OS/2 (16-bit sides, 3-byte
    // colours), its colour table and rows.
    const S big = BitmapFile(2048, 2048, 4, '\x66'), deep = BitmapFile(2048, 2048, 8, '\x66'),
            huge = BitmapFile(0x7FFFFFFF, 0x80000000u, 4, 0, false),
            os2 = S("BM\x52\0\0\0\0\0\0\0\x4A\0\0\0\x0C\0\0\0\x02\0\x02\0\x01\0\x04\0", 26) + S(48 + 8, 1);
    // down: 2 x 65538 top-down (a height of four different bytes); v5: 124-byte header.
    S down = BitmapFile(2, 65538, 4, 1);
    down.replace(22, 4, "\xFE\xFF\xFE\xFF", 4);
    const S v5 = BitmapFile(2, 2, 4, 1, true, 124), cut = BitmapFile(2048, 2048, 4, '\x66', true, 40, 1);
    S balls[] = {big, os2, v5, down, cut, deep, big, huge, S(3000, 'B'), BitmapFile(0, 0, 4, 7)};
    balls[6][30] = BI_RLE4;
    SetCurrentDirectoryA(g_scratch);
    for (const S &ball : balls) {
        WriteFileBytes("ball.bmp", ball);
        EXPECT_EQ(g_board.BuildSprites(9, 13, kBack), &ball - balls > 3) << &ball - balls;
    }
    DeleteFileA("ball.bmp");
    SetCurrentDirectoryA(g_home);
}

// Each dialog, over the fixture and a record file written here: what it
// shows on opening; then, with a name typed and every slider moved a step
// where the dialog has them, the row's button; then OK where that left it
// open. The game-over dialog has the name changed on the way, by OK in the
// change-name dialog. Only OK in Options stores and writes the moved
// sliders, each in its own place, and repaints the board in the new
// background (a ball's corner shows it); the title follows the name; the
// About caption's fitted fonts, like every GDI object a dialog makes, are
// freed with it.
TEST_F(Game, Dialogs)
{
    // In an order that neither the file's nor its reverse is: the list sorts them.
    WriteFileBytes(g_recordPath, Record("Аня", 5, {2002, 12, 4, 5, 9, 3, 7, 250}) +
                                     Record("Борис", 65535, {1999, 1, 0, 31, 23, 59, 58, 999}) +
                                     Record("Вера", 7));
    const S z(300, 'z'), z254(254, 'z'), sliders = " 7 0 1000 9 1 14 13 1 20 224 0 255 144 0 255 48 0 255";
    const S moved = "[Kuvex]\r\nanim=8\r\ngamma=10\r\nsatur=14\r\nname=Тестер\r\nback=3191E100A3\r\n";
    const S best = "List1\nИмя|Очки|Дата\nБорис|65535|31.1.1999 в 23:59:58\nВера|7|5.12.2002 в "
                   "9:3:7\nАня|5|5.12.2002 в 9:3:7";
    // {menu command (0: the end of a game), control, what it shows, name typed, button, steps not run, name}
    for (const auto &[command, id, text, typed, button, left, name] :
         {std::make_tuple(IDM_OPTIONS, IDC_ANIM, sliders.c_str(), "Вера", IDCANCEL, 2u, "Тестер"),
          std::make_tuple(IDM_OPTIONS, IDC_ANIM, sliders.c_str(), "Вера", IDOK, 2u, "Тестер"),
          std::make_tuple(IDM_OPTIONS, IDCANCEL, "Отмена", "Вера", IDCANCEL, 2u, "Тестер"),
          std::make_tuple(IDM_RULES, IDC_RULES_TEXT, RULES_TEXT, "Вера", IDCANCEL, 0u, "Тестер"),
          std::make_tuple(IDM_ABOUT, IDC_ABOUT_TITLE, "Kuvex 2002", "Вера", IDCANCEL, 2u, "Тестер"),
          std::make_tuple(IDM_BEST, IDC_BEST_LIST, best.c_str(), "Вера", IDCANCEL, 0u, "Тестер"),
          std::make_tuple(IDM_NAME, IDC_NAME_EDIT, "Тестер", "Вера", IDCANCEL, 2u, "Тестер"),
          std::make_tuple(IDM_NAME, IDC_NAME_EDIT, "Тестер", z.c_str(), IDOK, 2u, z254.c_str()),
          std::make_tuple(IDM_NAME, IDC_NAME_EDIT, "Тестер", "", IDOK, 2u, "Инкогнито"),
          std::make_tuple(0, IDC_GAMEOVER_NAME, "Тестер", "Лена", IDCANCEL, 0u, "Лена"),
          std::make_tuple(0, IDC_GAMEOVER_SCORE, "Твои очки: 70000", "Лена", IDCANCEL, 0u, "Лена")}) {
        g_settings = kFixture;
        WriteFileBytes(g_settingsPath, kIni);
        score = 70000;
        const long live = g_gdiLive;
        RebuildAndPaintIfActive(); // in the fixture's colours again
        S seen;
        // The first step leaves two steps and presses the row's button, the
        // second (the game over's) Rename, the third OK.
        const int answers[] = {IDOK, IDC_GAMEOVER_RENAME, button};
        const auto step = [&](HWND d) {
            if (seen.empty()) seen = Shown(GetDlgItem(d, id));
            RECT rc = {};
            for (HWND c : {GetDlgItem(d, IDC_ABOUT_TITLE), GetDlgItem(d, IDC_GAMEOVER_NAME)})
                EXPECT_TRUE(!GetClientRect(c, &rc) ||
                            Fits(c, HFONT(SendMessageA(c, WM_GETFONT, 0, 0)), rc.right));
            wchar_t wide[512]; // typed as a player would, whatever the code page
            MultiByteToWideChar(1251, 0, typed, -1, wide, 512);
            SetDlgItemTextW(d, IDC_NAME_EDIT, wide);
            for (int slider : kBars)
                SendDlgItemMessageA(d, slider, WM_KEYDOWN, VK_DOWN, 0);
            SendMessageA(d, WM_COMMAND, answers[g_steps.size()], 0);
        };
        g_steps = {step, step, step};
        command ? (void)SendMessageA(g_mainWindow, WM_COMMAND, command, 0) : EndOfGame(g_mainWindow);
        EXPECT_EQ(std::make_pair(seen, g_steps.size()), std::make_pair(S(text), size_t(left)));
        const bool stored = command == IDM_OPTIONS && button == IDOK;
        EXPECT_EQ(Fields(g_settings), stored ? std::make_tuple(8, 10, 14, 0x00E19131u, S(name))
                                             : std::make_tuple(7, 9, 13, kBack, S(name)));
        EXPECT_EQ(ReadFileBytes(g_settingsPath), stored ? moved : kIni);
        EXPECT_EQ(Grab(g_board.fieldWnd).at(0), stored ? RGB(0xE1, 0x91, 0x31) : RGB(kRed, kGreen, kBlue));
        EXPECT_TRUE(command != IDM_NAME || Shown(g_mainWindow).find(name) != S::npos) << Shown(g_mainWindow);
        EXPECT_EQ(g_gdiLive, live) << command;
    }
    NONCLIENTMETRICSA m = {};
    RECT r = {};
    m.cbSize = sizeof m;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
    GdiObject<HFONT> font(CreateFontIndirectA(&m.lfCaptionFont));
    GetWindowRect(g_mainWindow, &r);
    EXPECT_TRUE(Fits(g_mainWindow, font.get(), r.right - r.left - 4 * m.iCaptionWidth));
}

} // namespace

int main(int argc, char **argv)
{
    InitCommonControls(); // the trackbar and the list view among them
    InstallWin32Host();
    if (!RegisterMainClass(GetModuleHandleA(nullptr))) return 2;
    GetTempPathA(MAX_PATH, g_scratch);
    GetCurrentDirectoryA(MAX_PATH, g_home);
    MultiByteToWideChar(CP_ACP, 0, (g_scratch + S("kuvex.ini")).c_str(), -1, g_settingsPath, PATH_CAP);
    // The program keeps its records beside itself while that folder may be
    // written, as the build folder may.
    GetModuleFileNameA(nullptr, g_recordPath, MAX_PATH);
    lstrcpyA(strrchr(g_recordPath, '\\'), "\\kuvex.rec");
    SetTimer(nullptr, 0, 10, RunStep);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
