// Centring a dialog over its owner, and putting a text into a static control
// in a font scaled to fill it. The fonts made here belong to their control:
// each is kept as a window property of the control, deleted when a later call
// replaces it, and by a subclass of the control when the control is destroyed.
#include "ui/dialog_helpers.h"

#include <commctrl.h>

#include <cstdlib>

#include "ui/cp1251.h"
#include "ui/dialog_math.h"
#include "view/gdi.h"

namespace {

const UINT_PTR CAPTION_FONT_SUBCLASS = 1;
const char CAPTION_FONT_PROP[] = "KuvexCaptionFont";
const char CAPTION_LINES_PROP[] = "KuvexCaptionLines";

// Frees the caption font with the control.
LRESULT CALLBACK CaptionFontProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR)
{
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, CaptionFontProc, id);
        GdiDelete(RemovePropA(control, CAPTION_FONT_PROP));
        RemovePropA(control, CAPTION_LINES_PROP);
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

} // namespace

// The work area of the screen the window is mostly on.
static RECT WorkAreaOf(HWND window)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    return info.rcWork;
}

void CenterOnParent(HWND window)
{
    RECT p = {}, w = {};
    GetWindowRect(GetParent(window), &p);
    GetWindowRect(window, &w);
    OffsetRect(&w, -w.left, -w.top);
    // Over the owner's middle, then only as far into the work area as needed:
    // an owner near the edge of the screen keeps its dialog on the screen.
    const RECT work = WorkAreaOf(GetParent(window));
    const int x = StartInside(CenteredStart(p.left, p.right, w.right), w.right, work.left, work.right);
    const int y = StartInside(CenteredStart(p.top, p.bottom, w.bottom), w.bottom, work.top, work.bottom);
    SetWindowPos(window, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
}

namespace {

// A caption font of this height (for a GdiObject to own), asking for the Cyrillic letters whatever
// the system's code page (the stock font's set is the code page's own).
HFONT CaptionFont(LOGFONTA lf, int32_t height)
{
    lf.lfHeight = height;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    lf.lfCharSet = RUSSIAN_CHARSET;
    return CreateFontIndirectA(&lf);
}

// The text broken into lines no wider than width in the font selected into
// dc: after the last blank that fits, or inside a word longer than a line.
// The lines go into out joined by CR LF (the blank at a break dropped); their
// count, or 0 when out (cap units) has no room.
int BreakLines(HDC dc, const wchar_t *text, LONG width, wchar_t *out, int cap)
{
    int lines = 0, n = 0;
    const wchar_t *p = text;
    do {
        const int left = lstrlenW(p);
        int fit = 0;
        SIZE extent = {};
        GetTextExtentExPointW(dc, p, left, width, &fit, nullptr, &extent);
        int blank = fit;
        while (fit < left && blank > 0 && p[blank] != L' ')
            --blank;
        if (fit < left && blank > 0) fit = blank;
        if (fit == 0 && left > 0) fit = 1; // a letter wider than the line goes all the same
        if (n + fit + 3 > cap) return 0;
        if (lines++) {
            out[n++] = L'\r';
            out[n++] = L'\n';
        }
        for (int i = 0; i < fit; ++i)
            out[n++] = p[i];
        p += fit;
        while (*p == L' ')
            ++p;
    } while (*p);
    out[n] = L'\0';
    return lines;
}

// The largest height, from `height` toward zero, at which the text fits the
// client: on one line, its letters (the internal leading above them, which a
// vertically centred line may lose, aside) within the height; or, when
// `lines` is given, broken into lines there (cap units) whose cells all fit.
// 0 when none does.
int32_t FittingHeight(HDC dc, const LOGFONTA &lf, int32_t height, const wchar_t *text, SIZE client,
                      wchar_t *lines, int cap)
{
    while (height != 0) {
        GdiObject<HFONT> font(CaptionFont(lf, height));
        Selection chosen(dc, font.get());
        TEXTMETRICW metrics = {};
        GetTextMetricsW(dc, &metrics);
        SIZE made = {};
        if (lines) {
            const int count = BreakLines(dc, text, client.cx, lines, cap);
            made = {count ? 0 : client.cx + 1, count * metrics.tmHeight};
        } else {
            GetTextExtentPoint32W(dc, text, lstrlenW(text), &made);
            made.cy -= metrics.tmInternalLeading;
        }
        if (made.cx <= client.cx && made.cy <= client.cy) return height;
        height -= height < 0 ? -1 : 1; // a step at a time, so the largest that fits is found
    }
    return 0;
}

// A caption set on several lines loses SS_CENTERIMAGE, which keeps a static
// to one line; a later one-line caption gets it back.
void SetLines(HWND control, bool lines)
{
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    if (lines)
        SetWindowLongPtrW(control, GWL_STYLE, style & ~LONG_PTR(SS_CENTERIMAGE));
    else if (RemovePropA(control, CAPTION_LINES_PROP))
        SetWindowLongPtrW(control, GWL_STYLE, style | SS_CENTERIMAGE);
    if (lines) SetPropA(control, CAPTION_LINES_PROP, HANDLE(1));
}

} // namespace

int FitCaptionFont(HWND control, const char *text)
{
    WindowDc dc(control);
    // Measured in the DC as it comes (the system font), not the control's,
    // on the very text that is shown.
    const WideText wide(text);
    SIZE extent = {};
    GetTextExtentPoint32W(dc.get(), wide.text, lstrlenW(wide.text), &extent);
    RECT client = {};
    GetClientRect(control, &client);
    const CaptionMeasure m = {extent.cx, extent.cy, client.right, client.bottom};

    LOGFONTA lf = {}, own = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    const int32_t height = ScaledFontHeight(lf.lfHeight, CaptionScale(m));
    // The system font need not have the letters, nor grow with the
    // resolution as the control does: measured again in the font made, the
    // text is brought inside the control. Below the dialog's own size it
    // goes on several lines instead, at the largest size that fits.
    const SIZE room = {client.right, client.bottom};
    int32_t fitted = FittingHeight(dc.get(), lf, height, wide.text, room, nullptr, 0);
    GetObjectA(HFONT(SendMessageW(GetParent(control), WM_GETFONT, 0, 0)), sizeof own, &own);
    wchar_t broken[2 * WIDE_TEXT_CAP];
    bool lines = own.lfHeight && (fitted == 0 || abs(fitted) < abs(own.lfHeight));
    if (lines) {
        // From letters as tall as the control down.
        const int32_t many =
            FittingHeight(dc.get(), lf, -room.cy, wide.text, room, broken, 2 * WIDE_TEXT_CAP);
        lines = many != 0 && (fitted == 0 || abs(many) > abs(fitted)); // whichever is larger
        if (lines) fitted = many;
    }
    GdiObject<HFONT> font(CaptionFont(lf, fitted ? fitted : height));
    if (!font.get()) return 1;

    // Without the subclass and the property the font could never be freed.
    if (!SetWindowSubclass(control, CaptionFontProc, CAPTION_FONT_SUBCLASS, 0)) return 1;
    HANDLE old = GetPropA(control, CAPTION_FONT_PROP); // from an earlier call
    if (!SetPropA(control, CAPTION_FONT_PROP, font.get())) return 1;

    SetLines(control, lines);
    SetWindowTextW(control, lines ? broken : wide.text);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.release()), TRUE);
    GdiDelete(old); // no longer shown
    return 0;
}
