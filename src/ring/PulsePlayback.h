// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class Loudness;
class SoundSource;

// Plays a sound through the desktop's sound server (PulseAudio, or PipeWire's PulseAudio
// service): once to its end, or from its start again until the process is ended. A server that
// is not there, refuses the sound or does not answer within five seconds is said in one line on
// standard error, and play() returns 2; 0 when a sound played once has ended.
namespace PulsePlayback {
int play(SoundSource& source, const Loudness& loudness, bool once);
}
