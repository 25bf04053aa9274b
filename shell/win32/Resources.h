#pragma once

// Identifiers of the program's resources; read by the resource compiler too, so nothing but #define here.

// The lowest icon id is the one Explorer shows for the executable.
#define IDI_OVIN_WINDOW 1
#define IDI_OVIN_TRAY_IDLE 101
#define IDI_OVIN_TRAY_BUSY 102
#define IDI_OVIN_TRAY_WARNING 103
