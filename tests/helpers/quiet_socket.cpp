// SPDX-License-Identifier: GPL-3.0-or-later
// Holds a Unix socket address and never says a word: it accepts every connection and keeps it
// open unanswered until it is killed. A hung session bus for the tests, or another user's
// program squatting an address. Usage: quiet_socket ADDRESS (a path, or @NAME for a name in
// the abstract namespace). Prints "ready" once it listens.

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quiet_socket ADDRESS\n");
        return 2;
    }
    const char* name = argv[1];
    const bool abstract = name[0] == '@';
    const size_t length = std::strlen(name);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (length >= sizeof address.sun_path) {
        std::fprintf(stderr, "quiet_socket: address too long\n");
        return 2;
    }
    std::memcpy(address.sun_path, name, length);
    if (abstract)
        address.sun_path[0] = '\0';
    const socklen_t size =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + length + (abstract ? 0 : 1));
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::listen(listener, 64) != 0) {
        std::perror("quiet_socket");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    std::vector<int> kept;
    for (;;) {
        const int connection = ::accept(listener, nullptr, nullptr);
        if (connection >= 0)
            kept.push_back(connection);
    }
}
