// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WindowPlacement.h"

#include <QDialog>

class SettingsStore;

// A secondary window: a fixed form placed from the store when it opens, whose closing steps
// (Form_Unload) run exactly once however it closes: OK, Escape, the close box or its own
// timers. Their writes reach the disk together before the window is gone.
class FormDialog : public QDialog
{
    Q_OBJECT

public:
    FormDialog(QWidget* owner, Qt::WindowFlags frame, SettingsStore& settings,
               PlacementKeys placement);

    // The closing steps have run; the window is on its way out.
    bool isUnloaded() const { return m_unloaded; }

    void done(int result) override;

protected:
    // The first opening step: Left, Top, Width, Height from the store.
    void placeFromStore();
    // Left and Top, as OK writes them before closing.
    void writePosition();
    // The closing steps; the default writes the position. Runs inside one batch of writes.
    virtual void Form_Unload();

    void closeEvent(QCloseEvent* event) override;
    // Tells screen readers about the controls once they all exist.
    void showEvent(QShowEvent* event) override;

    SettingsStore& m_settings;

private:
    void unloadOnce();

    WindowPlacement m_placement;
    bool m_unloaded = false;
    bool m_described = false;
};
