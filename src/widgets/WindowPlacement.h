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
// The store changes only when the window is moved or closed as usual.
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
    // Writes Left, then Top, from where the frame is now.
    void writePosition(const QWidget* window, SettingsStore& store) const;

    float heightTwips() const { return m_heightTwips; }

    // Whether a frame there can be seen and dragged on one of the given screens.
    static bool reachable(const QRect& frame, const QList<QRect>& screens);

private:
    PlacementKeys m_keys;
    RememberedPosition m_position;
    float m_leftTwips = 0;
    float m_topTwips = 0;
    float m_widthTwips = 0;
    float m_heightTwips = 0;
};
