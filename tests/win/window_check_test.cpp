// Every window the game shows, as the player must be able to read it: every
// letter in the font its control draws with, every text whole in its
// control, every window on the work area, the score always in the title.
// The windows are found by walking, not listed: every menu command, the end
// of a game, and every push button other than OK and Cancel inside each
// dialog, so a new dialog or control is checked with no new test code.
#include "tests/win/win_test.h"

namespace {

using W = std::wstring;

// The score the title must end with, high enough to take room.
const int32_t kScore = 70000;

// One text of a window, in the font it is drawn with: a glyph for every
// letter (line breaks, which no font draws, aside), letters at least 5
// pixels high, and laid out by DrawText with format within room (a single
// line whatever its width). A single line's height is its letters', the
// internal leading above them aside: a vertically centred line may lose
// that, and nothing of the letters.
void CheckText(HWND w, const char *kind, HFONT font, const W &text, SIZE room, UINT format)
{
    WindowDc dc(nullptr);
    Selection chosen(dc.get(), font ? font : GetStockObject(SYSTEM_FONT));
    std::vector<WORD> glyphs(text.size() + 1);
    GetGlyphIndicesW(dc.get(), text.c_str(), int(text.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    int missing = 0;
    for (size_t i = 0; i < text.size(); ++i)
        missing += text[i] != L'\r' && text[i] != L'\n' && glyphs[i] == 0xFFFF;
    const W shown = text.substr(0, 40);
    EXPECT_EQ(missing, 0) << "missing letters: " << kind << " " << GetDlgCtrlID(w) << " " << shown;
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc.get(), &metrics);
    EXPECT_GE(metrics.tmHeight - metrics.tmInternalLeading, 5) << "too small: " << kind << " " << shown;
    RECT made = {0, 0, room.cx, 0};
    DrawTextW(dc.get(), text.c_str(), -1, &made, format | DT_CALCRECT);
    if (format & DT_SINGLELINE) made.bottom -= metrics.tmInternalLeading;
    EXPECT_TRUE(made.right <= room.cx && made.bottom <= room.cy)
        << "not fitting: " << kind << " " << GetDlgCtrlID(w) << " " << shown << ": " << made.right << "x"
        << made.bottom << " in " << room.cx << "x" << room.cy;
}

// A list's headings and cells, each in its column with the margin of three
// edges a side that the header and the list keep around a text.
void CheckList(HWND list, HFONT font)
{
    HWND header = ListView_GetHeader(list);
    const LONG margin = 6 * GetSystemMetrics(SM_CXEDGE);
    for (int col = 0; col < Header_GetItemCount(header); ++col) {
        RECT item = {};
        Header_GetItemRect(header, col, &item);
        const LONG width = item.right - item.left - margin;
        CheckText(header, "heading", font, ListText(list, -1, col), {width, item.bottom - item.top},
                  DT_SINGLELINE);
        for (int row = 0; row < ListView_GetItemCount(list); ++row) // rows grow with the font
            CheckText(list, "cell", font, ListText(list, row, col), {width, LONG_MAX}, DT_SINGLELINE);
    }
}

// The box of a grab's pixels unlike its top left one (the background).
RECT InkBox(const std::vector<COLORREF> &pixels, LONG width)
{
    RECT box = {LONG_MAX, LONG_MAX, -1, -1};
    for (LONG i = 0; i < LONG(pixels.size()); ++i)
        if (pixels[i] != pixels[0])
            box = {std::min(box.left, i % width), std::min(box.top, i / width),
                   std::max(box.right, i % width + 1), std::max(box.bottom, i / width + 1)};
    return box;
}

// A caption fitted to its control, at any moment of its dialog's life: drawn
// again after being covered, its letters are those of its text in the font
// it was given (a font deleted while shown draws as another), none cut off,
// and fill the control's height or width at least half.
void CheckFittedCaption(HWND c, HFONT font, const W &text, UINT format)
{
    EXPECT_EQ(GetObjectType(font), DWORD(OBJ_FONT)) << "a fitted caption's font deleted while shown";
    RECT rc = {};
    GetClientRect(c, &rc);
    const RECT drawn = InkBox(CoveredAndShownAgain(c), rc.right);
    // The same text in that font with room all round, so nothing is cut.
    WindowDc screen(nullptr);
    MemoryDc room(screen.get());
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), 2 * rc.right, 3 * rc.bottom));
    Selection chosen(room.get(), bitmap.get()), inFont(room.get(), font);
    RECT all = {0, 0, 2 * rc.right, 3 * rc.bottom}, at = {rc.right / 2, rc.bottom, 3 * rc.right / 2, 2 * rc.bottom};
    FillRect(room.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawTextW(room.get(), text.c_str(), -1, &at, format | DT_CENTER);
    const RECT whole = InkBox(Pixels(room.get(), all.right, all.bottom), all.right);
    // The screen may smooth the edges where memory does not: a pixel either side.
    const W shown = text.substr(0, 20);
    EXPECT_LE(abs((drawn.right - drawn.left) - (whole.right - whole.left)), 2) << "width as drawn: " << shown;
    EXPECT_LE(abs((drawn.bottom - drawn.top) - (whole.bottom - whole.top)), 2) << "height as drawn: " << shown;
    EXPECT_TRUE(2 * (drawn.bottom - drawn.top) >= rc.bottom || 2 * (drawn.right - drawn.left) >= rc.right)
        << "not filling its control: " << shown;
}

