// SPDX-License-Identifier: GPL-3.0-or-later
// Starts PROGRAM and measures, from outside, the time from exec to the first clock text on
// screen: the strip's window is found by its title among the window manager's clients, then
// the pixels of its clock label are read until some show the clock's default text colour
// (green). Prints "shown_ms S managed_ms M" (M: when the window manager had the window), then
// ends the program. Only X11 requests; the caller gives the program its settings folder.
// Usage: bench_startup PROGRAM   (needs DISPLAY; exit status 1 if nothing shows in 10 s)

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace {
using Clock = std::chrono::steady_clock;

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;
template <typename T> Reply<T> reply(T* raw)
{
    return Reply<T>(raw, &std::free);
}

xcb_atom_t atom(xcb_connection_t* x, const char* name)
{
    auto r = reply(xcb_intern_atom_reply(
        x, xcb_intern_atom(x, 0, uint16_t(std::strlen(name)), name), nullptr));
    return r ? r->atom : XCB_ATOM_NONE;
}

std::string title(xcb_connection_t* x, xcb_window_t window)
{
    auto r = reply(xcb_get_property_reply(
        x, xcb_get_property(x, 0, window, XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, 64), nullptr));
    if (!r)
        return {};
    return std::string(static_cast<const char*>(xcb_get_property_value(r.get())),
                       size_t(xcb_get_property_value_length(r.get())));
}

// The managed window titled like the strip, from the window manager's client list.
xcb_window_t findStrip(xcb_connection_t* x, xcb_window_t root, xcb_atom_t clientList)
{
    auto r = reply(xcb_get_property_reply(
        x, xcb_get_property(x, 0, root, clientList, XCB_ATOM_WINDOW, 0, 256), nullptr));
    if (!r)
        return XCB_WINDOW_NONE;
    const auto* ids = static_cast<const xcb_window_t*>(xcb_get_property_value(r.get()));
    const int count = xcb_get_property_value_length(r.get()) / int(sizeof(xcb_window_t));
    for (int i = 0; i < count; ++i) {
        if (title(x, ids[i]) == "QM-GLIMMER-DIAL")
            return ids[i];
    }
    return XCB_WINDOW_NONE;
}

// Pixels of the clock label (laid out at 960, 120, 1395, 375 twips) in the clock's green;
// zero while the window is not viewable.
int greenPixels(xcb_connection_t* x, xcb_window_t strip)
{
    xcb_generic_error_t* error = nullptr;
    auto r = reply(xcb_get_image_reply(
        x, xcb_get_image(x, XCB_IMAGE_FORMAT_Z_PIXMAP, strip, 64, 8, 93, 25, ~0u), &error));
    std::free(error);
    if (!r || r->depth != 24)
        return 0;
    const uint8_t* data = xcb_get_image_data(r.get());
    const int length = xcb_get_image_data_length(r.get());
    int green = 0;
    for (int i = 0; i + 3 < length; i += 4) { // B, G, R, pad
        if (data[i + 1] >= 0x80 && data[i] < 0x60 && data[i + 2] < 0x60)
            ++green;
    }
    return green;
}
} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_startup PROGRAM\n");
        return 2;
    }
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "bench_startup: no X display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const xcb_atom_t clientList = atom(x, "_NET_CLIENT_LIST");

    const Clock::time_point started = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[1], &argv[1]);
        _exit(127);
    }
    auto msSince = [&] {
        return std::chrono::duration<double, std::milli>(Clock::now() - started).count();
    };
    xcb_window_t strip = XCB_WINDOW_NONE;
    double managedMs = -1, shownMs = -1;
    while (Clock::now() - started < std::chrono::seconds(10)) {
        if (strip == XCB_WINDOW_NONE) {
            strip = findStrip(x, root, clientList);
            if (strip != XCB_WINDOW_NONE)
                managedMs = msSince();
        }
        // A few glyphs' worth of green: the text, not a stray pixel.
        if (strip != XCB_WINDOW_NONE && greenPixels(x, strip) >= 20) {
            shownMs = msSince();
            break;
        }
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "bench_startup: the program ended (status %d)\n", status);
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    xcb_disconnect(x);
    if (shownMs < 0) {
        std::fprintf(stderr, "bench_startup: no clock text within 10 s\n");
        return 1;
    }
    std::printf("shown_ms %.1f managed_ms %.1f\n", shownMs, managedMs);
    return 0;
}
