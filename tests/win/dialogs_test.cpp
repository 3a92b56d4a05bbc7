// The modal dialogs over a plain owner window: the templates as authored,
// then each procedure driven by keys and clicks posted through its modal
// loop, and the caption fonts the procedures make.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "scores/score_dialogs.h"
#include "settings/options_dialog.h"
#include "ui/help_dialogs.h"
#include "game/turn.h"
#include "harness.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "ui/dialog_helpers.h"
#include "ui/help_texts.h"
#include "view/gdi.h"

namespace {

using Step = DialogDriver::Step;

HGDIOBJ FontHandle(HWND w)
{
    return reinterpret_cast<HGDIOBJ>(SendMessageA(w, WM_GETFONT, 0, 0));
}

LOGFONTA FontOf(HWND w)
{
    LOGFONTA lf = {};
    GetObjectA(FontHandle(w), sizeof lf, &lf);
    return lf;
}

LONG StockFontHeight()
{
    LOGFONTA lf = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    return lf.lfHeight;
}

// A key as the keyboard delivers it: to the focus, through the modal loop's
// IsDialogMessage, which turns Escape and Enter into commands.
void PostKey(HWND dialog, WPARAM vk)
{
    HWND to = GetFocus() ? GetFocus() : dialog;
    PostMessageA(to, WM_KEYDOWN, vk, 1);
    PostMessageA(to, WM_KEYUP, vk, 0xC0000001);
}

void Click(HWND dialog, int id)
{
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void CloseBox(HWND dialog)
{
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// Leaves the template as it is; the steps end it.
INT_PTR CALLBACK ProbeProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE) EndDialog(dialog, 0);
    return message == WM_INITDIALOG;
}

class Dialogs : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        owner = CreateWindowExA(0, "STATIC", "Kuvex 2002", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 260, 140, 450,
                                480, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    static void TearDownTestSuite() { DestroyWindow(owner); }
    void SetUp() override
    {
        ASSERT_NE(owner, nullptr);
        saved = g_settings;
        savedScore = score;
    }
    void TearDown() override
    {
        g_settings = saved;
        score = savedScore;
    }
    // Opens the dialog over the owner as the program does and plays the
    // steps; fails unless every step ran (a step is not run once its dialog
    // has closed) and the dialog closed in time.
    static void Drive(int id, DLGPROC proc, std::initializer_list<Step> steps)
    {
        DialogDriver driver;
        for (const Step &s : steps)
            driver.Push(s);
        RunDialog(owner, id, proc);
        EXPECT_EQ(driver.ran, static_cast<int>(steps.size())) << "steps run on dialog " << id;
    }
    // The name after the change-name dialog opened over `before` and `act`
    // worked on it.
    static std::string NameAfter(const char *before, const Step &act)
    {
        std::strcpy(g_settings.name, before);
        Drive(IDD_NAME, NameDlgProc, {act});
        return g_settings.name;
    }
    static HWND owner;
    Settings saved;
    int32_t savedScore;
};
HWND Dialogs::owner = nullptr;

struct ControlWant
{
    int id;
    const char *cls, *text; // text null: not checked
    RECT units;             // x, y, width, height in dialog units
    DWORD style, exStyle;
};

struct DialogWant
{
    int id;
    const char *title;
    int width, height;
    std::vector<ControlWant> controls; // in tab order
};

const DWORD TAB = WS_TABSTOP, PUSH = BS_PUSHBUTTON | TAB, DEF = BS_DEFPUSHBUTTON | TAB;
const DWORD CAPTION = SS_CENTER | SS_CENTERIMAGE | WS_GROUP;

// clang-format off
const DialogWant kTemplates[] = {
    {IDD_RULES, "Правила", 208, 100, {
        {IDOK, "Button", "Закрыть", {79, 79, 50, 14}, DEF, 0},
        {IDC_RULES_TEXT, "Edit", "", {7, 7, 194, 69}, ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | TAB, 0}}},
    {IDD_ABOUT, "О программе", 186, 76, {
        {IDOK, "Button", "OK", {69, 55, 50, 14}, DEF, 0},
        {IDC_ABOUT_TITLE, "Static", "Kuvex 2002", {7, 7, 172, 27}, CAPTION, 0},
        {-1, "Static", nullptr, {7, 35, 172, 17}, SS_CENTER | WS_GROUP, 0}}},
    {IDD_NAME, "Поменять имя на", 124, 41, {
        {IDC_NAME_EDIT, "Edit", "", {7, 7, 110, 12}, WS_BORDER | ES_AUTOHSCROLL | TAB, 0},
        {IDOK, "Button", "OK", {7, 20, 50, 14}, DEF, 0},
        {IDCANCEL, "Button", "Cancel", {67, 20, 50, 14}, PUSH, 0}}},
    {IDD_BEST, "Лучшие", 186, 177, {
        {IDC_BEST_LIST, "SysListView32", "List1", {7, 7, 172, 146},
         LVS_REPORT | LVS_SORTDESCENDING | LVS_NOSORTHEADER | WS_BORDER | TAB, 0},
        {IDOK, "Button", "OK", {67, 156, 50, 14}, DEF, 0}}},
    {IDD_GAMEOVER, "Конец игры", 168, 74, {
        {IDOK, "Button", "OK", {7, 53, 55, 14}, DEF, 0},
        {IDC_GAMEOVER_RENAME, "Button", "Сменить имя", {106, 53, 55, 14}, PUSH, 0},
        {IDC_GAMEOVER_NAME, "Static", "Static", {7, 7, 154, 32}, CAPTION, WS_EX_STATICEDGE},
        {IDC_GAMEOVER_SCORE, "Static", "Static", {7, 41, 154, 11}, SS_CENTER | WS_GROUP, 0}}},
};
// clang-format on

void CheckTemplate(HWND dialog, const DialogWant &tpl)
{
    EXPECT_EQ(TextOf(dialog), tpl.title);
    const DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)) & frame, frame);
    const LOGFONTA font = FontOf(dialog);
    EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
    EXPECT_TRUE(font.lfCharSet == DEFAULT_CHARSET || font.lfCharSet == RUSSIAN_CHARSET);
    RECT size = {0, 0, tpl.width, tpl.height}, client;
    MapDialogRect(dialog, &size);
    GetClientRect(dialog, &client);
    EXPECT_TRUE(EqualRect(&size, &client));

    HWND c = GetWindow(dialog, GW_CHILD);
    for (const ControlWant &cs : tpl.controls) {
        SCOPED_TRACE(cs.id);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(GetDlgCtrlID(c), cs.id == -1 ? 0xFFFF : cs.id);
        char cls[64] = "";
        GetClassNameA(c, cls, sizeof cls);
        EXPECT_STRCASEEQ(cls, cs.cls);
        if (cs.text) {
            EXPECT_EQ(TextOf(c), cs.text);
        }
        // Position and size are converted separately, as the dialog manager does.
        RECT r = cs.units, live;
        MapDialogRect(dialog, &r);
        r.right += r.left;
        r.bottom += r.top;
        GetWindowRect(c, &live);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&live), 2);
        EXPECT_TRUE(EqualRect(&r, &live))
            << live.left << "," << live.top << "," << live.right << "," << live.bottom;
        const DWORD style = GetWindowLongA(c, GWL_STYLE), ex = GetWindowLongA(c, GWL_EXSTYLE);
        // An edit turns its border into a client edge; either draws a border.
        const DWORD border = (cs.style & WS_BORDER) && (ex & WS_EX_CLIENTEDGE) ? WS_BORDER : 0;
        EXPECT_EQ(style | border, WS_CHILD | WS_VISIBLE | cs.style) << std::hex << style;
        EXPECT_EQ(ex & cs.exStyle, cs.exStyle);
        c = GetWindow(c, GW_HWNDNEXT);
    }
    EXPECT_EQ(c, nullptr); // nothing beyond the listed controls
}

