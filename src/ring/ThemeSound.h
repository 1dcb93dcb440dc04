// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The desktop's sound for an event, looked up as freedesktop sound themes lay them out:
// in the "freedesktop" theme's stereo sounds, then unthemed, under $XDG_DATA_HOME/sounds and each
// $XDG_DATA_DIRS/sounds, as .oga, .ogg or .wav; a name not found is tried without its last
// dash-separated part ("alarm-clock-elapsed", "alarm-clock", "alarm").
namespace ThemeSound {
inline constexpr const char* alarmEvent = "alarm-clock-elapsed";

// The file's path, or empty when no theme has the sound.
std::string find(const std::string& event = alarmEvent);
} // namespace ThemeSound
