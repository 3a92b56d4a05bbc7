// The Options dialog: animation pause, the two shading settings and the
// background colour, with a live preview of a green piece.
#include <windows.h>

#include <commctrl.h>

#include "game/board.h"
#include "res/resource.h"
#include "settings/options_dialog.h"
#include "settings/program_path.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "ui/dialog_helpers.h"
#include "view/field_view.h"
#include "view/gdi.h"
#include "view/sprite.h"

int32_t workGamma = 0;
int32_t workSatur = 0;
uint32_t workBack = 0;

static const COLORREF kPreviewColour = 0x00FF00; // pure green

// Draws a green piece over the whole preview control, tinted with g, s, b.
// A ball.bmp that fails to load gives a preview of the background colour.
static void DrawPreview(HWND dialog, int32_t g, int32_t s, uint32_t b)
{
    HWND control = GetDlgItem(dialog, IDC_PREVIEW);
    if (!control) return;
    RECT rc;
    GetClientRect(control, &rc);
    WindowDc dc(control);
    MemoryDc mem(dc.get());
    GdiObject<HBITMAP> ball(LoadBallBitmap(), GdiObject<HBITMAP>::Counted());
    GdiObject<HBITMAP> sprite(
        MakeTintedSprite(ball.get(), dc.get(), kPreviewColour, rc.right, rc.bottom, g, s, b),
        GdiObject<HBITMAP>::Counted());
    {
        Selection sel(mem.get(), sprite.get());
        BitBlt(dc.get(), 0, 0, rc.right, rc.bottom, mem.get(), 0, 0, SRCCOPY);
    }
}

// The preview control keeps no picture of its own; this subclass draws the
// preview again whenever the control is painted, so covering and uncovering
// the dialog does not wipe it.
static const wchar_t kOldProcProp[] = L"KuvexPreviewProc";

static LRESULT CALLBACK PreviewProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC old = reinterpret_cast<WNDPROC>(GetPropW(control, kOldProcProp));
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(control, &ps);
        EndPaint(control, &ps);
        DrawPreview(GetParent(control), workGamma, workSatur, workBack);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        RemovePropW(control, kOldProcProp);
    }
    return CallWindowProcW(old, control, message, wParam, lParam);
}

static void SetSlider(HWND dialog, int id, int low, int high, int freq, int pos)
{
    SendDlgItemMessageA(dialog, id, TBM_SETRANGE, FALSE, MAKELPARAM(low, high));
    if (freq) SendDlgItemMessageA(dialog, id, TBM_SETTICFREQ, freq, 0);
    SendDlgItemMessageA(dialog, id, TBM_SETPOS, TRUE, pos);
}

static INT_PTR OnInitDialog(HWND dialog)
{
    CenterOnParent(dialog);
    SetSlider(dialog, IDC_ANIM, 0, 1000, 100, g_settings.anim);
    SetSlider(dialog, IDC_GAMMA, 1, 14, 1, g_settings.gamma);
    SetSlider(dialog, IDC_SATUR, 1, 20, 2, g_settings.satur);
    workSatur = g_settings.satur;
    workGamma = g_settings.gamma;
    workBack = g_settings.back;

    HWND preview = GetDlgItem(dialog, IDC_PREVIEW);
    if (preview) {
        LONG_PTR old = SetWindowLongPtrW(preview, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PreviewProc));
        SetPropW(preview, kOldProcProp, reinterpret_cast<HANDLE>(old));
    }
    DrawPreview(dialog, g_settings.gamma, g_settings.satur, workBack);

    const int colourIds[3] = {IDC_RED, IDC_GREEN, IDC_BLUE};
    for (int id : colourIds)
        SendDlgItemMessageA(dialog, id, TBM_SETRANGE, FALSE, MAKELPARAM(0, 255));
    SendDlgItemMessageA(dialog, IDC_RED, TBM_SETPOS, TRUE, BackRed(g_settings.back));
    SendDlgItemMessageA(dialog, IDC_GREEN, TBM_SETPOS, TRUE, BackGreen(g_settings.back));
    SendDlgItemMessageA(dialog, IDC_BLUE, TBM_SETPOS, TRUE, BackBlue(g_settings.back));
    return TRUE;
}

static uint32_t WithByte(uint32_t value, int byteIndex, int position)
{
    uint32_t shift = 8u * static_cast<uint32_t>(byteIndex);
    return (value & ~(0xFFu << shift)) | ((static_cast<uint32_t>(position) & 0xFFu) << shift);
}

static INT_PTR OnVScroll(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    HWND slider = reinterpret_cast<HWND>(lParam);
    int pos = LOWORD(wParam) == TB_THUMBTRACK ? static_cast<int>(HIWORD(wParam))
                                              : static_cast<int>(SendMessageA(slider, TBM_GETPOS, 0, 0));
    if (slider == GetDlgItem(dialog, IDC_GAMMA))
        workGamma = pos;
    else if (slider == GetDlgItem(dialog, IDC_SATUR))
        workSatur = pos;
    else if (slider == GetDlgItem(dialog, IDC_RED))
        workBack = WithByte(workBack, 2, pos);
    else if (slider == GetDlgItem(dialog, IDC_GREEN))
        workBack = WithByte(workBack, 1, pos);
    else if (slider == GetDlgItem(dialog, IDC_BLUE))
        workBack = WithByte(workBack, 0, pos);
    DrawPreview(dialog, workGamma, workSatur, workBack);
    return FALSE;
}

static void OnOk(HWND dialog)
{
    g_settings.gamma = workGamma;
    g_settings.satur = workSatur;
    g_settings.back = workBack;
    g_settings.anim = static_cast<int32_t>(SendDlgItemMessageA(dialog, IDC_ANIM, TBM_GETPOS, 0, 0));
    SaveSettings(g_settingsPath);
    RebuildAndPaintIfActive(); // while the dialog is still open
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_VSCROLL:
        return OnVScroll(dialog, wParam, lParam);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            OnOk(dialog);
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, IDCANCEL);
        return FALSE;
    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        return FALSE;
    default:
        return FALSE;
    }
}
