// SPDX-License-Identifier: GPL-3.0-or-later
#include "FormDialog.h"

#include "Accessibility.h"
#include "DesignFont.h"
#include "Emblem.h"
#include "platform/X11Window.h"
#include "settings/SettingsStore.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

FormDialog::FormDialog(QWidget* owner, Qt::WindowFlags frame, SettingsStore& settings,
                       PlacementKeys placement, Options options)
    : QDialog(owner, frame), m_settings(settings), m_placement(std::move(placement)),
      m_escapeCloses(!options.testFlag(KeepOpenOnEscape))
{
    setWindowIcon(Emblem::icon());
    setFont(DesignFont::msSansSerif(8.25, QFont::Normal));
    setAttribute(Qt::WA_DeleteOnClose, options.testFlag(DeleteOnClose));
    // Every secondary window has a fixed size and a close box alone.
    X11Window::offerCloseOnly(this);
    if (options.testFlag(SkipTaskbar))
        X11Window::skipTaskbar(this);
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
        // Qt would make the first button, or the last one focused, the target of every Enter.
        for (QPushButton* button : findChildren<QPushButton*>()) {
            if (!button->isDefault())
                button->setAutoDefault(false);
        }
    }
    QDialog::showEvent(event);
}

void FormDialog::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const auto* field = qobject_cast<const QLineEdit*>(focusWidget());
    if ((enter && field && !field->isReadOnly()) ||
        (event->key() == Qt::Key_Escape && !m_escapeCloses)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FormDialog::unloadOnce()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    SettingsStore::Batch batch(m_settings);
    Form_Unload();
}
