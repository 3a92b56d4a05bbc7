// What only the real platform shows, in one program: the settings file's
// bytes, record appends that are whole or nothing, which ball.bmp files
// load, the GDI guards, and the main window: its field's pixels and each
// dialog's opening, OK and Cancel, driven through a CBT hook.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <tuple>

#include "app/app.h"
#include "game/board.h"
#include "game/turn.h"
#include "res/resource.h"
#include "scores/score_file.h"
#include "settings/program_path.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "tests/common/files.h"
#include "ui/help_texts.h"
#include "view/gdi.h"
#include "view/sprite.h"

namespace {

const Settings kDefaults = g_settings; // the program's own, taken before any test changes them
char g_scratch[MAX_PATH];              // the temporary folder, for files of the tests' own
char g_home[MAX_PATH];                 // the current folder at the start, with ball.bmp
char g_recordPath[PATH_CAP];           // where the program keeps its records

// One record as Append writes it, dated 9:03:07.250 on 5 December 2002.
std::string Record(const char *name, int32_t score)
{
    unsigned char out[RECORD_MAX];
    return std::string(reinterpret_cast<char *>(out),
                       EncodeRecord(name, score, {2002, 12, 4, 5, 9, 3, 7, 250}, out));
}

TEST(Files, SettingsBytes)
{
    const std::string path = g_scratch + std::string("kuvex.ini"),
                      name = "name=" + std::string(300, 'z') + "\r\n";
    DeleteFileA(path.c_str());
    g_settings = kDefaults;
    EXPECT_EQ(LoadSettings(path.c_str()), 1);
    SaveSettings(path.c_str());
    EXPECT_EQ(ReadFileBytes(path),
              "[Kuvex]\r\nanim=50\r\ngamma=6\r\nsatur=2\r\nname=Инкогнито\r\nback=00C80000C8\r\n");
    // Keys are read and left where they stand, a long name cut to 254 bytes;
    // a save adds the others after them.
    WriteFileBytes(path, "[Kuvex]\r\ngamma=9\r\n" + name);
    LoadSettings(path.c_str());
    EXPECT_EQ(ReadFileBytes(path), "[Kuvex]\r\ngamma=9\r\n" + name);
    g_settings.back = 0x000180FF; // blue 255, green 128, red 1: checksum 384 % 256
    SaveSettings(path.c_str());
    EXPECT_EQ(ReadFileBytes(path), "[Kuvex]\r\ngamma=9\r\nname=" + std::string(254, 'z') +
                                       "\r\nanim=50\r\nsatur=2\r\nback=FF80010080\r\n");
    g_settings = kDefaults;
}

DWORD g_readable; // what a read delivers before it fails
int g_write;      // 0 whole, 1 a byte short, 2 a byte short and failed

TEST(Files, RecordAppendsAreWholeOrNothingAndAReadFailureCutsNothing)
{
    std::string old;
    for (int i = 0; i < 1000; ++i)
        old += Record(("Player " + std::to_string(i)).c_str(), i + 1);
    ASSERT_EQ(old.size(), 28890u);
    const std::string tail = old + Record("Вера", 7).substr(0, 10); // a write cut short
    g_recordRead = [](HANDLE f, LPVOID data, DWORD size, LPDWORD done, LPOVERLAPPED o) -> BOOL {
        const BOOL read = g_readable > 0 && ReadFile(f, data, std::min(size, g_readable), done, o);
        return g_readable -= read ? *done : 0, read;
    };
    g_recordWrite = [](HANDLE f, LPCVOID data, DWORD size, LPDWORD done, LPOVERLAPPED o) -> BOOL {
        return WriteFile(f, data, size - (g_write > 0), done, o) && g_write < 2;
    };
    ScoreFile file;
    // Only a tail read to the file's end is cut; a write that falls short
    // leaves nothing behind: {reads that succeed, write, file, bytes kept}.
    for (const auto &[readable, write, bytes, kept] :
         {std::make_tuple(0u, 0, old, old), std::make_tuple(1u, 0, old, old),
          std::make_tuple(4096u, 0, old, old), std::make_tuple(28889u, 0, old, old),
          std::make_tuple(28890u, 0, old, old), std::make_tuple(28900u, 0, tail, tail),
          std::make_tuple(MAXDWORD, 0, tail, old), std::make_tuple(MAXDWORD, 1, tail, old),
          std::make_tuple(MAXDWORD, 2, tail, old)}) {
        WriteFileBytes(g_recordPath, bytes);
        g_readable = readable;
        g_write = write;
        EXPECT_EQ(file.Append("Аня", 5), write ? 0 : 16);
        const std::string now = ReadFileBytes(g_recordPath);
        EXPECT_EQ(now.compare(0, kept.size(), kept), 0) << readable;
        EXPECT_EQ(now.size() - kept.size(), write ? 0 : 3 + RECORD_MIN) << readable; // "Аня", whole
    }
    g_recordRead = ReadFile;
    g_recordWrite = WriteFile;
    // Another holder that lets go within a second is waited for.
    HANDLE other = CreateFileA(g_recordPath, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    auto closeLater = [](void *holder) -> DWORD { return Sleep(200), CloseHandle(holder); };
    CloseHandle(CreateThread(nullptr, 0, closeLater, other, 0, nullptr));
    EXPECT_EQ(file.Append("Аня", 5), 16);
    EXPECT_EQ(Records(ReadFileBytes(g_recordPath)).size(), 1001u);
    DeleteFileA(g_recordPath);
}

TEST(Files, AnyBallBmpWhoseRowsTheFileHolds)
{
    // A 4-bit picture of w x h with all its rows, bytes from `at` on patched.
    auto bmp = [](LONG w, LONG h, size_t at = 0, std::string patch = "") {
        const DWORD rows = (w * 4 + 31) / 32 * 4 * h, head = 14 + 40 + 64;
        const BITMAPFILEHEADER file = {0x4D42, head + rows, 0, 0, head};
        const BITMAPINFOHEADER info = {sizeof info, w, h, 1, 4, BI_RGB, 0, 0, 0, 0, 0};
        return (std::string(reinterpret_cast<const char *>(&file), 14) +
                std::string(reinterpret_cast<const char *>(&info), 40) + std::string(64 + rows, '\x66'))
            .replace(at, patch.size(), patch);
    };
    const std::string big = bmp(2048, 2048), wide = std::string("\xFF\xFF\xFF\x7F\0\0\0\x80", 8); // 2^31 high
    SetCurrentDirectoryA(g_scratch);
    for (const std::string &refused : {big.substr(0, big.size() - 1), bmp(8, 8, 28, "\x08"),
                                       bmp(8, 8, 30, "\x02"), bmp(8, 8, 18, wide), std::string(3000, 'B')}) {
        WriteFileBytes("ball.bmp", refused);
        EXPECT_EQ(LoadBallBitmap(), nullptr) << refused.size();
    }
    WriteFileBytes("ball.bmp", big);
    GdiObject<HBITMAP> ball(LoadBallBitmap(), GdiObject<HBITMAP>::Counted());
    BITMAP bm = {};
    GetObjectA(ball.get(), sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth * bm.bmHeight, 2048 * 2048);
    DeleteFileA("ball.bmp");
    SetCurrentDirectoryA(g_home);
}

TEST(Gdi, SelectionPutsBackWhatItDisplaced)
{
    MemoryDc mem(nullptr);
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(mem.get(), 8, 8));
    const HGDIOBJ original = GetCurrentObject(mem.get(), OBJ_BITMAP);
    {
        Selection selection(mem.get(), bitmap.get());
        EXPECT_EQ(GetCurrentObject(mem.get(), OBJ_BITMAP), bitmap.get());
    }
    EXPECT_EQ(GetCurrentObject(mem.get(), OBJ_BITMAP), original);
}

// Steps for the dialogs to come, one each as it is created. A step runs from
// a timer of its dialog, so inside the dialog's own modal loop once the
// dialog is up; Then() runs the next step on the same dialog if that is
// still open. A dialog with no step left is closed.
std::deque<std::function<void(HWND)>> g_steps;

void CALLBACK RunStep(HWND dialog, UINT, UINT_PTR id, DWORD)
{
    KillTimer(dialog, id);
    if (g_steps.empty()) return (void)PostMessageA(dialog, WM_CLOSE, 0, 0);
    const std::function<void(HWND)> step = g_steps.front();
    g_steps.pop_front();
    step(dialog);
}

void Then(HWND dialog)
{
    SetTimer(dialog, 1, 10, RunStep);
}

LRESULT CALLBACK WatchDialogs(int code, WPARAM wParam, LPARAM lParam)
{
    char cls[8] = "";
    HWND w = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && GetClassNameA(w, cls, sizeof cls) && !lstrcmpA(cls, "#32770")) Then(w);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The client area as the screen shows it, top-down, pixels 0x00RRGGBB (the
// layout of the settings' back value).
std::vector<DWORD> Grab(HWND w)
{
    RECT rc;
    GetClientRect(w, &rc);
    std::vector<DWORD> pixels(rc.right * rc.bottom);
    BITMAPINFO bi = {{sizeof(BITMAPINFOHEADER), rc.right, -rc.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    WindowDc dc(w);
    MemoryDc mem(dc.get());
    GdiObject<HBITMAP> copy(CreateCompatibleBitmap(dc.get(), rc.right, rc.bottom));
    {
        Selection selection(mem.get(), copy.get());
        BitBlt(mem.get(), 0, 0, rc.right, rc.bottom, dc.get(), 0, 0, SRCCOPY);
    }
    GetDIBits(mem.get(), copy.get(), 0, rc.bottom, pixels.data(), &bi, DIB_RGB_COLORS);
    for (DWORD &p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

// What control `id` shows: its text; the best-results list, the scores of
// its first rows; the animation slider, the positions of all six sliders.
std::string Shown(HWND d, int id)
{
    char text[512] = "";
    GetDlgItemTextA(d, id, text, sizeof text);
    std::string shown = text;
    for (int i = 0; id == IDC_BEST_LIST && i < 3; ++i) {
        ListView_GetItemText(GetDlgItem(d, id), i, 1, text, 8);
        shown += std::string(" ") + text;
    }
    for (int slider : {IDC_ANIM, IDC_GAMMA, IDC_SATUR, IDC_RED, IDC_GREEN, IDC_BLUE})
        shown += id == IDC_ANIM ? " " + std::to_string(SendDlgItemMessageA(d, slider, TBM_GETPOS, 0, 0)) : "";
    return shown;
}

void Press(HWND d, int id, WPARAM key) // as the keyboard moves a slider: the dialog is told
{
    SendDlgItemMessageA(d, id, WM_KEYDOWN, key, 0);
}

// The main window as the program makes it, a game on and no pauses: the
// field's geometry and pixels, and every dialog it opens.
TEST(Game, WindowFieldAndDialogs)
{
    g_settings = kDefaults;
    g_settings.anim = 0;
    lstrcpyA(g_settingsPath, (g_scratch + std::string("kuvex.ini")).c_str());
    DeleteFileA(g_settingsPath);
    ASSERT_NE(RegisterMainClass(GetModuleHandleA(nullptr)), 0);
    HWND window = CreateMainWindow(GetModuleHandleA(nullptr));
    ShowWindow(window, SW_SHOW);
    while (!g_board.IsActive()) // the first board had no move
        StartNewGame(window);
    RECT desk, outer, client, field;
    GetClientRect(GetDesktopWindow(), &desk);
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    GetWindowRect(g_board.fieldWnd, &field);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&field), 2);
    // Centred, 480 high, squared by pulling the right edge in; the field fills it.
    EXPECT_EQ(std::make_tuple(outer.left, outer.top, outer.bottom - outer.top, client.right),
              std::make_tuple((desk.right - 450) / 2, (desk.bottom - 480) / 2, 480L, client.bottom));
    EXPECT_TRUE(EqualRect(&field, &client));

    const LONG side = client.right;
    const DWORD back = g_settings.back;
    auto paint = [] { return g_board.Paint(6, 2, g_settings.back), Grab(g_board.fieldWnd); };
    const std::vector<DWORD> plain = paint();
    for (int i = 0; i < 64; ++i) // a piece's corners are background
        EXPECT_EQ(plain[i / 8 * side / 8 * side + i % 8 * side / 8], back) << i;
    // The focus frame runs along the selected cell's edges and changes
    // nothing else; an empty cell is plain background, selected or not.
    g_board.selCol = 2, g_board.selRow = 5;
    const std::vector<DWORD> framed = paint();
    g_board.grid[2][5] = EMPTY;
    const std::vector<DWORD> empty = paint();
    const RECT cell = {2 * side / 8, 5 * side / 8, 3 * side / 8, 6 * side / 8},
               inner = {cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1};
    int edges = 0, elsewhere = 0, notBack = 0;
    for (LONG i = 0; i < side * side; ++i) {
        const POINT p = {i % side, i / side};
        (PtInRect(&cell, p) && !PtInRect(&inner, p) ? edges : elsewhere) += framed[i] != plain[i];
        notBack += PtInRect(&cell, p) && empty[i] != back;
    }
    EXPECT_GT(edges, side / 8);
    EXPECT_EQ(elsewhere + notBack, 0);
    // Without ball.bmp the board is background only.
    SetCurrentDirectoryA(g_scratch);
    for (HBITMAP &sprite : g_board.sprites)
        GdiDelete(sprite), sprite = nullptr;
    g_board.selCol = g_board.selRow = NO_SELECTION;
    const std::vector<DWORD> bare = paint();
    SetCurrentDirectoryA(g_home);
    EXPECT_EQ(std::count(bare.begin(), bare.end(), back), side * side);
    // Paints and builds hold no GDI object.
    g_board.BuildSprites(6, 2, back);
    const long live = g_gdiLive;
    for (int i = 0; i < 100; ++i)
        g_board.Paint(6, 2, back), g_board.BuildSprites(i % 14 + 1, i % 20 + 1, back);
    EXPECT_EQ(g_gdiLive, live);

    // Each dialog: what it shows on opening; then Cancel (with a new name
    // typed, "Гамма" moved, where the dialog has them); then OK where Cancel
    // left it open. The game-over dialog has the name changed on the way (OK
    // in the change-name dialog), and the record keeps it.
    ScoreFile file;
    for (int s : {5, 12, 7})
        file.Append("Аня", s);
    g_settings.anim = 300;
    lstrcpyA(g_settings.name, "Аня");
    score = 70000;
    // {menu command (0: the end of the game), control, what it shows, steps not run}
    for (const auto &[command, id, text, left] :
         {std::make_tuple(IDM_OPTIONS, IDC_ANIM, std::string(" 300 6 2 0 200 0"), 2u),
          std::make_tuple(IDM_RULES, IDC_RULES_TEXT, std::string(RULES_TEXT), 1u),
          std::make_tuple(IDM_ABOUT, IDC_ABOUT_TITLE, std::string("Kuvex 2002"), 2u),
          std::make_tuple(IDM_BEST, IDC_BEST_LIST, std::string("List1 12 7 5"), 1u),
          std::make_tuple(IDM_NAME, IDC_NAME_EDIT, std::string("Аня"), 2u),
          std::make_tuple(0, IDC_GAMEOVER_SCORE, std::string("Твои очки: 70000"), 0u)}) {
        std::string seen;
        g_steps = {[&](HWND d) {
                       seen = Shown(d, id);
                       SetDlgItemTextA(d, IDC_NAME_EDIT, "Вера");
                       Press(d, IDC_GAMMA, VK_END);
                       SendMessageA(d, WM_COMMAND, IDCANCEL, 0);
                       Then(d);
                   },
                   [](HWND d) {
                       SendMessageA(d, WM_COMMAND, IDC_GAMEOVER_RENAME,
                                    0); // only the game-over dialog has it
                       SendMessageA(d, WM_COMMAND, IDOK, 0);
                   },
                   [](HWND d) {
                       SetDlgItemTextA(d, IDC_NAME_EDIT, "Тестер");
                       SendMessageA(d, WM_COMMAND, IDOK, 0);
                   }};
        command ? (void)SendMessageA(window, WM_COMMAND, command, 0) : EndOfGame(window);
        EXPECT_EQ(seen, text);
        EXPECT_EQ(g_steps.size(), left) << command;
    }
    const std::vector<ScoreRecord> records = Records(ReadFileBytes(g_recordPath));
    ASSERT_EQ(records.size(), 4u);
    EXPECT_STREQ(records[3].name, "Тестер");
    EXPECT_EQ(records[3].score, 70000 % 65536);
    // Options OK during a game stores, writes and repaints the board before
    // the dialog closes; the preview showed a green piece on the background.
    EXPECT_EQ(GetFileAttributesA(g_settingsPath), INVALID_FILE_ATTRIBUTES);
    std::vector<DWORD> preview, board;
    g_steps = {[&](HWND d) {
        preview = Grab(GetDlgItem(d, IDC_PREVIEW));
        Press(d, IDC_GAMMA, VK_END), Press(d, IDC_RED, VK_END), Press(d, IDC_GREEN, VK_HOME);
        SendMessageA(d, WM_COMMAND, IDOK, 0);
        board = Grab(g_board.fieldWnd);
    }};
    StartNewGame(window);
    SendMessageA(window, WM_COMMAND, IDM_OPTIONS, 0);
    EXPECT_EQ(preview.at(0), back);
    EXPECT_GT(std::count(preview.begin(), preview.end(), 0x0000FF00u), 0);
    EXPECT_EQ(board.at(0), 0x00FF0000u);
    EXPECT_EQ(ReadFileBytes(g_settingsPath),
              "[Kuvex]\r\nanim=300\r\ngamma=14\r\nsatur=2\r\nname=Тестер\r\nback=0000FF00FF\r\n");
    DestroyWindow(window);
    MSG quit; // would end the next modal loop
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    DeleteFileA(g_recordPath);
}

} // namespace

int main(int argc, char **argv)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    InstallWin32Host();
    GetTempPathA(MAX_PATH, g_scratch);
    GetCurrentDirectoryA(MAX_PATH, g_home);
    BuildProgramFilePath(g_recordPath, "kuvex.rec");
    SetWindowsHookExA(WH_CBT, WatchDialogs, nullptr, GetCurrentThreadId());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
