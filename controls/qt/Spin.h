#pragma once

// The spin controls: the auto-repeating button, the pair of arrows and the numeric edit that carries them.
#include "controls/qt/TSpinButton.h"
#include "controls/qt/TSpinEdit.h"
#include "controls/qt/TTimerSpeedButton.h"
