// Platform handle types the game core names without including <windows.h>.
// They are declared exactly as <windows.h> declares them (STRICT handles), so
// the Win32 layer and the core share one type and no casts are needed.
#pragma once

struct HWND__;
typedef HWND__ *HWND;
struct HBITMAP__;
typedef HBITMAP__ *HBITMAP;
