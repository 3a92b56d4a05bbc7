// The program's entry: settings, the main window, the message loop.
#include <windows.h>

#include <commctrl.h>

#include "app/app.h"
#include "res/resource.h"
#include "settings/program_path.h"
#include "settings/settings_store.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    // Trackbars (Options) and the list view (best results).
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);

    ChooseDataFolder();
    BuildProgramFilePath(g_settingsPath, L"kuvex.ini");
    if (LoadSettings(g_settingsPath) != 0) SaveSettings(g_settingsPath);

    InstallWin32Host();
    if (!RegisterMainClass(instance)) return 1;
    HWND window = CreateMainWindow(instance);
    if (!window) return 2;
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    HACCEL accel = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_ACCEL));
    MSG msg;
    // GetMessageW gives -1 on a failure; only a positive result is a message.
    // Wide, so a typed letter reaches the dialogs whole under any code page.
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!TranslateAcceleratorW(window, accel, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return 0;
}
