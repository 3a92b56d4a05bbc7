// Centring a dialog over its owner, and putting a text into a static control
// in a font scaled to fill it. The fonts made here belong to their control:
// each is kept as a window property of the control, deleted when a later call
// replaces it, and by a subclass of the control when the control is destroyed.
#include "ui/dialog_helpers.h"

#include <commctrl.h>

#include "ui/cp1251.h"
#include "ui/dialog_math.h"
#include "view/gdi.h"

namespace {

const UINT_PTR CAPTION_FONT_SUBCLASS = 1;
const char CAPTION_FONT_PROP[] = "KuvexCaptionFont";

// Frees the caption font with the control.
LRESULT CALLBACK CaptionFontProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR)
{
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, CaptionFontProc, id);
        GdiDelete(RemovePropA(control, CAPTION_FONT_PROP));
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

} // namespace

void CenterOnParent(HWND window)
{
    RECT p = {}, w = {};
    GetWindowRect(GetParent(window), &p);
    GetWindowRect(window, &w);
    OffsetRect(&w, -w.left, -w.top);
    const int x = CenteredStart(p.left, p.right, w.right);
    const int y = CenteredStart(p.top, p.bottom, w.bottom);
    SetWindowPos(window, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
}

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

    LOGFONTA lf = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfHeight = ScaledFontHeight(lf.lfHeight, CaptionScale(m));
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    // Off 96 dots per inch the system font the text was measured in need not
    // grow with the resolution as the control and the stock font do (Wine's
    // keeps its size at 144): measured again in the font made, the text is
    // brought inside the control.
    if (GetDeviceCaps(dc.get(), LOGPIXELSY) != 96) {
        GdiObject<HFONT> trial(CreateFontIndirectA(&lf));
        Selection chosen(dc.get(), trial.get());
        SIZE made = {};
        if (trial.get() && GetTextExtentPoint32W(dc.get(), wide.text, lstrlenW(wide.text), &made))
            lf.lfHeight = HeightToFit(lf.lfHeight, made.cx, client.right);
    }
    GdiObject<HFONT> font(CreateFontIndirectA(&lf));
    if (!font.get()) return 1;

    // Without the subclass and the property the font could never be freed.
    if (!SetWindowSubclass(control, CaptionFontProc, CAPTION_FONT_SUBCLASS, 0)) return 1;
    HANDLE old = GetPropA(control, CAPTION_FONT_PROP); // from an earlier call
    if (!SetPropA(control, CAPTION_FONT_PROP, font.get())) return 1;

    SetWindowTextW(control, wide.text);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.release()), TRUE);
    GdiDelete(old); // no longer shown
    return 0;
}
