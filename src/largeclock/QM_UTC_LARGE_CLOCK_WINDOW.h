// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/FittedLine.h"
#include "widgets/FormDialog.h"

#include <QFont>

class ColourLabel;
class QLineEdit;
class QPushButton;
class Timer;

// A large copy of the strip's clock: the clock's text and colours, never a clock of its own.
// It follows the clock label whenever that changes, so it shows every second the strip shows
// and no other, whole: a time too long for the field at its own size, as some regional formats
// write it, is shown in a smaller size. It remembers its position and is discarded when it
// closes.
class QM_UTC_LARGE_CLOCK_WINDOW : public FormDialog
{
    Q_OBJECT

public:
    QM_UTC_LARGE_CLOCK_WINDOW(const ColourLabel& clock, SettingsStore& settings, QWidget* owner);
    ~QM_UTC_LARGE_CLOCK_WINDOW() override;

private:
    // Found by name (findChild) where they are needed outside.
    QPushButton* const QM_CLOSE_BUTTON;
    QLineEdit* const TIME_LABEL_MIRROR;
    // Fired by each change of the clock rather than by a period of its own.
    Timer* const TIME_LABEL_MIRROR_TIMER;

public slots:
    void Form_Load();
    void TIME_LABEL_MIRROR_TIMER_Timer();
    void QM_CLOSE_BUTTON_Click();

private:
    const ColourLabel& m_clock;
    FittedLine m_fit;
};
