// SPDX-License-Identifier: GPL-3.0-or-later
// Reads raw signed 16-bit mono sound on standard input (as parec --raw --format=s16le writes it)
// and prints, for every 50 ms of it as it arrives, the wall-clock time of arrival in seconds
// since the epoch and the loudest sample: "1765300000.123 812". The real-sound tests read what
// a sound server played from these lines.
// Usage: parec ... | sound_level RATE
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

int main(int argc, char* argv[])
{
    const long rate = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 8000;
    if (rate <= 0)
        return 2;
    const std::size_t bytes = static_cast<std::size_t>(rate / 20) * 2;
    std::vector<unsigned char> chunk(bytes);
    for (;;) {
        std::size_t got = 0;
        while (got < bytes) {
            const ssize_t n = ::read(0, chunk.data() + got, bytes - got);
            if (n <= 0)
                return 0;
            got += static_cast<std::size_t>(n);
        }
        int peak = 0;
        for (std::size_t i = 0; i + 1 < bytes; i += 2) {
            const auto sample = static_cast<int16_t>(chunk[i] | (chunk[i + 1] << 8));
            peak = std::max(peak, std::abs(static_cast<int>(sample)));
        }
        const double now =
            std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
                .count();
        std::printf("%.3f %d\n", now, peak);
        std::fflush(stdout);
    }
}
