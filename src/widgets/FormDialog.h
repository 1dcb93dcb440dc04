// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WindowPlacement.h"

#include <QDialog>

class SettingsStore;

// A secondary window: a fixed form placed from the store when it opens, whose closing steps
// (Form_Unload) run exactly once however it closes: OK, Escape, the close box or its own
// timers. Their writes reach the disk together before the window is gone.
//
// Enter presses no button but one the window makes its default, and never while the user
// types in a text field. Controls without a face of their own (labels, tick boxes, buttons)
// use the form's.
class FormDialog : public QDialog
{
    Q_OBJECT

public:
    // What sets a window apart from the others.
    enum Option
    {
        // Made with new, gone once closed.
        DeleteOnClose = 0x1,
        // Without an entry in taskbars and pagers.
        SkipTaskbar = 0x2,
        // Escape leaves the window open: it closes by its own buttons and its close box alone.
        KeepOpenOnEscape = 0x4,
    };
    Q_DECLARE_FLAGS(Options, Option)

    FormDialog(QWidget* owner, Qt::WindowFlags frame, SettingsStore& settings,
               PlacementKeys placement, Options options = {});

    // The closing steps have run; the window is on its way out.
    bool isUnloaded() const { return m_unloaded; }

    // Where the window was placed, and a move from there that leaves the stored place as it
    // is unless the user moves the window.
    QPoint placedAt() const { return m_placement.placedAt(); }
    void shiftPlace(QPoint by) { m_placement.shift(this, by); }

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
    void keyPressEvent(QKeyEvent* event) override;

    SettingsStore& m_settings;

private:
    void unloadOnce();

    WindowPlacement m_placement;
    bool m_unloaded = false;
    bool m_described = false;
    const bool m_escapeCloses;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(FormDialog::Options)
