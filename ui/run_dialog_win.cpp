// The one way every modal dialog of the program is opened.
#include "ui/dialog_helpers.h"

void RunDialog(HWND owner, int templateId, DLGPROC proc)
{
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
    DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, proc, 0);
}
