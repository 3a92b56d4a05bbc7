// The modal dialogs driven in-process: a CBT hook notices each dialog as it
// is activated, and a message-only driver window plays a script against the
// dialog on top, one step per posted message, so every key and command a step
// posts has been handled by the dialog's own modal loop before the next step.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/dialogs.h"
#include "game/turn.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "ui/dialog_helpers.h"
#include "ui/help_texts.h"
#include "view/gdi.h"

namespace {

using Step = std::function<void(HWND top)>;

struct Driver
{
    HWND window = nullptr;
    HHOOK hook = nullptr;
    std::vector<Step> steps;
    size_t next = 0;
    bool waiting = false;      // for the first dialog to be activated
    std::vector<HWND> dialogs; // every dialog activated during a run
    bool timedOut = false;
    UINT pause = 0; // set by a step: let the dialog run this long before the next
} g_driver;

const UINT WM_STEP = WM_APP + 1;
const UINT_PTR WATCHDOG = 1;
const UINT_PTR RETRY = 2;

bool IsDialogWindow(HWND w)
{
    char cls[16] = "";
    GetClassNameA(w, cls, sizeof cls);
    return std::strcmp(cls, "#32770") == 0;
}

// The most recently activated dialog still on screen.
HWND TopDialog()
{
    for (auto it = g_driver.dialogs.rbegin(); it != g_driver.dialogs.rend(); ++it)
        if (IsWindow(*it) && IsWindowVisible(*it)) return *it;
    return nullptr;
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    HWND w = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && IsDialogWindow(w)) {
        auto &d = g_driver.dialogs;
        if (std::find(d.begin(), d.end(), w) == d.end()) d.push_back(w);
        if (g_driver.waiting) {
            g_driver.waiting = false;
            PostMessageA(g_driver.window, WM_STEP, 0, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK DriverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_STEP) {
        // A dialog activated by its focus before its modal loop has shown
        // it: wait for the loop to go idle, when it shows the dialog.
        if (!TopDialog()) {
            SetTimer(window, RETRY, 10, nullptr);
            return 0;
        }
        if (g_driver.next < g_driver.steps.size()) {
            const Step step = g_driver.steps[g_driver.next++];
            step(TopDialog());
            if (g_driver.next < g_driver.steps.size()) {
                if (g_driver.pause)
                    SetTimer(window, RETRY, g_driver.pause, nullptr);
                else
                    PostMessageA(window, WM_STEP, 0, 0);
                g_driver.pause = 0;
            }
        }
        return 0;
    }
    if (message == WM_TIMER && wParam == RETRY) {
        KillTimer(window, RETRY);
        PostMessageA(window, WM_STEP, 0, 0);
        return 0;
    }
    if (message == WM_TIMER && wParam == WATCHDOG) {
        // A dialog that would not close: end them all, innermost first.
        KillTimer(window, WATCHDOG);
        g_driver.timedOut = true;
        for (auto it = g_driver.dialogs.rbegin(); it != g_driver.dialogs.rend(); ++it)
            if (IsWindow(*it)) EndDialog(*it, 0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Opens the dialog over owner as the program does and plays the steps. True
// when every step ran and the dialog closed by itself.
bool Drive(HWND owner, int templateId, DLGPROC proc, std::vector<Step> steps)
{
    g_driver.steps = std::move(steps);
    g_driver.next = 0;
    g_driver.dialogs.clear();
    g_driver.timedOut = false;
    g_driver.waiting = true;
    SetTimer(g_driver.window, WATCHDOG, 5000, nullptr);
    RunDialog(owner, templateId, proc);
    KillTimer(g_driver.window, WATCHDOG);
    KillTimer(g_driver.window, RETRY);
    g_driver.waiting = false;
    MSG m; // a step message left over from a dialog that never opened
    while (PeekMessageA(&m, g_driver.window, WM_STEP, WM_STEP, PM_REMOVE)) {}
    return !g_driver.timedOut && g_driver.next == g_driver.steps.size();
}

std::string Text(HWND w)
{
    char buf[1024] = "";
    GetWindowTextA(w, buf, sizeof buf);
    return buf;
}

std::string ClassOf(HWND w)
{
    char buf[64] = "";
    GetClassNameA(w, buf, sizeof buf);
    return buf;
}

LOGFONTA FontOf(HWND w)
{
    LOGFONTA lf = {};
    GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(w, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    return lf;
}

LONG StockFontHeight()
{
    LOGFONTA lf = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    return lf.lfHeight;
}

// A key as the keyboard would deliver it: to the control with the focus,
// through the dialog's modal loop (IsDialogMessage).
void PressKey(HWND dialog, WPARAM vk)
{
    HWND focus = GetFocus();
    PostMessageA(focus ? focus : dialog, WM_KEYDOWN, vk, 1);
    PostMessageA(focus ? focus : dialog, WM_KEYUP, vk, 0xC0000001);
}

void ClickButton(HWND dialog, int id)
{
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void CloseBox(HWND dialog)
{
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void ExpectCentredOver(HWND dialog, HWND owner)
{
    RECT o, d;
    GetWindowRect(owner, &o);
    GetWindowRect(dialog, &d);
    // Halves truncate toward zero (the owner here is smaller than the dialog).
    EXPECT_EQ(d.left, o.left + ((o.right - o.left) - (d.right - d.left)) / 2);
    EXPECT_EQ(d.top, o.top + ((o.bottom - o.top) - (d.bottom - d.top)) / 2);
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
        HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSA owner = {};
        owner.lpfnWndProc = DefWindowProcA;
        owner.hInstance = instance;
        owner.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
        owner.lpszClassName = "KuvexDialogTestOwner";
        RegisterClassA(&owner);
        WNDCLASSA driver = {};
        driver.lpfnWndProc = DriverProc;
        driver.hInstance = instance;
        driver.lpszClassName = "KuvexDialogTestDriver";
        RegisterClassA(&driver);
        owner_ = CreateWindowExA(0, "KuvexDialogTestOwner", "Kuvex 2002", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 260, 140, 450, 480, nullptr, nullptr, instance, nullptr);
        g_driver.window = CreateWindowExA(0, "KuvexDialogTestDriver", "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                          nullptr, instance, nullptr);
        g_driver.hook = SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
    }
    static void TearDownTestSuite()
    {
        UnhookWindowsHookEx(g_driver.hook);
        DestroyWindow(g_driver.window);
        DestroyWindow(owner_);
    }
    void SetUp() override
    {
        ASSERT_TRUE(owner_ && g_driver.window && g_driver.hook);
        savedSettings_ = g_settings;
        savedScore_ = score;
    }
    void TearDown() override
    {
        g_settings = savedSettings_;
        score = savedScore_;
    }

    static HWND owner_;
    Settings savedSettings_;
    int32_t savedScore_;
};

HWND Dialogs::owner_ = nullptr;

// ---- Templates ------------------------------------------------------------

struct ControlSpec
{
    int id;
    const char *cls;
    const char *text;
    RECT units; // x, y, width, height in dialog units
    DWORD style;
    DWORD exStyle;
};

struct DialogSpec
{
    int id;
    const char *title;
    int width, height;
    std::vector<ControlSpec> controls; // in tab order
};

const DWORD CHILD = WS_CHILD | WS_VISIBLE;
const DWORD BUTTON = BS_PUSHBUTTON | WS_TABSTOP;
const DWORD DEFBUTTON = BS_DEFPUSHBUTTON | WS_TABSTOP;

std::vector<DialogSpec> Templates()
{
    return {
        {IDD_RULES,
         "Правила",
         208,
         100,
         {{IDOK, "Button", "Закрыть", {79, 79, 50, 14}, DEFBUTTON, 0},
          {IDC_RULES_TEXT,
           "Edit",
           "",
           {7, 7, 194, 69},
           ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_TABSTOP,
           0}}},
        {IDD_ABOUT,
         "О программе",
         186,
         76,
         {{IDOK, "Button", "OK", {69, 55, 50, 14}, DEFBUTTON, 0},
          {IDC_ABOUT_TITLE,
           "Static",
           "Kuvex 2002",
           {7, 7, 172, 27},
           SS_CENTER | SS_CENTERIMAGE | WS_GROUP,
           0},
          {-1, "Static", nullptr, {7, 35, 172, 17}, SS_CENTER | WS_GROUP, 0}}},
        {IDD_NAME,
         "Поменять имя на",
         124,
         41,
         {{IDC_NAME_EDIT, "Edit", "", {7, 7, 110, 12}, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0},
          {IDOK, "Button", "OK", {7, 20, 50, 14}, DEFBUTTON, 0},
          {IDCANCEL, "Button", "Cancel", {67, 20, 50, 14}, BUTTON, 0}}},
        {IDD_BEST,
         "Лучшие",
         186,
         177,
         {{IDC_BEST_LIST,
           "SysListView32",
           "List1",
           {7, 7, 172, 146},
           LVS_REPORT | LVS_SORTDESCENDING | LVS_NOSORTHEADER | WS_BORDER | WS_TABSTOP,
           0},
          {IDOK, "Button", "OK", {67, 156, 50, 14}, DEFBUTTON, 0}}},
        {IDD_GAMEOVER,
         "Конец игры",
         168,
         74,
         {{IDOK, "Button", "OK", {7, 53, 55, 14}, DEFBUTTON, 0},
          {IDC_GAMEOVER_RENAME, "Button", "Сменить имя", {106, 53, 55, 14}, BUTTON, 0},
          {IDC_GAMEOVER_NAME,
           "Static",
           "Static",
           {7, 7, 154, 32},
           SS_CENTER | SS_CENTERIMAGE | WS_GROUP,
           WS_EX_STATICEDGE},
          {IDC_GAMEOVER_SCORE, "Static", "Static", {7, 41, 154, 11}, SS_CENTER | WS_GROUP, 0}}},
    };
}

void CheckTemplate(HWND dialog, const DialogSpec &spec)
{
    SCOPED_TRACE(spec.id);
    EXPECT_EQ(Text(dialog), spec.title);
    const DWORD want = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)) & want, want);
    const LOGFONTA font = FontOf(dialog);
    EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
    EXPECT_TRUE(font.lfCharSet == DEFAULT_CHARSET || font.lfCharSet == RUSSIAN_CHARSET);

    RECT size = {0, 0, spec.width, spec.height}, client;
    MapDialogRect(dialog, &size);
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    HWND c = GetWindow(dialog, GW_CHILD);
    for (const ControlSpec &cs : spec.controls) {
        SCOPED_TRACE(cs.id);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(GetDlgCtrlID(c), cs.id == -1 ? 0xFFFF : cs.id);
        EXPECT_STRCASEEQ(ClassOf(c).c_str(), cs.cls);
        if (cs.text) {
            EXPECT_EQ(Text(c), cs.text);
        }
        // Position and size are converted separately, as the dialog manager does.
        RECT r = cs.units;
        MapDialogRect(dialog, &r);
        r.right += r.left;
        r.bottom += r.top;
        RECT live;
        GetWindowRect(c, &live);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&live), 2);
        EXPECT_TRUE(EqualRect(&r, &live))
            << live.left << "," << live.top << "," << live.right << "," << live.bottom;
        const DWORD style = GetWindowLongA(c, GWL_STYLE);
        // An edit turns its border into a client edge; either draws a border.
        const DWORD border =
            (cs.style & WS_BORDER) && (GetWindowLongA(c, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) ? WS_BORDER : 0;
        EXPECT_EQ(style | border, CHILD | cs.style) << std::hex << style;
        if (cs.exStyle) {
            EXPECT_EQ(GetWindowLongA(c, GWL_EXSTYLE) & cs.exStyle, static_cast<LONG>(cs.exStyle));
        }
        c = GetWindow(c, GW_HWNDNEXT);
    }
    EXPECT_EQ(c, nullptr); // nothing beyond the listed controls
}

TEST_F(Dialogs, TemplatesHoldTheirControlsAndOpenCentred)
{
    for (const DialogSpec &spec : Templates()) {
        SCOPED_TRACE(spec.id);
        EXPECT_TRUE(Drive(owner_, spec.id, ProbeProc, {[&](HWND d) {
                              CheckTemplate(d, spec);
                              EndDialog(d, 0);
                          }}));
    }
    // The About credit line: two lines of Russian.
    Drive(owner_, IDD_ABOUT, ProbeProc, {[](HWND d) {
              HWND credit = GetDlgItem(d, IDC_ABOUT_TITLE);
              credit = GetWindow(credit, GW_HWNDNEXT);
              const std::string text = Text(credit);
              EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
              EXPECT_TRUE(
                  std::any_of(text.begin(), text.end(), [](char ch) { return (unsigned char)ch >= 0xC0; }));
              EndDialog(d, 0);
          }});
    // Every procedure centres its dialog over the owner first thing.
    const std::pair<int, DLGPROC> procs[] = {{IDD_RULES, RulesDlgProc},
                                             {IDD_ABOUT, AboutDlgProc},
                                             {IDD_NAME, NameDlgProc},
                                             {IDD_GAMEOVER, GameOverDlgProc}};
    MoveWindow(owner_, 400, 300, 151, 61, TRUE); // smaller than every dialog: they hang over it
    for (const auto &p : procs) {
        SCOPED_TRACE(p.first);
        EXPECT_TRUE(Drive(owner_, p.first, p.second, {[&](HWND d) {
                              ExpectCentredOver(d, owner_);
                              EXPECT_TRUE(IsWindowVisible(d));
                              CloseBox(d);
                          }}));
    }
    MoveWindow(owner_, 260, 140, 450, 480, TRUE);
}

// ---- Game over and change name --------------------------------------------

TEST_F(Dialogs, GameOverShowsScoreAndNameAndRenames)
{
    score = 70000; // beyond 16 bits: shown in full
    std::strcpy(g_settings.name, "Тестер");
    HWND gameOver = nullptr;
    HFONT firstFont = nullptr;
    const bool closed =
        Drive(owner_, IDD_GAMEOVER, GameOverDlgProc,
              {[&](HWND d) {
                   gameOver = d;
                   EXPECT_EQ(Text(d), "Конец игры");
                   EXPECT_EQ(Text(GetDlgItem(d, IDC_GAMEOVER_SCORE)), "Твои очки: 70000");
                   HWND nameLine = GetDlgItem(d, IDC_GAMEOVER_NAME);
                   EXPECT_EQ(Text(nameLine), "Тестер");
                   EXPECT_LT(FontOf(nameLine).lfHeight, StockFontHeight()); // fitted: larger
                   firstFont = reinterpret_cast<HFONT>(SendMessageA(nameLine, WM_GETFONT, 0, 0));
                   PressKey(d, VK_ESCAPE);
               },
               [&](HWND d) {
                   EXPECT_EQ(d, gameOver); // Escape left it open
                   ClickButton(d, IDC_GAMEOVER_RENAME);
               },
               [&](HWND d) {
                   EXPECT_EQ(Text(d), "Поменять имя на");
                   EXPECT_EQ(GetWindow(d, GW_OWNER), gameOver);
                   SetDlgItemTextA(d, IDC_NAME_EDIT, "Новое имя");
                   PressKey(d, VK_RETURN);
               },
               [&](HWND d) {
                   EXPECT_EQ(d, gameOver);
                   EXPECT_STREQ(g_settings.name, "Новое имя");
                   EXPECT_EQ(Text(GetDlgItem(d, IDC_GAMEOVER_NAME)), "Новое имя");
                   ClickButton(d, IDC_GAMEOVER_RENAME);
               },
               [&](HWND d) {
                   SetDlgItemTextA(d, IDC_NAME_EDIT, "Отменено");
                   PressKey(d, VK_ESCAPE);
               },
               [&](HWND d) {
                   // Cancelled: the name stays, but the line is fitted afresh.
                   EXPECT_EQ(d, gameOver);
                   EXPECT_STREQ(g_settings.name, "Новое имя");
                   HWND nameLine = GetDlgItem(d, IDC_GAMEOVER_NAME);
                   EXPECT_NE(reinterpret_cast<HFONT>(SendMessageA(nameLine, WM_GETFONT, 0, 0)), firstFont);
                   PressKey(d, VK_RETURN);
               }});
    EXPECT_TRUE(closed);
    EXPECT_FALSE(IsWindow(gameOver));
    // The close box ends it too.
    EXPECT_TRUE(Drive(owner_, IDD_GAMEOVER, GameOverDlgProc, {[](HWND d) { CloseBox(d); }}));
}

// Opens the change-name dialog over a name, lets `act` work on it, and
// returns the name afterwards.
std::string NameAfter(HWND owner, const char *before, const std::function<void(HWND dialog, HWND edit)> &act)
{
    std::strcpy(g_settings.name, before);
    const bool closed =
        Drive(owner, IDD_NAME, NameDlgProc, {[&](HWND d) { act(d, GetDlgItem(d, IDC_NAME_EDIT)); }});
    EXPECT_TRUE(closed);
    return g_settings.name;
}

TEST_F(Dialogs, ChangeNameConfirmsCutsAndCancels)
{
    // Preselected, so typing replaces the whole name.
    std::strcpy(g_settings.name, "Старое");
    EXPECT_TRUE(Drive(owner_, IDD_NAME, NameDlgProc,
                      {[](HWND d) {
                           HWND edit = GetDlgItem(d, IDC_NAME_EDIT);
                           EXPECT_EQ(GetFocus(), edit);
                           EXPECT_EQ(Text(edit), "Старое");
                           DWORD from = 1, to = 0;
                           SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                                        reinterpret_cast<LPARAM>(&to));
                           EXPECT_EQ(from, 0u);
                           EXPECT_EQ(to, 6u);
                           PostMessageA(edit, WM_CHAR, static_cast<unsigned char>('Я'), 1);
                       },
                       [](HWND d) {
                           EXPECT_EQ(Text(GetDlgItem(d, IDC_NAME_EDIT)), "Я");
                           PressKey(d, VK_RETURN);
                       }}));
    EXPECT_STREQ(g_settings.name, "Я");

    // 300 typed characters: the name keeps the first 254 bytes.
    const char pattern[] = "ёжик ";
    std::string typed;
    for (int i = 0; i < 300; ++i)
        typed += pattern[i % 5];
    std::string name = NameAfter(owner_, "Старое", [&](HWND d, HWND edit) {
        for (char ch : typed)
            PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(ch), 1);
        PressKey(d, VK_RETURN);
    });
    EXPECT_EQ(name, typed.substr(0, 254));

    // Empty becomes the default; blanks stay as entered.
    EXPECT_EQ(NameAfter(owner_, "Старое",
                        [](HWND d, HWND edit) {
                            SetWindowTextA(edit, "");
                            ClickButton(d, IDOK);
                        }),
              "Инкогнито");
    EXPECT_EQ(NameAfter(owner_, "Старое",
                        [](HWND d, HWND edit) {
                            SetWindowTextA(edit, "   ");
                            ClickButton(d, IDOK);
                        }),
              "   ");
    // Escape, Cancel and the close box leave the name as it was.
    for (auto close : {+[](HWND d) { PressKey(d, VK_ESCAPE); }, +[](HWND d) { ClickButton(d, IDCANCEL); },
                       +[](HWND d) { CloseBox(d); }})
        EXPECT_EQ(NameAfter(owner_, "Старое",
                            [&](HWND d, HWND edit) {
                                SetWindowTextA(edit, "Другое");
                                close(d);
                            }),
                  "Старое");
}

// ---- Rules and About ------------------------------------------------------

TEST_F(Dialogs, RulesShowTheTextAndIgnoreEscape)
{
    EXPECT_TRUE(Drive(owner_, IDD_RULES, RulesDlgProc,
                      {[](HWND d) {
                           HWND edit = GetDlgItem(d, IDC_RULES_TEXT);
                           char buf[400] = "";
                           EXPECT_EQ(GetWindowTextA(edit, buf, sizeof buf), RULES_TEXT_LENGTH);
                           EXPECT_STREQ(buf, RULES_TEXT);
                           EXPECT_EQ(GetFocus(), GetDlgItem(d, IDOK));
                           // Read-only: typing into it changes nothing.
                           SendMessageA(edit, WM_CHAR, 'x', 1);
                           EXPECT_EQ(GetWindowTextLengthA(edit), RULES_TEXT_LENGTH);
                           PressKey(d, VK_ESCAPE);
                       },
                       [](HWND d) {
                           EXPECT_TRUE(d && GetDlgItem(d, IDC_RULES_TEXT)); // still open
                           PressKey(d, VK_RETURN);
                       }}));
    EXPECT_TRUE(Drive(owner_, IDD_RULES, RulesDlgProc, {[](HWND d) { ClickButton(d, IDOK); }}));
    EXPECT_TRUE(Drive(owner_, IDD_RULES, RulesDlgProc, {[](HWND d) { CloseBox(d); }}));
}

TEST_F(Dialogs, AboutClosesOnAnyCommandAndFitsItsTitle)
{
    EXPECT_TRUE(Drive(owner_, IDD_ABOUT, AboutDlgProc, {[](HWND d) {
                          HWND title = GetDlgItem(d, IDC_ABOUT_TITLE);
                          EXPECT_EQ(Text(title), "Kuvex 2002");
                          const LOGFONTA lf = FontOf(title);
                          EXPECT_NE(lf.lfHeight, StockFontHeight());
                          EXPECT_EQ(lf.lfOutPrecision, OUT_TT_ONLY_PRECIS);
                          PressKey(d, VK_ESCAPE);
                      }}));
    EXPECT_TRUE(Drive(owner_, IDD_ABOUT, AboutDlgProc, {[](HWND d) { PressKey(d, VK_RETURN); }}));
    EXPECT_TRUE(Drive(owner_, IDD_ABOUT, AboutDlgProc,
                      {[](HWND d) { PostMessageA(d, WM_COMMAND, MAKEWPARAM(4242, 0), 0); }}));
    EXPECT_TRUE(Drive(owner_, IDD_ABOUT, AboutDlgProc, {[](HWND d) { CloseBox(d); }}));
}

// ---- Fitted caption fonts --------------------------------------------------

TEST_F(Dialogs, CaptionFontsAreFreedWithTheirControl)
{
    const long start = g_gdiLive;
    HWND label = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_CENTER, 10, 10, 231, 52, owner_,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(label, nullptr);
    ASSERT_EQ(FitCaptionFont(label, "Kuvex 2002"), 0);
    const LONG first = FontOf(label).lfHeight;
    for (int i = 1; i < 5; ++i)
        EXPECT_EQ(FitCaptionFont(label, i % 2 ? "Инкогнито" : "Kuvex 2002"), 0);
    EXPECT_EQ(g_gdiLive, start + 1); // each call replaced the previous font
    EXPECT_EQ(Text(label), "Kuvex 2002");
    EXPECT_EQ(FontOf(label).lfHeight, first); // measured afresh, not in the font it had
    // An empty text: no scale to find, the stock height is kept.
    EXPECT_EQ(FitCaptionFont(label, ""), 0);
    EXPECT_EQ(Text(label), "");
    EXPECT_EQ(FontOf(label).lfHeight, StockFontHeight());
    DestroyWindow(label);
    EXPECT_EQ(g_gdiLive, start);

    // Many openings of the dialogs that fit a caption leave nothing behind.
    std::strcpy(g_settings.name, "Инкогнито");
    for (int i = 0; i < 200; ++i) {
        Drive(owner_, IDD_GAMEOVER, GameOverDlgProc, {[](HWND d) { PostMessageA(d, WM_COMMAND, IDOK, 0); }});
        Drive(owner_, IDD_ABOUT, AboutDlgProc, {[](HWND d) { PostMessageA(d, WM_COMMAND, IDOK, 0); }});
    }
    EXPECT_EQ(g_gdiLive, start);
}

// ---- Screenshots ------------------------------------------------------------

// The whole screen as a 24-bit BMP.
void SaveScreen(const std::string &path)
{
    HDC screen = GetDC(nullptr);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD stride = (w * 3 + 3) & ~3u, size = stride * h;
    BITMAPFILEHEADER fh = {0x4D42, static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader + size), 0, 0,
                           static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader)};
    if (FILE *f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&fh, sizeof fh, 1, f);
        std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f);
        std::fwrite(bits, size, 1, f);
        std::fclose(f);
    }
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bmp);
    ReleaseDC(nullptr, screen);
}

