// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RememberedPosition.h"
#include "settings/SettingKey.h"

#include <QRect>
#include <optional>

class QWidget;
class SettingsStore;

// The keys a window keeps its place under. Width and Height are read, never written.
struct PlacementKeys
{
    SettingKey left;
    SettingKey top;
    std::optional<SettingKey> width;
    std::optional<SettingKey> height;
};

// Puts a window where the store says and gives back where it is, in twips. A stored place
// that no screen shows (a monitor unplugged, a hand-edited value) gives the default place, and
// stored sizes are cut to what the largest screen holds, so a window can always be reached.
// A window that has no place stored yet opens clear of the strip it belongs to, so that what it
// changes there can be seen. The store changes only when the window is moved or closed as usual.
class WindowPlacement
{
public:
    explicit WindowPlacement(PlacementKeys keys) : m_keys(std::move(keys)) {}

    // Reads Left, Top, then Width and Height where the window has them, and applies them.
    void load(QWidget* window, const SettingsStore& store);
    // The same in two steps, for a window with a Height but no Width (the strip): it reads
    // first, sizes itself from heightTwips(), then takes its place.
    void read(const SettingsStore& store);
    void applyPosition(QWidget* window, QSize outerSize);
    // Writes Left, then Top, from where the frame is now; nothing where the platform does not
    // report positions.
    void writePosition(const QWidget* window, SettingsStore& store) const;
    // Where the frame was put, and a move from there that the store does not follow.
    QPoint placedAt() const { return m_position.placedAt(); }
    void shift(QWidget* window, QPoint by) { m_position.shift(window, by); }

    float heightTwips() const { return m_heightTwips; }

    // Whether windows on the Qt platform of that name know where they are. Under Wayland only
    // the compositor knows, and Qt reports 0, 0 for every window.
    static bool positionsReported(const QString& platformName);
    // Whether a frame there can be seen and dragged on one of the given screens.
    static bool reachable(const QRect& frame, const QList<QRect>& screens);
    // The top of a frame placed at `frame` moved so as not to cover `keepClear`: just below
    // it, or just above where below leaves the screen; unmoved if it does not cover it or
    // neither fits.
    static int topClearOf(const QRect& frame, const QRect& keepClear, const QRect& screen);

private:
    PlacementKeys m_keys;
    RememberedPosition m_position;
    float m_leftTwips = 0;
    float m_topTwips = 0;
    float m_widthTwips = 0;
    float m_heightTwips = 0;
    bool m_positionStored = false;
};
