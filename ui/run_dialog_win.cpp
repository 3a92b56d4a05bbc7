// The one way every modal dialog of the program is opened, and the font its
// controls draw in. The templates name "MS Sans Serif", a bitmap font of the
// system's own code page: on a Western or a Chinese system it has no Russian
// letters and every label would be boxes. There the controls get a font of
// the template's size that has them; where it has them nothing changes.
#include "ui/dialog_helpers.h"

#include "view/gdi.h"

namespace {

// What the front procedure needs: the dialog's own procedure, and the font
// it gave the controls (counted in the GDI tally), freed when the dialog has gone.
struct DialogRun
{
    DLGPROC proc;
    HFONT font;
};

const char RUN_PROP[] = "KuvexDialogRun";

// The 64 letters of the Russian alphabet, and Ё and ё.
bool HasRussianLetters(HDC dc)
{
    wchar_t letters[67];
    for (int i = 0; i < 64; ++i)
        letters[i] = wchar_t(0x0410 + i);
    letters[64] = 0x0401;
    letters[65] = 0x0451;
    letters[66] = 0;
    WORD glyphs[66];
    if (GetGlyphIndicesW(dc, letters, 66, glyphs, GGI_MARK_NONEXISTING_GLYPHS) != 66) return false;
    for (WORD g : glyphs)
        if (g == 0xFFFF) return false;
    return true;
}

// A font as lf asks, if the platform makes it with the face asked for (an
// empty face takes what it maps the character set to) and with the Russian
// letters; otherwise null.
HFONT MakeRussianFont(HDC dc, const LOGFONTW &lf)
{
    GdiObject<HFONT> font(CreateFontIndirectW(&lf));
    if (!font.get()) return nullptr;
    Selection chosen(dc, font.get());
    wchar_t face[LF_FACESIZE] = L"";
    GetTextFaceW(dc, LF_FACESIZE, face);
    if (lf.lfFaceName[0] && lstrcmpiW(face, lf.lfFaceName) != 0) return nullptr;
    return HasRussianLetters(dc) ? font.release() : nullptr;
}

// A font of the template font's size with the Russian letters: the same face
// in its Cyrillic form, then the faces that carry Cyrillic on every Windows,
// then whatever the platform gives for the Cyrillic set. Null when the
// template font has them already, or nothing better is found.
HFONT RussianFontFor(HWND dialog)
{
    const HFONT own = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    WindowDc dc(dialog);
    {
        Selection chosen(dc.get(), own);
        if (HasRussianLetters(dc.get())) return nullptr;
    }
    LOGFONTW lf = {};
    if (!own || !GetObjectW(own, sizeof lf, &lf)) return nullptr;
    lf.lfCharSet = RUSSIAN_CHARSET;
    wchar_t faces[][LF_FACESIZE] = {L"", L"Microsoft Sans Serif", L"Tahoma", L""};
    lstrcpynW(faces[0], lf.lfFaceName, LF_FACESIZE);
    for (const wchar_t *face : faces) {
        lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
        if (HFONT font = MakeRussianFont(dc.get(), lf)) return font;
    }
    return nullptr;
}

BOOL CALLBACK GiveFont(HWND control, LPARAM font)
{
    SendMessageW(control, WM_SETFONT, WPARAM(font), FALSE);
    return TRUE;
}

// Stands in front of every dialog procedure: before the dialog's own
// WM_INITDIALOG its controls get a font with the letters they show.
INT_PTR CALLBACK FrontDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogRun *run = static_cast<DialogRun *>(GetPropA(dialog, RUN_PROP));
    if (message == WM_INITDIALOG) {
        run = reinterpret_cast<DialogRun *>(lParam);
        SetPropA(dialog, RUN_PROP, run);
        run->font = RussianFontFor(dialog); // counted as made
        if (run->font) EnumChildWindows(dialog, GiveFont, LPARAM(run->font));
        return run->proc(dialog, message, wParam, 0);
    }
    if (message == WM_NCDESTROY) RemovePropA(dialog, RUN_PROP);
    return run ? run->proc(dialog, message, wParam, lParam) : FALSE;
}

} // namespace

void RunDialog(HWND owner, int templateId, DLGPROC proc)
{
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
    DialogRun run = {proc, nullptr};
    DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, FrontDlgProc, LPARAM(&run));
    GdiDelete(run.font); // its controls went with the dialog
}
