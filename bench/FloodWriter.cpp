// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in for rsync's progress display: writes N progress lines ended by
// carriage returns to standard output, as fast as it can or at a given rate
// (lines per second, in batches every 10 ms), then a newline and a summary.
//
//   tidewell_flood_writer [lines] [lines-per-second]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

int main(int argc, char *argv[])
{
    const long count = argc > 1 ? std::atol(argv[1]) : 2000000;
    const long rate = argc > 2 ? std::atol(argv[2]) : 0;
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    const long batch = rate > 0 ? std::max(1L, rate / 100) : count;
    auto next = std::chrono::steady_clock::now();
    for (long i = 0; i < count; ++i) {
        std::printf("  %6ld.23M  %3ld%%   10.52MB/s    0:01:02 (xfr#%ld, to-chk=3/40)\r", i % 1000, (i / 20000) % 101,
                    i);
        if (rate > 0 && (i + 1) % batch == 0) {
            std::fflush(stdout);
            next += std::chrono::milliseconds(10);
            std::this_thread::sleep_until(next);
        }
    }
    std::printf("\nTotal bytes received: 42\n");
    return 0;
}