TEST_F(Dialogs, TemplatesHoldTheirControlsAndEachProcedureCentresItsDialog)
{
    for (const DialogWant &tpl : kTemplates) {
        SCOPED_TRACE(tpl.id);
        Drive(tpl.id, ProbeProc, {[&](HWND d) {
                  CheckTemplate(d, tpl);
                  EndDialog(d, 0);
              }});
    }
    // An owner smaller than every dialog: they hang over it evenly. The
    // close box ends each of them.
    MoveWindow(owner, 400, 300, 151, 61, TRUE);
    const std::pair<int, DLGPROC> procs[] = {{IDD_RULES, RulesDlgProc},
                                             {IDD_ABOUT, AboutDlgProc},
                                             {IDD_NAME, NameDlgProc},
                                             {IDD_GAMEOVER, GameOverDlgProc}};
    for (auto [id, proc] : procs) {
        SCOPED_TRACE(id);
        Drive(id, proc, {[](HWND d) {
                  RECT o, w;
                  GetWindowRect(owner, &o);
                  GetWindowRect(d, &w);
                  EXPECT_EQ(w.left, o.left + ((o.right - o.left) - (w.right - w.left)) / 2);
                  EXPECT_EQ(w.top, o.top + ((o.bottom - o.top) - (w.bottom - w.top)) / 2);
                  EXPECT_TRUE(IsWindowVisible(d));
                  CloseBox(d);
              }});
    }
    MoveWindow(owner, 260, 140, 450, 480, TRUE);
}

