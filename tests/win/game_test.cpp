// The main window as the player sees it: its field's pixels, the GDI guards,
// which ball.bmp files load, and each dialog's opening, OK and Cancel,
// driven from a timer inside the dialog's own modal loop.
#include "tests/win/win_test.h"

namespace {

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
        // A name too long for the title bar is shortened: its start shows.
        EXPECT_TRUE(command != IDM_NAME || Shown(g_mainWindow).find(S(name).substr(0, 3)) != S::npos)
            << Shown(g_mainWindow);
        EXPECT_EQ(g_gdiLive, live) << command;
    }
}

} // namespace
