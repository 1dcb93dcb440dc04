// SPDX-License-Identifier: GPL-3.0-or-later
// Started by launcher tests as the real child: records what it was given and what it inherited,
// then exits. Usage: fd_probe REPORT_FILE [ARGS...]
//
// The report is written to a temporary name and renamed into place, so a test that polls for
// the file never reads half of it. Lines:
//   arg <text>           one per argument after REPORT_FILE
//   fd <n>               one per open descriptor, apart from the one used to list them
//   sid <sid> pid <pid>
//   tty yes|no           whether a controlling terminal can be opened
//   std<n> <target>      where descriptors 0, 1 and 2 point
//   sigign <hex>         ignored signals, as the kernel reports them
//   done

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {
std::string linkTarget(const char* path)
{
    char buffer[4096];
    const ssize_t length = readlink(path, buffer, sizeof buffer - 1);
    if (length < 0)
        return std::string("closed(") + std::strerror(errno) + ")";
    return std::string(buffer, static_cast<size_t>(length));
}

std::string ignoredSignals()
{
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return "unknown";
    char line[512];
    std::string result = "unknown";
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, "SigIgn:", 7) == 0) {
            result = line + 7;
            result.erase(0, result.find_first_not_of(" \t"));
            result.erase(result.find_last_not_of("\n") + 1);
        }
    }
    std::fclose(status);
    return result;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;

    std::string report;
    for (int i = 2; i < argc; ++i)
        report += std::string("arg ") + argv[i] + "\n";

    // Listed before anything else here opens a descriptor of its own.
    DIR* fds = opendir("/proc/self/fd");
    if (!fds)
        return 3;
    const int listingFd = dirfd(fds);
    while (const dirent* entry = readdir(fds)) {
        if (entry->d_name[0] == '.')
            continue;
        if (std::atoi(entry->d_name) == listingFd)
            continue;
        report += std::string("fd ") + entry->d_name + "\n";
    }
    closedir(fds);

    report += "sid " + std::to_string(getsid(0)) + " pid " + std::to_string(getpid()) + "\n";

    const int tty = open("/dev/tty", O_RDONLY | O_NOCTTY | O_CLOEXEC);
    report += std::string("tty ") + (tty >= 0 ? "yes" : "no") + "\n";
    if (tty >= 0)
        close(tty);

    for (int fd = 0; fd <= 2; ++fd) {
        const std::string path = "/proc/self/fd/" + std::to_string(fd);
        report += "std" + std::to_string(fd) + " " + linkTarget(path.c_str()) + "\n";
    }
    report += "sigign " + ignoredSignals() + "\n";
    report += "done\n";

    const std::string target = argv[1];
    const std::string partial = target + ".part";
    FILE* out = std::fopen(partial.c_str(), "we");
    if (!out)
        return 4;
    const bool written = std::fwrite(report.data(), 1, report.size(), out) == report.size();
    if (std::fclose(out) != 0 || !written)
        return 5;
    return std::rename(partial.c_str(), target.c_str()) == 0 ? 0 : 6;
}
