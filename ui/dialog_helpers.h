// Helpers every dialog uses: centring over the owner, fitting a caption.
#pragma once
#include <windows.h>

// Moves window over the middle of its parent/owner, then only as far as
// needed into the work area; shows it, top of Z order.
void CenterOnParent(HWND window);
// Sets text in a static control with a font scaled to fill it, with the
// Cyrillic letters; a text that would need a font smaller than the dialog's
// own goes on several lines instead, long words broken, with line breaks put in the text. 0 done, 1 when
// no font could be made (text and font left as they were). The font made is
// released when replaced by a later call or when the control is destroyed.
int FitCaptionFont(HWND control, const char *text);

// Opens dialog `templateId` modally over owner the way every opener does:
// instance from the owner, the owner as owner, parameter 0; result ignored.
void RunDialog(HWND owner, int templateId, DLGPROC proc);
