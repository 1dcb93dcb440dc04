// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Memory settings for a program that sits on screen all day and opens a window now and then:
// its peak resident size is what a user sees of it, not the speed of allocations.
namespace MemoryTuning {
// Call in main() before the first window is made.
void beforeWindows();
// Blocks of this size and above get a mapping of their own.
constexpr int mappedFromBytes = 128 * 1024;
// Call once the QApplication has been made.
void applicationMade();
// The most the style may keep of painted button faces, in kilobytes.
constexpr int pixmapCacheKilobytes = 64;
} // namespace MemoryTuning
