// SPDX-License-Identifier: GPL-3.0-or-later
// qm-utc-ring: the alarm sound of qm-utc, in a process of its own, so that the clock loads no
// sound library and a sound server that hangs cannot stop its seconds. The clock starts it when
// an alarm rings and ends it when the alarm is answered.
#include "Beep.h"
#include "Loudness.h"
#include "PulsePlayback.h"
#include "SoundFile.h"
#include "ThemeSound.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace {
constexpr int usageStatus = 64;

void say(const std::string& line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
}

std::optional<long> number(const char* text, long lowest, long highest)
{
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

int usage()
{
    std::fputs("usage: qm-utc-ring [--file PATH] [--volume 0-100] [--fade SECONDS] [--once]\n"
               "Plays PATH, or the desktop's alarm sound when PATH is empty or cannot be played,\n"
               "through the sound server: from its start again until ended, or --once. What goes\n"
               "wrong is said in one line each on standard error.\n",
               stderr);
    return usageStatus;
}

// The desktop's alarm sound, or a beep where there is none that plays.
std::unique_ptr<SoundSource> alarmSound()
{
    const std::string theme = ThemeSound::find();
    if (theme.empty()) {
        say(std::string("the desktop's alarm sound (") + ThemeSound::alarmEvent +
            ") is not installed (Debian's sound-theme-freedesktop has it); a beep rings instead");
        return std::make_unique<Beep>();
    }
    std::string whyNot;
    if (auto sound = SoundFile::open(theme, &whyNot))
        return sound;
    say("the desktop's alarm sound " + theme + " " + whyNot + "; a beep rings instead");
    return std::make_unique<Beep>();
}
} // namespace

int main(int argc, char* argv[])
{
    std::string file;
    long volume = 80;
    long fade = 0;
    bool once = false;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--once") == 0) {
            once = true;
        } else if (std::strcmp(argv[i], "--file") == 0 && hasValue) {
            file = argv[++i];
        } else if (std::strcmp(argv[i], "--volume") == 0 && hasValue) {
            const auto value = number(argv[++i], 0, 100);
            if (!value)
                return usage();
            volume = *value;
        } else if (std::strcmp(argv[i], "--fade") == 0 && hasValue) {
            const auto value = number(argv[++i], 0, 24 * 60 * 60);
            if (!value)
                return usage();
            fade = *value;
        } else {
            return usage();
        }
    }

    std::unique_ptr<SoundSource> sound;
    if (!file.empty()) {
        std::string whyNot;
        sound = SoundFile::open(file, &whyNot);
        if (!sound)
            say("sound file " + file + ": " + whyNot + "; the desktop's alarm sound rings instead");
    }
    if (!sound)
        sound = alarmSound();
    const Loudness loudness(static_cast<int>(volume), once ? 0.0 : static_cast<double>(fade));
    return PulsePlayback::play(*sound, loudness, once);
}