// Every text of a control, by its kind; controls without text have nothing
// to check.
BOOL CALLBACK CheckControl(HWND c, LPARAM)
{
    wchar_t cls[64] = L"", text[1024] = L"";
    GetClassNameW(c, cls, 64);
    GetWindowTextW(c, text, 1024);
    const HFONT font = HFONT(SendMessageW(c, WM_GETFONT, 0, 0));
    const LONG style = GetWindowLongW(c, GWL_STYLE), edge = GetSystemMetrics(SM_CXEDGE);
    RECT rc = {};
    GetClientRect(c, &rc);
    const W kind = cls;
    if (kind == WC_STATICW && (style & SS_TYPEMASK) <= SS_RIGHT) {
        UINT format = DT_WORDBREAK | (style & SS_EDITCONTROL ? DT_EDITCONTROL : 0);
        if (style & SS_CENTERIMAGE) format = DT_SINGLELINE; // one line, centred vertically
        CheckText(c, "static", font, text, {rc.right, rc.bottom}, format);
        const int id = GetDlgCtrlID(c);
        if (id == IDC_ABOUT_TITLE || id == IDC_GAMEOVER_NAME) CheckFittedCaption(c, font, text, format);
    } else if (kind == WC_BUTTONW) { // a group box's text stands on its top edge, within its height
        const LONG below = (style & BS_TYPEMASK) == BS_GROUPBOX ? 0 : 2 * edge;
        CheckText(c, "button", font, text, {rc.right - 2 * edge, rc.bottom - below}, DT_SINGLELINE);
    } else if (kind == WC_EDITW) {
        // A one-line edit scrolls sideways: only its height must hold a line.
        SendMessageW(c, EM_GETRECT, 0, LPARAM(&rc));
        const bool lines = style & ES_MULTILINE;
        CheckText(c, "edit", font, text, {lines ? rc.right - rc.left : LONG_MAX, rc.bottom - rc.top},
                  lines ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE);
    } else if (kind == WC_LISTVIEWW) {
        CheckList(c, font);
    }
    return TRUE;
}

