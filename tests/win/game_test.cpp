// The main window as the player sees it: its field's pixels, the GDI guards,
// which ball.bmp files load, and each dialog's opening, OK and Cancel,
// driven from a timer inside the dialog's own modal loop.
#include "tests/win/win_test.h"
#include "view/sprite.h"

namespace {

// The first window's size, before any resolution scaling.
const LONG kWindowWidth = 450, kWindowHeight = 480;

// Centred, 480 high, squared by pulling the right edge in; the field fills
// the client area from its top left corner; the drawn icon and pointer
// load. Made taller or wider, the window gives up the surplus until it and
// the field are square again; a handled WM_SIZE answers 0, as documented.
TEST_F(Game, WindowCentredSquareAndFilledByTheField)
{
    RECT field, outer, client;
    GetWindowRect(g_mainWindow, &outer);
    GetClientRect(g_mainWindow, &client);
    EXPECT_EQ(std::make_tuple(outer.left, outer.top, outer.bottom - outer.top, client.right),
              std::make_tuple((GetSystemMetrics(SM_CXSCREEN) - kWindowWidth) / 2,
                              (GetSystemMetrics(SM_CYSCREEN) - kWindowHeight) / 2, kWindowHeight, client.bottom));
    EXPECT_EQ(ChildWindowFromPoint(g_mainWindow, POINT{0, 0}), g_board.fieldWnd);
    EXPECT_TRUE(GetClassLongPtrA(g_mainWindow, GCLP_HICON) && GetClassLongPtrA(g_mainWindow, GCLP_HCURSOR));
    // Made taller, then wider: each time it gives the surplus back, to the
    // square it was.
    const LONG side = client.right, width = outer.right - outer.left;
    for (const SIZE made : {SIZE{width, 640}, SIZE{640, kWindowHeight}}) {
        SetWindowPos(g_mainWindow, nullptr, 0, 0, made.cx, made.cy, SWP_NOMOVE | SWP_NOZORDER);
        GetClientRect(g_mainWindow, &client);
        GetClientRect(g_board.fieldWnd, &field);
        EXPECT_EQ(std::make_tuple(client.right, client.bottom, field.right, field.bottom),
                  std::make_tuple(side, side, side, side))
            << made.cx << " x " << made.cy;
    }
    EXPECT_EQ(SendMessageW(g_mainWindow, WM_SIZE, 0, 0), 0);
}

// The field's side; the board set to a colour a column, with cell (6, 1),
// where the keyboard cursor goes, empty.
LONG ColumnsOfColours()
{
    RECT field;
    GetClientRect(g_board.fieldWnd, &field);
    for (int i = 0; i < 64; ++i)
        g_board.grid[i / 8][i % 8] = i == 6 * 8 + 1 ? EMPTY : i / 8;
    return field.right;
}

RECT CellRect(LONG side, int col, int row)
{
    return {col * side / 8, row * side / 8, (col + 1) * side / 8, (row + 1) * side / 8};
}

// Pixels of a grab of the field, `side` a side, at which `is` holds, counted
// inside a rectangle and outside it.
template <class Is> std::pair<int, int> Counted(LONG side, RECT in, Is is)
{
    std::pair<int, int> counts;
    for (LONG i = 0; i < side * side; ++i)
        (PtInRect(&in, {i % side, i / side}) ? counts.first : counts.second) += is(i);
    return counts;
}

// Pixels of one grab of the field that differ from another's, counted
// inside a rectangle and outside it.
std::pair<int, int> Differing(const std::vector<COLORREF> &a, const std::vector<COLORREF> &b, LONG side, RECT in)
{
    return Counted(side, in, [&](LONG i) { return a[i] != b[i]; });
}

// Each piece colour has a picture of its own (the top cells' middle rows,
// each from its cell's left edge, differ), and pieces fill their cells: 31 %
// of the field is background (45 % with sprites a ninth too small).
TEST_F(Game, EachColourItsOwnPictureFillingItsCell)
{
    const LONG side = ColumnsOfColours();
    const auto plain = Grab(g_board.fieldWnd, true);
    std::set<std::vector<COLORREF>> looks;
    for (int col = 0; col < 8; ++col) {
        // A strip that started a pixel off its cell (cells of a side not
        // divisible by 8 start unevenly) would tell two like pictures apart.
        const auto strip = plain.begin() + side / 16 * side + CellRect(side, col, 0).left;
        looks.emplace(strip, strip + side / 8);
    }
    EXPECT_EQ(looks.size(), 8u);
    const int mostBackgroundPercent = 36;
    EXPECT_LT(100 * std::count(plain.begin(), plain.end(), RGB(kRed, kGreen, kBlue)),
              mostBackgroundPercent * long(plain.size()));
}

// The focus frame marks the selected cell and nothing else; the keyboard
// cursor marks its cell with a black ring and a white one, thicker in a
// larger cell, and nothing else.
TEST_F(Game, FrameAndCursorMarkOnlyTheirCells)
{
    const LONG side = ColumnsOfColours();
    const auto plain = Grab(g_board.fieldWnd, true);
    std::tie(g_board.selCol, g_board.selRow) = std::make_pair(2, 5);
    const auto framed = Grab(g_board.fieldWnd, true);
    g_cursor = {6, 1, 1};
    const auto cursor = Grab(g_board.fieldWnd, true);
    const auto [frame, strayFrame] = Differing(framed, plain, side, CellRect(side, 2, 5));
    EXPECT_GE(frame, side / 8);
    EXPECT_EQ(strayFrame, 0);
    EXPECT_EQ(Differing(cursor, framed, side, CellRect(side, 6, 1)).second, 0);
    // The cursor's black and white pixels in its cell, with the field
    // `width` pixels a side.
    const auto rings = [](const std::vector<COLORREF> &shown, LONG width) {
        const RECT at = CellRect(width, 6, 1);
        return std::make_pair(
            Counted(width, at, [&](LONG i) { return shown[i] == RGB(0, 0, 0); }).first,
            Counted(width, at, [&](LONG i) { return shown[i] == RGB(255, 255, 255); }).first);
    };
    // A ring 2 px thick, as a cell of 54 px or more has, covers twice its
    // cell's inner edge: 2 x 4 x (3/4 of the cell) at the least.
    ASSERT_GE(side / 8, 54) << "the cell too small for rings 2 px thick";
    const auto [black, white] = rings(cursor, side);
    EXPECT_GE(std::min(black, white), 2 * 4 * (side / 8 * 3 / 4)) << "a black ring and a white one, 2 px each";
    // In a smaller cell each ring is 1 px: no more than the cell's edge, 4 x its side.
    SetWindowPos(g_mainWindow, nullptr, 0, 0, 300, 340, SWP_NOMOVE | SWP_NOZORDER);
    const LONG small = ColumnsOfColours();
    ASSERT_LT(small / 8, 54) << "the cell too large for rings 1 px thick";
    const auto [thinBlack, thinWhite] = rings(Grab(g_board.fieldWnd, true), small);
    EXPECT_GT(std::min(thinBlack, thinWhite), 0);
    EXPECT_LE(std::max(thinBlack, thinWhite), 4 * (small / 8)) << "rings 1 px each";
}

// Drawn over, the field comes back through the window's own painting; an
// empty cell is plain background, selected or not.
TEST_F(Game, FieldComesBackAfterBeingCovered)
{
    const LONG side = ColumnsOfColours();
    const auto plain = Grab(g_board.fieldWnd, true);
    std::tie(g_board.selCol, g_board.selRow) = std::make_pair(2, 5);
    g_board.grid[2][5] = EMPTY;
    const RECT cell = CellRect(side, 2, 5);
    const auto back = CoveredAndShownAgain(g_board.fieldWnd);
    EXPECT_EQ(Differing(back, plain, side, cell).second, 0);
    EXPECT_EQ(Differing(back, std::vector<COLORREF>(back.size(), RGB(kRed, kGreen, kBlue)), side, cell).first, 0);
}

// A guard's selection is undone with it: Windows will not delete a bitmap
// still selected.
TEST(Gdi, GuardUndoesItsSelection)
{
    MemoryDc memory(nullptr);
    const HGDIOBJ own = GetCurrentObject(memory.get(), OBJ_BITMAP);
    Selection(memory.get(), GdiObject<HBITMAP>(CreateCompatibleBitmap(memory.get(), 1, 1)).get());
    EXPECT_EQ(GetCurrentObject(memory.get(), OBJ_BITMAP), own);
}

// A held Space or Enter acts once (a repeat has bit 30 of the key data
// set), a held arrow moves on.
TEST_F(Game, HeldKeys)
{
    const LPARAM pressed = 1, repeated = 1 | 1 << 30;
    g_cursor = {3, 4, 1};
    for (const auto &[key, data] : {std::pair{VK_RETURN, pressed}, {VK_SPACE, repeated}, {VK_RIGHT, repeated}})
        SendMessageW(g_mainWindow, WM_KEYDOWN, key, data);
    EXPECT_EQ(std::make_tuple(g_board.selCol, g_board.selRow, g_cursor.col), std::make_tuple(3, 4, 4));
}

// A board without its field control has nothing to size its sprites for,
// even with a ball.bmp at hand.
TEST(Field, NoSpritesWithoutItsControl)
{
    SetCurrentDirectoryA(g_home); // with ball.bmp
    Board board;
    EXPECT_EQ(board.BuildSprites(9, 13, kBack), 1);
    EXPECT_EQ(board.sprites[0], nullptr);
}

// A field of no size (a window minimised, or dragged under 8 px high) still
// gets sprites of a pixel in the screen's format: the platform answers a
// side of 0 with a monochrome pixel, which would draw black or white.
TEST(Field, SpritesOfAPixelForAFieldOfNoSize)
{
    SetCurrentDirectoryA(g_home); // with ball.bmp
    using Bitmap = GdiObject<HBITMAP>;
    const Bitmap ball(LoadBallBitmap(), Bitmap::Counted());
    ASSERT_NE(ball.get(), nullptr);
    WindowDc screen(nullptr);
    const Bitmap sprite(MakeTintedSprite(ball.get(), screen.get(), RGB(0, 0, 255), 0, 0, 9, 13, kBack),
                        Bitmap::Counted());
    BITMAP bm = {};
    ASSERT_EQ(GetObjectA(sprite.get(), sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(std::make_tuple(bm.bmWidth, bm.bmHeight, int(bm.bmBitsPixel)),
              std::make_tuple(1, 1, GetDeviceCaps(screen.get(), BITSPIXEL)));
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

// Opens a dialog by its menu command and runs these steps in it, each on
// the dialog up at the time (see g_steps).
void Script(UINT command, std::vector<std::function<void(HWND)>> steps)
{
    g_steps = std::move(steps);
    SendMessageA(g_mainWindow, WM_COMMAND, command, 0);
}

// Options: OK after moving only one slider one step from the keyboard
// changes only its setting, only its line of kuvex.ini, and repaints the
// board in the background then set; OK with nothing moved and Cancel after
// moving every slider change nothing.
TEST_F(Game, OptionsOkChangesOnlyTheSliderMoved)
{
    const auto back = [](BYTE red, BYTE green, BYTE blue) { return uint32_t(red << 16 | green << 8 | blue); };
    const struct
    {
        int slider; // 0: none; -1: every one
        int button;
        Settings changed;
        S line, becomes; // in kIni
    } rows[] = {
        {IDC_ANIM, IDOK, {8, 9, 13, kBack, "Тестер"}, "anim=7", "anim=8"},
        {IDC_GAMMA, IDOK, {7, 10, 13, kBack, "Тестер"}, "gamma=9", "gamma=10"},
        {IDC_SATUR, IDOK, {7, 9, 14, kBack, "Тестер"}, "satur=13", "satur=14"},
        // "back": blue, green, red, 00 and their sum's low byte, in hex.
        {IDC_RED, IDOK, {7, 9, 13, back(kRed + 1, kGreen, kBlue), "Тестер"}, "3090E000A0", "3090E100A1"},
        {IDC_GREEN, IDOK, {7, 9, 13, back(kRed, kGreen + 1, kBlue), "Тестер"}, "3090E000A0", "3091E000A1"},
        {IDC_BLUE, IDOK, {7, 9, 13, back(kRed, kGreen, kBlue + 1), "Тестер"}, "3090E000A0", "3190E000A1"},
        {0, IDOK, kFixture, "", ""},
        {-1, IDCANCEL, kFixture, "", ""}};
    for (const auto &row : rows) {
        g_settings = kFixture;
        WriteFileBytes(g_settingsPath, kIni);
        RebuildAndPaintIfActive(); // in the fixture's colours again
        Script(IDM_OPTIONS, {[&row](HWND d) {
                   for (int slider : kBars)
                       if (row.slider == slider || row.slider < 0)
                           SendDlgItemMessageA(d, slider, WM_KEYDOWN, VK_DOWN, 0);
                   SendMessageA(d, WM_COMMAND, row.button, 0);
               }});
        S ini = kIni;
        if (!row.line.empty()) ini.replace(ini.find(row.line), row.line.size(), row.becomes);
        EXPECT_EQ(Fields(g_settings), Fields(row.changed)) << row.slider;
        EXPECT_EQ(ReadFileBytes(g_settingsPath), ini) << row.slider;
        const uint32_t b = row.changed.back; // the field's corner shows the background
        EXPECT_EQ(Grab(g_board.fieldWnd).at(0), RGB(b >> 16, b >> 8 & 0xFF, b & 0xFF)) << row.slider;
    }
}

// Drawn over, the Options preview comes back through the dialog's own
// painting.
TEST_F(Game, OptionsPreviewComesBackAfterBeingCovered)
{
    std::vector<COLORREF> before, after;
    Script(IDM_OPTIONS, {[&](HWND d) {
               before = Grab(GetDlgItem(d, IDC_PREVIEW));
               after = CoveredAndShownAgain(GetDlgItem(d, IDC_PREVIEW));
               SendMessageA(d, WM_COMMAND, IDCANCEL, 0);
           }});
    ASSERT_FALSE(before.empty());
    EXPECT_GT(std::set<COLORREF>(before.begin(), before.end()).size(), 8u) << "a preview with pieces in it";
    EXPECT_EQ(after, before);
}

// The best-results list draws each row on the screen, not only in the
// control: each row's label shows letters over the list's background, as
// its empty corner below the rows shows it.
TEST_F(Game, BestResultsRowsShownOnTheScreen)
{
    WriteFileBytes(g_recordPath, Record("Аня", 5) + Record("Борис", 12) + Record("Вера", 7));
    std::vector<int> letterPixels; // a row's
    Script(IDM_BEST, {[&](HWND d) {
               const HWND list = GetDlgItem(d, IDC_BEST_LIST);
               const auto shown = Grab(list);
               RECT client, label;
               GetClientRect(list, &client);
               for (int row = 0; row < ListView_GetItemCount(list); ++row) {
                   ListView_GetItemRect(list, row, &label, LVIR_LABEL);
                   int letters = 0;
                   for (LONG y = label.top; y < label.bottom; ++y)
                       for (LONG x = label.left; x < label.right; ++x)
                           letters += shown.at(y * client.right + x) != shown.back();
                   letterPixels.push_back(letters);
               }
               SendMessageA(d, WM_COMMAND, IDOK, 0);
           }});
    ASSERT_EQ(letterPixels.size(), 3u);
    for (int letters : letterPixels)
        EXPECT_GE(letters, 10) << "a row drawn with no letters";
}

// New games, from the menu and after one ended, leave the main window one
// child, the field, and no dialog of the last game.
TEST_F(Game, NewGameLeavesNoWindowBehind)
{
    const auto children = [] {
        int n = 0;
        for (HWND child = GetWindow(g_mainWindow, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            ++n;
        return n;
    };
    SendMessageA(g_mainWindow, WM_COMMAND, IDM_NEW, 0);
    EXPECT_EQ(children(), 1) << "after New";
    EndOfGame(g_mainWindow); // its dialog closed with no step to run
    SendMessageA(g_mainWindow, WM_COMMAND, IDM_NEW, 0);
    EXPECT_EQ(children(), 1) << "after a game that ended";
    EXPECT_EQ(GetWindow(g_mainWindow, GW_ENABLEDPOPUP), nullptr);
}

// Exit from the menu ends the main window. That the window's end ends the
// program with 0 is the black-box test's: Alt+F4 ends it the same way.
TEST_F(Game, ExitEndsTheWindow)
{
    SendMessageA(g_mainWindow, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_FALSE(IsWindow(g_mainWindow));
}

// A start whose main window cannot be made gives up with 2 (here a hook
// refuses every window), with no window left behind. (One that cannot
// register the window's class gives up with 1: every start of the files'
// model runs into the class this test program holds.)
TEST(Start, GivesUpWithItsCode)
{
    wchar_t settingsPath[PATH_CAP];
    lstrcpyW(settingsPath, g_settingsPath); // a start chooses its own
    ASSERT_TRUE(UnregisterClassW(L"ViewerClass", GetModuleHandleA(nullptr)));
    const HHOOK refuse = SetWindowsHookExW(
        WH_CBT, [](int code, WPARAM, LPARAM) -> LRESULT { return code == HCBT_CREATEWND; }, nullptr,
        GetCurrentThreadId());
    EXPECT_EQ(StartProgram(), 2);
    UnhookWindowsHookEx(refuse);
    EXPECT_EQ(FindWindowW(L"ViewerClass", nullptr), nullptr);
    lstrcpyW(g_settingsPath, settingsPath);
    Clear(); // the files that start wrote
}

// Each dialog, over the fixture and a record file written here: what it
// shows on opening; then, with a name typed where the dialog has a box
// for it, the row's button; then OK where that left it open. The
// game-over dialog has the name changed on the way, by OK in the
// change-name dialog. The settings and their file stay as they were but
// for the name; the title follows the name; the
// About caption's fitted fonts, like every GDI object a dialog makes, are
// freed with it.
TEST_F(Game, Dialogs)
{
    // In an order that neither the file's nor its reverse is: the list sorts them.
    WriteFileBytes(g_recordPath, Record("Аня", 5, {2002, 12, 4, 5, 9, 3, 7, 250}) +
                                     Record("Борис", 65535, {1999, 1, 0, 31, 23, 59, 58, 999}) +
                                     Record("Вера", 7));
    // A name pasted longer than the box's read buffer (510 letters) is cut to 254 bytes.
    const S z(1000, 'z'), z254(254, 'z'), sliders = " 7 0 1000 9 1 14 13 1 20 224 0 255 144 0 255 48 0 255";
    const S best = "List1\nИмя|Очки|Дата\nБорис|65535|31.1.1999 в 23:59:58\nВера|7|5.12.2002 в "
                   "9:3:7\nАня|5|5.12.2002 в 9:3:7";
    // {menu command (0: the end of a game), control, what it shows, name typed, button, steps not run, name}
    for (const auto &[command, id, text, typed, button, left, name] :
         {std::make_tuple(IDM_OPTIONS, IDC_ANIM, sliders.c_str(), "Вера", IDCANCEL, 2u, "Тестер"),
          std::make_tuple(IDM_OPTIONS, IDCANCEL, "Отмена", "Вера", IDCANCEL, 2u, "Тестер"),
          std::make_tuple(IDM_RULES, IDC_RULES_TEXT, RULES_TEXT, "Вера", IDCANCEL, 0u, "Тестер"),
          std::make_tuple(IDM_ABOUT, IDC_ABOUT_TITLE, "Kuvex 2002", "Вера", IDCANCEL, 2u, "Тестер"),
          std::make_tuple(IDM_BEST, IDC_BEST_LIST, best.c_str(), "Вера", IDCANCEL, 0u, "Тестер"),
          std::make_tuple(IDM_NAME, IDC_NAME_EDIT, "Тестер", "Вера", IDCANCEL, 2u, "Тестер"),
          std::make_tuple(IDM_NAME, IDC_NAME_EDIT, "Тестер", z.c_str(), IDOK, 2u, z254.c_str()),
          std::make_tuple(IDM_NAME, IDC_NAME_EDIT, "Тестер", "", IDOK, 2u, "Инкогнито"),
          std::make_tuple(IDM_NAME, IDC_NAME_EDIT, "Тестер", "  ", IDOK, 2u, "  "), // blanks stay
          std::make_tuple(0, IDC_GAMEOVER_NAME, "Тестер", "Лена", IDCANCEL, 0u, "Лена"),
          std::make_tuple(0, IDC_GAMEOVER_SCORE, "Твои очки: 70000", "Лена", IDCANCEL, 0u, "Лена")}) {
        g_settings = kFixture;
        WriteFileBytes(g_settingsPath, kIni);
        score = 70000;
        const long live = g_gdiLive;
        S seen;
        // The first step leaves two steps and presses the row's button, the
        // second (the game over's) Rename, the third OK.
        const int answers[] = {IDOK, IDC_GAMEOVER_RENAME, button};
        const auto step = [&](HWND d) {
            if (seen.empty()) seen = Shown(GetDlgItem(d, id));
            wchar_t wide[1024]; // typed as a player would, whatever the code page
            MultiByteToWideChar(1251, 0, typed, -1, wide, 1024);
            SetDlgItemTextW(d, IDC_NAME_EDIT, wide);
            SendMessageA(d, WM_COMMAND, answers[g_steps.size()], 0);
        };
        g_steps = {step, step, step};
        command ? (void)SendMessageA(g_mainWindow, WM_COMMAND, command, 0) : EndOfGame(g_mainWindow);
        EXPECT_EQ(std::make_pair(seen, g_steps.size()), std::make_pair(S(text), size_t(left)));
        EXPECT_EQ(Fields(g_settings), std::make_tuple(7, 9, 13, kBack, S(name)));
        EXPECT_EQ(ReadFileBytes(g_settingsPath), kIni);
        // A name too long for the title bar is shortened: its start shows.
        EXPECT_TRUE(command != IDM_NAME || Shown(g_mainWindow).find(S(name).substr(0, 3)) != S::npos)
            << Shown(g_mainWindow);
        EXPECT_EQ(g_gdiLive, live) << command;
    }
}

} // namespace