// Only with KUVEX_SHOT_DIR set (best run on a Wine virtual desktop, which
// draws the frames and captions): one picture of each dialog.
TEST_F(Dialogs, Screenshots)
{
    const char *dir = std::getenv("KUVEX_SHOT_DIR");
    if (!dir) GTEST_SKIP() << "KUVEX_SHOT_DIR not set";
    score = 123;
    std::strcpy(g_settings.name, "Инкогнито");
    const Step settle = [](HWND) { g_driver.pause = 500; }; // painted and on screen
    auto shoot = [&](const char *file) {
        return [=](HWND d) {
            SaveScreen(std::string(dir) + "\\" + file);
            PostMessageA(d, WM_CLOSE, 0, 0);
        };
    };
    Drive(owner_, IDD_RULES, RulesDlgProc, {settle, shoot("rules.bmp")});
    Drive(owner_, IDD_ABOUT, AboutDlgProc, {settle, shoot("about.bmp")});
    Drive(owner_, IDD_NAME, NameDlgProc, {settle, shoot("name.bmp")});
    Drive(owner_, IDD_GAMEOVER, GameOverDlgProc, {settle, shoot("gameover.bmp")});
    Drive(owner_, IDD_BEST, ProbeProc, {settle, shoot("best.bmp")});
    std::strcpy(g_settings.name, "Очень длинное имя игрока");
    Drive(owner_, IDD_GAMEOVER, GameOverDlgProc,
          {[](HWND d) { ClickButton(d, IDC_GAMEOVER_RENAME); }, settle, shoot("gameover_rename.bmp"), settle,
           shoot("gameover_long.bmp")});
}

} // namespace
