#pragma once
// When the program switches things outside itself: the decisions that the start-up, the
// full-screen window and the General page's confirmation share. The switching itself is
// the platform's SystemService.

#include <cstdint>

#include "platform/system.h"

namespace quorvel {

class Settings;

// The confirmation of a new start mode: entering the program as the system shell when
// the new mode is "system shell", putting the standard shell back when the old one was.
// Nothing happens when the mode did not change.
void ApplyStartModeChange(SystemService& system, std::int32_t oldMode, std::int32_t newMode);

// The confirmation of the "disable CD-ROM autorun" box: autorun goes off when the box
// was newly checked. Clearing the box never switches autorun back on.
void ApplyAutorunChange(SystemService& system, std::int32_t oldDisable, std::int32_t newDisable);

// At every start: autorun goes off when the settings ask for it.
void ApplyAutorunAtStart(SystemService& system, const Settings& settings);

// After the full-screen window has closed: power off when the settings ask for it.
void PowerOffIfWanted(SystemService& system, const Settings& settings);

}  // namespace quorvel
