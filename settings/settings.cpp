// The settings' defaults.
#include "settings/settings.h"

Settings g_settings = {
    50,         // anim
    6,          // gamma
    2,          // satur
    0x0000C800, // back: blue 0, green 200, red 0
    "Инкогнито",
};
