// SPDX-License-Identifier: GPL-3.0-or-later
#include "FormDialog.h"

#include "Accessibility.h"
#include "Emblem.h"
#include "platform/X11Window.h"
#include "settings/SettingsStore.h"

#include <QCloseEvent>

FormDialog::FormDialog(QWidget* owner, Qt::WindowFlags frame, SettingsStore& settings,
                       PlacementKeys placement)
    : QDialog(owner, frame), m_settings(settings), m_placement(std::move(placement))
{
    setWindowIcon(Emblem::icon());
    // Every secondary window has a fixed size and a close box alone.
    X11Window::offerCloseOnly(this);
}

void FormDialog::placeFromStore()
{
    m_placement.load(this, m_settings);
}

void FormDialog::writePosition()
{
    SettingsStore::Batch batch(m_settings);
    m_placement.writePosition(this, m_settings);
}

void FormDialog::Form_Unload()
{
    m_placement.writePosition(this, m_settings);
}

void FormDialog::done(int result)
{
    unloadOnce();
    QDialog::done(result);
}

void FormDialog::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
    // A window closed before it was ever shown does not pass through done().
    if (event->isAccepted())
        unloadOnce();
}

void FormDialog::showEvent(QShowEvent* event)
{
    if (!m_described) {
        m_described = true;
        Accessibility::describe(this);
    }
    QDialog::showEvent(event);
}

void FormDialog::unloadOnce()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    SettingsStore::Batch batch(m_settings);
    Form_Unload();
}
