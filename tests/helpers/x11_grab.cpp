// SPDX-License-Identifier: GPL-3.0-or-later
// Looks at a window of a running X server from outside, in device pixels, for the real-window
// tests and the screenshots.
//
//   x11_grab WINDOW FILE.png             saves the window's picture
//   x11_grab WINDOW X Y [WIDTH HEIGHT]   prints the colours in that rectangle (default one
//                                        pixel), most frequent first: "#rrggbb count" a line
//
// WINDOW is an X window id, decimal or 0x-hexadecimal. Exit status 2 on wrong use, 1 when the
// window cannot be read.

#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

namespace {
int usage()
{
    std::fprintf(stderr, "usage: x11_grab WINDOW FILE.png | x11_grab WINDOW X Y [WIDTH HEIGHT]\n");
    return 2;
}

int printColours(const QImage& image, const QRect& area)
{
    const QRect inside = area.intersected(image.rect());
    if (inside != area) {
        std::fprintf(stderr, "x11_grab: the rectangle leaves the %dx%d window\n", image.width(),
                     image.height());
        return 1;
    }
    QHash<QRgb, int> counts;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            ++counts[image.pixel(x, y) & RGB_MASK];
    std::vector<std::pair<int, QRgb>> byCount;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        byCount.emplace_back(it.value(), it.key());
    std::sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    for (const auto& [count, rgb] : byCount)
        std::printf("#%06x %d\n", rgb, count);
    return 0;
}
} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3 && argc != 4 && argc != 6)
        return usage();
    // Device pixels, whatever scaling the programs under test were given.
    qputenv("QT_QPA_PLATFORM", "xcb");
    for (const char* scaling : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS"})
        qunsetenv(scaling);
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QGuiApplication app(argc, argv);

    bool ok = false;
    const WId window = QString::fromLocal8Bit(argv[1]).toULongLong(&ok, 0);
    if (!ok)
        return usage();
    const QImage image = QGuiApplication::primaryScreen()->grabWindow(window).toImage();
    if (image.isNull()) {
        std::fprintf(stderr, "x11_grab: cannot read window %s\n", argv[1]);
        return 1;
    }
    if (argc == 3) {
        if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
            std::fprintf(stderr, "x11_grab: cannot write %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    int numbers[4] = {0, 0, 1, 1};
    for (int i = 2; i < argc; ++i) {
        numbers[i - 2] = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok)
            return usage();
    }
    return printColours(image, QRect(numbers[0], numbers[1], numbers[2], numbers[3]));
}