TEST_F(Dialogs, GameOverIgnoresEscapeAndRenamesOverItself)
{
    score = 70000; // beyond 16 bits: shown in full
    std::strcpy(g_settings.name, "Тестер");
    HWND gameOver = nullptr;
    HGDIOBJ font = nullptr;
    auto nameLine = [](HWND d) { return GetDlgItem(d, IDC_GAMEOVER_NAME); };
    Drive(IDD_GAMEOVER, GameOverDlgProc,
          {[&](HWND d) {
               gameOver = d;
               EXPECT_EQ(TextOf(GetDlgItem(d, IDC_GAMEOVER_SCORE)), "Твои очки: 70000");
               EXPECT_EQ(TextOf(nameLine(d)), "Тестер");
               EXPECT_LT(FontOf(nameLine(d)).lfHeight, StockFontHeight()); // fitted: larger
               PostKey(d, VK_ESCAPE);
               DialogDriver::Continue(d);
           },
           [&](HWND d) { Click(d, IDC_GAMEOVER_RENAME); }, // still open after Escape
           [&](HWND d) {
               EXPECT_EQ(GetWindow(d, GW_OWNER), gameOver);
               SetDlgItemTextA(d, IDC_NAME_EDIT, "Новое имя");
               PostKey(d, VK_RETURN);
               DialogDriver::Continue(gameOver);
           },
           [&](HWND d) {
               EXPECT_EQ(TextOf(nameLine(d)), "Новое имя");
               font = FontHandle(nameLine(d));
               Click(d, IDC_GAMEOVER_RENAME);
           },
           [&](HWND d) {
               SetDlgItemTextA(d, IDC_NAME_EDIT, "Отменено");
               PostKey(d, VK_ESCAPE);
               DialogDriver::Continue(gameOver);
           },
           [&](HWND d) {
               // Cancelled: the name stays, but the line is fitted afresh.
               EXPECT_STREQ(g_settings.name, "Новое имя");
               EXPECT_NE(FontHandle(nameLine(d)), font);
               PostKey(d, VK_RETURN);
           }});
    EXPECT_FALSE(IsWindow(gameOver));
}

