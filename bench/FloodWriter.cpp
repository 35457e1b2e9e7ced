// A stand-in for rsync's progress display: writes N progress lines ended by
// carriage returns to standard output as fast as it can, then a newline.

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    const long count = argc > 1 ? std::atol(argv[1]) : 2000000;
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    for (long i = 0; i < count; ++i)
        std::printf("  %6ld.23M  %3ld%%   10.52MB/s    0:01:02 (xfr#%ld, to-chk=3/40)\r", i % 1000, (i / 20000) % 101, i);
    std::printf("\nTotal bytes received: 42\n");
    return 0;
}
