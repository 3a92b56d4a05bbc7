// What only the real platform shows, in one program: the settings file's
// bytes, record appends that are whole or nothing, which ball.bmp files
// load, and the main window: its field's pixels, the GDI guards, and each
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

namespace {

const Settings kDefaults = g_settings; // the program's own, taken before any test changes them
char g_scratch[MAX_PATH];              // the temporary folder, for the tests' own files
char g_home[MAX_PATH];                 // the current folder at the start, with ball.bmp
char g_recordPath[PATH_CAP];           // where the program keeps its records

DWORD g_left; // what reads deliver before they stop
int g_mode;   // 0 all well, 1 a write a byte short, 2 that and failed, 3 reads stop without failing

// The settings file's bytes, and record appends that are whole or nothing
// and never cut records after a read failure.
TEST(Files, SettingsBytesAndWholeRecords)
{
    const std::string path = g_scratch + std::string("kuvex.ini"), name = std::string(300, 'z');
    DeleteFileA(path.c_str());
    g_settings = kDefaults;
    EXPECT_EQ(LoadSettings(path.c_str()), 1);
    SaveSettings(path.c_str());
    EXPECT_EQ(ReadFileBytes(path),
              "[Kuvex]\r\nanim=50\r\ngamma=6\r\nsatur=2\r\nname=Инкогнито\r\nback=00C80000C8\r\n");
    // Keys are read (a long name cut to 254 bytes) and kept where they stand;
    // a save adds the others after them. FF80010080: blue 255, green 128,
    // red 1, and their sum 384 % 256.
    const std::string some = "[Kuvex]\r\ngamma=9\r\nback=FF80010080\r\nname=";
    WriteFileBytes(path, some + name + "\r\n");
    LoadSettings(path.c_str());
    SaveSettings(path.c_str());
    EXPECT_EQ(ReadFileBytes(path), some + name.substr(0, 254) + "\r\nanim=50\r\nsatur=2\r\n");

    // 1000 records as Append writes them, and a write cut short after them.
    std::string old;
    unsigned char b[RECORD_MAX];
    const RecordTime time = {2002, 12, 4, 5, 9, 3, 7, 250};
    for (int i = 0; i <= 1000; ++i)
        old.append(reinterpret_cast<char *>(b),
                   EncodeRecord(("Player " + std::to_string(i)).c_str(), i + 1, time, b));
    const std::string tail = old.substr(0, 28900), damage(300, 'N'); // no NUL: no record
    old.resize(28890);
    g_recordRead = [](HANDLE f, LPVOID to, DWORD n, LPDWORD got, LPOVERLAPPED o) -> BOOL {
        const BOOL read = g_left ? ReadFile(f, to, std::min(n, g_left), got, o) : (*got = 0, g_mode == 3);
        return g_left -= *got, read;
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
        g_left = readable, g_mode = mode;
        EXPECT_EQ(ScoreFile().Append("Аня", 5), mode % 3 ? 0 : 16);
        const std::string now = ReadFileBytes(g_recordPath);
        EXPECT_EQ(now.compare(0, kept.size(), kept), 0) << readable;
        EXPECT_EQ(now.size() - kept.size(), mode % 3 ? 0 : 3 + RECORD_MIN) << readable; // "Аня", whole
    }
    g_recordRead = ReadFile, g_recordWrite = WriteFile;
    // Another holder that lets go within a second is waited for; a score of
    // 0 is not recorded at all.
    HANDLE other = CreateFileA(g_recordPath, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    auto closeLater = [](void *holder) -> DWORD { return Sleep(200), CloseHandle(holder); };
    CloseHandle(CreateThread(nullptr, 0, closeLater, other, 0, nullptr));
    EXPECT_EQ(ScoreFile().Append("Аня", 5) + ScoreFile().Append("Вера", 0), 16);
    DeleteFileA(g_recordPath);
}

// Steps for the dialogs to come, one each as it is created. A step runs from
// a timer of its dialog, so inside the dialog's own modal loop once the
// dialog is up; a step that sets that timer again has the next step run on
// the same dialog, if that is still open. A dialog with no step left is
// closed.
std::deque<std::function<void(HWND)>> g_steps;

void CALLBACK RunStep(HWND dialog, UINT, UINT_PTR id, DWORD)
{
    KillTimer(dialog, id);
    const std::function<void(HWND)> step = g_steps.empty() ? nullptr : g_steps.front();
    step ? g_steps.pop_front(), step(dialog) : (void)PostMessageA(dialog, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK WatchDialogs(int code, WPARAM wParam, LPARAM lParam)
{
    char cls[8] = "";
    HWND w = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && GetClassNameA(w, cls, sizeof cls) && !lstrcmpA(cls, "#32770"))
        SetTimer(w, 1, 10, RunStep);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The client area as the screen shows it, top-down, pixels 0x00RRGGBB (the
// layout of the settings' back value). It checks the GDI guard on the way:
// GetDIBits needs the copy out of the memory DC again.
std::vector<DWORD> Grab(HWND w)
{
    RECT rc;
    GetClientRect(w, &rc);
    std::vector<DWORD> pixels(rc.right * rc.bottom);
    BITMAPINFO bi = {{sizeof(BITMAPINFOHEADER), rc.right, -rc.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    WindowDc dc(w);
    MemoryDc mem(dc.get());
    GdiObject<HBITMAP> copy(CreateCompatibleBitmap(dc.get(), rc.right, rc.bottom));
    const HGDIOBJ original = GetCurrentObject(mem.get(), OBJ_BITMAP);
    // A guard that lives for this one statement.
    Selection(mem.get(), copy.get()), BitBlt(mem.get(), 0, 0, rc.right, rc.bottom, dc.get(), 0, 0, SRCCOPY);
    EXPECT_EQ(GetCurrentObject(mem.get(), OBJ_BITMAP), original);
    GetDIBits(mem.get(), copy.get(), 0, rc.bottom, pixels.data(), &bi, DIB_RGB_COLORS);
    // The fourth byte is undefined.
    std::for_each(pixels.begin(), pixels.end(), [](DWORD &p) { p &= 0xFFFFFF; });
    return pixels;
}

// What a window shows: its text; for the best-results list the score of its
// top row; for the Options sliders each one's position and range.
std::string Shown(HWND w)
{
    char text[512] = "", top[8] = "";
    GetWindowTextA(w, text, sizeof text);
    if (GetDlgCtrlID(w) == IDC_BEST_LIST) ListView_GetItemText(w, 0, 1, top, sizeof top);
    std::string shown = text + std::string(*top ? " " : "") + top;
    for (int id : {IDC_ANIM, IDC_GAMMA, IDC_SATUR, IDC_RED, IDC_GREEN, IDC_BLUE})
        for (UINT m : {TBM_GETPOS, TBM_GETRANGEMIN, TBM_GETRANGEMAX})
            if (GetDlgCtrlID(w) == IDC_ANIM)
                shown += std::to_string(SendDlgItemMessageA(GetParent(w), id, m, 0, 0)) +
                         (m == TBM_GETRANGEMAX ? " " : ",");
    return shown;
}

// The main window as the program makes it, with the default settings and a
// game on: the field's geometry and pixels, and every dialog it opens.
TEST(Game, WindowFieldAndDialogs)
{
    g_settings = kDefaults;
    lstrcpyA(g_settingsPath, (g_scratch + std::string("kuvex.ini")).c_str());
    DeleteFileA(g_settingsPath), DeleteFileA(g_recordPath);
    ASSERT_NE(RegisterMainClass(GetModuleHandleA(nullptr)), 0);
    HWND window = CreateMainWindow(GetModuleHandleA(nullptr));
    ShowWindow(window, SW_SHOW);
    RECT desk, outer, client;
    GetClientRect(GetDesktopWindow(), &desk), GetWindowRect(window, &outer), GetClientRect(window, &client);
    // Centred, 480 high, squared by pulling the right edge in; the field
    // fills the client area from its top left corner; icon and pointer load.
    EXPECT_EQ(std::make_tuple(outer.left, outer.top, outer.bottom - outer.top, client.right),
              std::make_tuple((desk.right - 450) / 2, (desk.bottom - 480) / 2, 480L, client.bottom));
    for (POINT corner : {POINT{0, 0}, POINT{client.right - 1, client.bottom - 1}})
        EXPECT_EQ(ChildWindowFromPoint(window, corner), g_board.fieldWnd);
    EXPECT_TRUE(GetClassLongPtrA(window, GCLP_HICON) && GetClassLongPtrA(window, GCLP_HCURSOR)); // drawn ones
    // Made taller, the window gives up height until its client area and the
    // field are square again.
    g_board.active = 1; // whatever the opening left
    SetWindowPos(window, nullptr, 0, 0, 450, 640, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(window, &client), GetClientRect(g_board.fieldWnd, &desk);
    EXPECT_EQ(std::make_tuple(client.bottom, desk.right, desk.bottom),
              std::make_tuple(client.right, client.right, client.right));
    // Paints and builds hold no GDI object.
    const long live = g_gdiLive;
    for (int i = 0; i < 100; ++i)
        g_board.Paint(6, 2, g_settings.back), g_board.BuildSprites(i % 14 + 1, i % 20 + 1, g_settings.back);
    EXPECT_EQ(g_gdiLive, live);

    const LONG side = client.right;
    auto paint = [] { return g_board.Paint(6, 2, g_settings.back), Grab(g_board.fieldWnd); };
    const std::vector<DWORD> plain = paint();
    // The focus frame marks the selected cell and nothing else; an empty
    // cell is plain background, selected or not.
    g_board.selCol = 2, g_board.selRow = 5;
    const std::vector<DWORD> framed = paint();
    g_board.grid[2][5] = EMPTY;
    const std::vector<DWORD> empty = paint();
    const RECT cell = {2 * side / 8, 5 * side / 8, 3 * side / 8, 6 * side / 8};
    int inside = 0, outside = 0, notBack = 0;
    for (LONG i = 0; i < side * side; ++i) {
        const bool in = PtInRect(&cell, {i % side, i / side});
        (in ? inside : outside) += framed[i] != plain[i];
        notBack += in && empty[i] != g_settings.back;
    }
    EXPECT_GE(inside, side / 8);
    EXPECT_EQ(outside + notBack, 0);
    // Any ball.bmp whose rows the file holds is used, 2048 x 2048 too; one
    // without its rows, of 8 bits, RLE, of 2^31 - 1 by 2^31 pixels or no
    // bitmap at all is not, and without any the board is background only.
    const std::string big = BitmapFile(2048, 2048, 4, '\x66');
    std::string balls[] = {big, big.substr(0, big.size() - 1), big, big, big, std::string(3000, 'B')};
    balls[2][28] = 8, balls[3][30] = BI_RLE4, balls[4].replace(18, 8, "\xFF\xFF\xFF\x7F\0\0\0\x80", 8);
    SetCurrentDirectoryA(g_scratch);
    for (const std::string &ball : balls) {
        WriteFileBytes("ball.bmp", ball);
        EXPECT_EQ(g_board.BuildSprites(6, 2, g_settings.back), &ball != balls) << &ball - balls;
    }
    DeleteFileA("ball.bmp");
    for (HBITMAP &sprite : g_board.sprites)
        GdiDelete(sprite), sprite = nullptr;
    g_board.selCol = g_board.selRow = NO_SELECTION;
    const std::vector<DWORD> bare = paint();
    SetCurrentDirectoryA(g_home);
    EXPECT_EQ(std::count(bare.begin(), bare.end(), g_settings.back), side * side);

    // Each dialog: what it shows on opening; then Cancel, with a new name
    // typed and "Гамма" moved where the dialog has them; then OK where Cancel
    // left it open. The game-over dialog has the name changed on the way, by
    // OK in the change-name dialog, which then shows it.
    for (int s : {5, 65535, 7})
        ScoreFile().Append("Аня", s);
    score = 70000;
    auto press = [](HWND d, int id, WPARAM key) { SendDlgItemMessageA(d, id, WM_KEYDOWN, key, 0); };
    // {menu command (0: the end of the game), control, what it shows, steps
    // not run}; the Options sliders show in the file their OK writes below.
    for (const auto &[command, id, text, left] :
         {std::make_tuple(IDM_OPTIONS, IDC_ANIM,
                          std::string("50,0,1000 6,1,14 2,1,20 0,0,255 200,0,255 0,0,255 "), 2u),
          std::make_tuple(IDM_RULES, IDC_RULES_TEXT, std::string(RULES_TEXT), 1u),
          std::make_tuple(IDM_ABOUT, IDC_ABOUT_TITLE, std::string("Kuvex 2002"), 2u),
          std::make_tuple(IDM_BEST, IDC_BEST_LIST, std::string("List1 65535"), 1u),
          std::make_tuple(0, IDC_GAMEOVER_SCORE, std::string("Твои очки: 70000"), 0u),
          std::make_tuple(IDM_NAME, IDC_NAME_EDIT, std::string("Тестер"), 2u)}) {
        std::string seen;
        auto ok = [](HWND d) { SendMessageA(d, WM_COMMAND, IDOK, 0); };
        g_steps = {
            [&](HWND d) {
                // Centred over its owner: the two rectangles' middles agree (halves truncated).
                RECT a, b;
                GetWindowRect(d, &a), GetWindowRect(GetParent(d), &b);
                EXPECT_LE(abs(a.left + a.right - b.left - b.right) + abs(a.top + a.bottom - b.top - b.bottom),
                          2);
                seen = Shown(GetDlgItem(d, id)), SetDlgItemTextA(d, IDC_NAME_EDIT, "Вера"),
                press(d, IDC_GAMMA, VK_END);
                SendMessageA(d, WM_COMMAND, IDCANCEL, 0), SetTimer(d, 1, 10, RunStep);
            },
            [&](HWND d) { SendMessageA(d, WM_COMMAND, IDC_GAMEOVER_RENAME, 0), ok(d); }, // game over only
            [&](HWND d) { SetDlgItemTextA(d, IDC_NAME_EDIT, "Тестер"), ok(d); }};
        command ? (void)SendMessageA(window, WM_COMMAND, command, 0) : EndOfGame(window);
        EXPECT_EQ(seen, text);
        EXPECT_EQ(g_steps.size(), left) << command;
    }
    // The title follows the name. A typed name is cut to the 254 bytes the
    // files take, an empty one is the default; the About caption's fitted
    // fonts are freed with it.
    EXPECT_NE(Shown(window).find("Тестер"), std::string::npos);
    const long fonts = g_gdiLive;
    for (const auto &[typed, kept] : {std::make_pair(std::string(300, 'z'), std::string(254, 'z')),
                                      std::make_pair(std::string(), std::string("Инкогнито")),
                                      std::make_pair(std::string("Тестер"), std::string("Тестер"))}) {
        g_steps = {[&](HWND d) {
            SetDlgItemTextA(d, IDC_NAME_EDIT, typed.c_str()), SendMessageA(d, WM_COMMAND, IDOK, 0);
        }};
        SendMessageA(window, WM_COMMAND, IDM_NAME, 0), SendMessageA(window, WM_COMMAND, IDM_ABOUT, 0);
        EXPECT_EQ(g_settings.name, kept);
    }
    EXPECT_EQ(g_gdiLive, fonts);
    // Cancel above wrote nothing; OK during a game stores and writes the
    // settings and repaints the board in the new background.
    EXPECT_EQ(GetFileAttributesA(g_settingsPath), INVALID_FILE_ATTRIBUTES);
    g_steps = {[&](HWND d) {
        press(d, IDC_RED, VK_END), press(d, IDC_GREEN, VK_HOME), SendMessageA(d, WM_COMMAND, IDOK, 0);
    }};
    StartNewGame(window);
    SendMessageA(window, WM_COMMAND, IDM_OPTIONS, 0);
    EXPECT_EQ(Grab(g_board.fieldWnd).at(0), 0x00FF0000u);
    EXPECT_EQ(ReadFileBytes(g_settingsPath),
              "[Kuvex]\r\nanim=50\r\ngamma=6\r\nsatur=2\r\nname=Тестер\r\nback=0000FF00FF\r\n");
    DestroyWindow(window);
    DeleteFileA(g_recordPath);
}

} // namespace

int main(int argc, char **argv)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls), InstallWin32Host();
    GetTempPathA(MAX_PATH, g_scratch), GetCurrentDirectoryA(MAX_PATH, g_home);
    BuildProgramFilePath(g_recordPath, "kuvex.rec");
    SetWindowsHookExA(WH_CBT, WatchDialogs, nullptr, GetCurrentThreadId());
    return ::testing::InitGoogleTest(&argc, argv), RUN_ALL_TESTS();
}
