// The GDI tally.
#include "view/gdi.h"

long g_gdiLive = 0;