// A window lies on the work area of its screen; a dialog's controls are
// checked, the main window's title is.
void CheckWindow(HWND w)
{
    MONITORINFO screen = {sizeof screen, {}, {}, 0};
    GetMonitorInfoW(MonitorFromWindow(w, MONITOR_DEFAULTTONEAREST), &screen);
    RECT r = {}, inside = {};
    GetWindowRect(w, &r);
    IntersectRect(&inside, &r, &screen.rcWork);
    EXPECT_TRUE(EqualRect(&inside, &r))
        << "off the work area: " << r.left << "," << r.top << " " << r.right << "," << r.bottom;
    if (w != g_mainWindow) return (void)EnumChildWindows(w, CheckControl, 0);
    // The title between the icon and the three buttons, each a caption wide.
    NONCLIENTMETRICSW m = {};
    m.cbSize = sizeof m;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
    GdiObject<HFONT> font(CreateFontIndirectW(&m.lfCaptionFont));
    wchar_t text[1024] = L"";
    GetWindowTextW(w, text, 1024);
    const W title = text, label = L"Очки: ";
    CheckText(w, "title", font.get(), title, {r.right - r.left - 4 * m.iCaptionWidth, LONG_MAX},
              DT_SINGLELINE);
    // The label and a number: a game that ended (a new one may open without
    // a move) leaves its final score shown while the next counts from 0.
    const size_t at = title.rfind(label), digits = at + label.size();
    EXPECT_TRUE(at != W::npos && digits < title.size() &&
                title.find_first_not_of(L"0123456789", digits) == W::npos)
        << "the title ends without the score: " << title;
}

// What the walk does in each dialog: check it, press each of its other push
// buttons (a dialog a button opens is walked the same way) and check it
// again, then close it.
void Walk(HWND dialog)
{
    CheckWindow(dialog);
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        const LRESULT code = SendMessageW(c, WM_GETDLGCODE, 0, 0), id = GetDlgCtrlID(c);
        if (!(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) || id == IDOK || id == IDCANCEL) continue;
        g_steps.assign(8, Walk);
        SendMessageW(dialog, WM_COMMAND, id, 0);
        CheckWindow(dialog);
    }
    CheckWindow(dialog); // as it closes
    PostMessageW(dialog, WM_CLOSE, 0, 0);
}

// Every command of the menu bar and its submenus, Exit aside.
void AddCommands(HMENU menu, std::vector<int> &ids)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        const int id = int(GetMenuItemID(menu, i)); // -1 for a submenu
        if (HMENU sub = GetSubMenu(menu, i))
            AddCommands(sub, ids);
        else if (id > 0 && id != IDM_EXIT)
            ids.push_back(id);
    }
}

// Twice: with the longest name (254 bytes of the widest letter, no blank to
// break at) and records, and with a short name and no record file. The
// main window is also checked narrowed by a third.
TEST_F(Game, EveryWindowReadableAndWhole)
{
    const S longest(254, '\xD9'); // Щ
    for (const S &name : {longest, S("Ян")}) {
        lstrcpyA(g_settings.name, name.c_str());
        DeleteFileA(g_recordPath);
        if (name == longest) WriteFileBytes(g_recordPath, Record(name, 65535) + Record("Аня", 5));
        score = kScore;
        UpdateTitle(g_mainWindow);
        CheckWindow(g_mainWindow);
        RECT r = {};
        GetWindowRect(g_mainWindow, &r);
        MoveWindow(g_mainWindow, r.left, r.top, (r.right - r.left) * 2 / 3, r.bottom - r.top, TRUE);
        CheckWindow(g_mainWindow);
        MoveWindow(g_mainWindow, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        std::vector<int> commands;
        AddCommands(GetMenu(g_mainWindow), commands);
        for (int command : commands) {
            SCOPED_TRACE(command);
            score = kScore;
            UpdateTitle(g_mainWindow); // after New, which began with another score
            g_steps.assign(8, Walk);
            SendMessageW(g_mainWindow, WM_COMMAND, command, 0);
            CheckWindow(g_mainWindow);
        }
        score = kScore;
        g_steps.assign(8, Walk);
        EndOfGame(g_mainWindow);
        g_board.active = 1; // for the next pass's commands
    }
}

} // namespace