TEST_F(Dialogs, ChangeNameReplacesCutsDefaultsAndCancels)
{
    // Preselected, so typing replaces the whole name.
    EXPECT_EQ(NameAfter("Старое",
                        [](HWND d) {
                            HWND edit = GetDlgItem(d, IDC_NAME_EDIT);
                            EXPECT_EQ(GetFocus(), edit);
                            EXPECT_EQ(TextOf(edit), "Старое");
                            DWORD from = 1, to = 0;
                            SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                                         reinterpret_cast<LPARAM>(&to));
                            EXPECT_EQ(from, 0u);
                            EXPECT_EQ(to, 6u);
                            PostMessageA(edit, WM_CHAR, static_cast<unsigned char>('Я'), 1);
                            PostKey(d, VK_RETURN);
                        }),
              "Я");
    // 300 typed characters: the name keeps the first 254 bytes.
    std::string typed;
    for (int i = 0; i < 300; ++i)
        typed += "ёжик "[i % 5];
    EXPECT_EQ(NameAfter("Старое",
                        [&](HWND d) {
                            for (char ch : typed)
                                PostMessageA(GetFocus(), WM_CHAR, static_cast<unsigned char>(ch), 1);
                            PostKey(d, VK_RETURN);
                        }),
              typed.substr(0, 254));
    // Empty becomes the default, blanks stay as entered; Escape, Cancel and
    // the close box leave the name as it was.
    const struct
    {
        const char *typed;
        void (*close)(HWND);
        const char *after;
    } cases[] = {{"", [](HWND d) { Click(d, IDOK); }, "Инкогнито"},
                 {"   ", [](HWND d) { Click(d, IDOK); }, "   "},
                 {"Другое", [](HWND d) { PostKey(d, VK_ESCAPE); }, "Старое"},
                 {"Другое", [](HWND d) { Click(d, IDCANCEL); }, "Старое"},
                 {"Другое", CloseBox, "Старое"}};
    for (const auto &c : cases)
        EXPECT_EQ(NameAfter("Старое",
                            [&](HWND d) {
                                SetDlgItemTextA(d, IDC_NAME_EDIT, c.typed);
                                c.close(d);
                            }),
                  c.after)
            << &c - cases;
}

TEST_F(Dialogs, RulesShowTheirTextAndIgnoreEscape)
{
    Drive(IDD_RULES, RulesDlgProc,
          {[](HWND d) {
               char text[400] = "";
               EXPECT_EQ(static_cast<int>(GetDlgItemTextA(d, IDC_RULES_TEXT, text, sizeof text)),
                         RULES_TEXT_LENGTH);
               EXPECT_STREQ(text, RULES_TEXT);
               EXPECT_EQ(GetFocus(), GetDlgItem(d, IDOK));
               PostKey(d, VK_ESCAPE);
               DialogDriver::Continue(d);
           },
           [](HWND d) { PostKey(d, VK_RETURN); }}); // still open after Escape
    Drive(IDD_RULES, RulesDlgProc, {[](HWND d) { Click(d, IDOK); }});
}

TEST_F(Dialogs, AboutFitsItsTitleAndClosesOnAnyCommand)
{
    Drive(IDD_ABOUT, AboutDlgProc, {[](HWND d) {
              HWND title = GetDlgItem(d, IDC_ABOUT_TITLE);
              EXPECT_EQ(TextOf(title), "Kuvex 2002");
              EXPECT_NE(FontOf(title).lfHeight, StockFontHeight());
              EXPECT_EQ(FontOf(title).lfOutPrecision, OUT_TT_ONLY_PRECIS);
              // The credit below: two lines of Russian.
              const std::string credit = TextOf(GetWindow(title, GW_HWNDNEXT));
              EXPECT_EQ(std::count(credit.begin(), credit.end(), '\n'), 1);
              EXPECT_TRUE(std::any_of(credit.begin(), credit.end(),
                                      [](char ch) { return static_cast<unsigned char>(ch) >= 0xC0; }));
              PostKey(d, VK_ESCAPE);
          }});
    Drive(IDD_ABOUT, AboutDlgProc, {[](HWND d) { PostKey(d, VK_RETURN); }});
    Drive(IDD_ABOUT, AboutDlgProc, {[](HWND d) { PostMessageA(d, WM_COMMAND, 4242, 0); }});
}

