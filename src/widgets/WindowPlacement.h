#pragma once

#include "RememberedPosition.h"
#include "settings/SettingKey.h"

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

// Puts a window where the store says and gives back where it is, in twips.
class WindowPlacement
{
public:
    explicit WindowPlacement(PlacementKeys keys) : m_keys(std::move(keys)) {}

    // Reads Left, Top, then Width and Height where the window has them, and applies them.
    void load(QWidget* window, const SettingsStore& store);
    // Writes Left, then Top, from where the frame is now.
    void writePosition(const QWidget* window, SettingsStore& store) const;

    const PlacementKeys& keys() const { return m_keys; }

private:
    PlacementKeys m_keys;
    RememberedPosition m_position;
};