TEST_F(Dialogs, CaptionFontsAreFreedWhenReplacedAndWithTheirControl)
{
    const long start = g_gdiLive;
    HWND label = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_CENTER, 10, 10, 231, 52, owner,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_EQ(FitCaptionFont(label, "Kuvex 2002"), 0);
    const LONG first = FontOf(label).lfHeight;
    for (int i = 1; i < 5; ++i)
        EXPECT_EQ(FitCaptionFont(label, i % 2 ? "Инкогнито" : "Kuvex 2002"), 0);
    EXPECT_EQ(g_gdiLive, start + 1);          // each call replaced the previous font
    EXPECT_EQ(FontOf(label).lfHeight, first); // measured afresh, not in the font it had
    // An empty text: no scale to find, the stock height is kept.
    EXPECT_EQ(FitCaptionFont(label, ""), 0);
    EXPECT_EQ(TextOf(label), "");
    EXPECT_EQ(FontOf(label).lfHeight, StockFontHeight());
    DestroyWindow(label);
    EXPECT_EQ(g_gdiLive, start);

    // Many openings of the dialogs that fit a caption (closed by OK).
    std::strcpy(g_settings.name, "Инкогнито");
    for (int i = 0; i < 200; ++i) {
        Drive(IDD_GAMEOVER, GameOverDlgProc, {});
        Drive(IDD_ABOUT, AboutDlgProc, {});
    }
    EXPECT_EQ(g_gdiLive, start);
}

// Only with KUVEX_SHOT_DIR set (best on a Wine virtual desktop, which draws
// the frames): the screen with each dialog, as 32-bit BMP files.
TEST_F(Dialogs, Screenshots)
{
    const char *dir = std::getenv("KUVEX_SHOT_DIR");
    if (!dir) GTEST_SKIP() << "KUVEX_SHOT_DIR not set";
    score = 123;
    std::strcpy(g_settings.name, "Очень длинное имя игрока");
    auto shot = [dir](const char *file) {
        return [=](HWND d) {
            ShowWindow(d, SW_SHOW); // a probed template is shown only when its loop idles
            Pump(500);
            const Capture cap = Grab(nullptr);
            const DWORD size = static_cast<DWORD>(cap.bits.size() * 4);
            const BITMAPINFOHEADER bi = {sizeof bi, cap.w, -cap.h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
            const BITMAPFILEHEADER fh = {0x4D42, static_cast<DWORD>(sizeof fh + sizeof bi + size), 0, 0,
                                         sizeof fh + sizeof bi};
            std::ofstream(std::string(dir) + "\\" + file, std::ios::binary)
                .write(reinterpret_cast<const char *>(&fh), sizeof fh)
                .write(reinterpret_cast<const char *>(&bi), sizeof bi)
                .write(reinterpret_cast<const char *>(cap.bits.data()), size);
            for (HWND w = d; w && w != owner; w = GetWindow(w, GW_OWNER))
                PostMessageA(w, WM_CLOSE, 0, 0);
        };
    };
    Drive(IDD_RULES, RulesDlgProc, {shot("rules.bmp")});
    Drive(IDD_ABOUT, AboutDlgProc, {shot("about.bmp")});
    Drive(IDD_NAME, NameDlgProc, {shot("name.bmp")});
    Drive(IDD_BEST, ProbeProc, {shot("best.bmp")});
    Drive(IDD_GAMEOVER, GameOverDlgProc, {shot("gameover.bmp")});
    Drive(IDD_GAMEOVER, GameOverDlgProc,
          {[](HWND d) { Click(d, IDC_GAMEOVER_RENAME); }, shot("gameover_rename.bmp")});
}

} // namespace
