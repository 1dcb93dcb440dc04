// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/FormDialog.h"

#include <QList>

class ColourLabel;
class QLineEdit;
class QPushButton;
class StoredTextField;
class TickBox;

// The clock colours window: two palettes of ten colour buttons. A click recolours the strip's
// clock at once; OK stores the colours the clock shows then. Below OK, out of sight, lies a
// manual entry section whose flags and texts are still loaded, applied by OK and stored.
// An entry whose value names no colour (above 0xFFFFFF, or negative without being a system
// colour code) is applied and stored as it is: the clock shows its low three bytes, or the
// window colour for a code the desktop does not know, and the next start reads it back alike.
class QM_UTC_COLORS_WINDOW : public FormDialog
{
    Q_OBJECT

public:
    // The clock whose colours it sets; owned by the settings window, shown modally.
    QM_UTC_COLORS_WINDOW(ColourLabel& clock, SettingsStore& settings, QWidget* owner);
    ~QM_UTC_COLORS_WINDOW() override;

private:
    // Found by name (findChild) where they are needed outside.
    ColourLabel* const QM_TITLE_1;
    ColourLabel* const QM_TITLE_2;
    ColourLabel* const QM_TITLE_3;
    ColourLabel* const SET_TEXT_COLOR_LABEL;
    ColourLabel* const SET_BACKGROUND_COLOR_LABEL;
    QPushButton* const OK_BUTTON;

    TickBox* const MANUAL_TEXT_COLOR_TICKBOX;
    StoredTextField* const ENTER_TEXT_COLOR_TEXTBOX;
    QLineEdit* const SHOW_TEXT_COLOR_TEXTBOX;
    TickBox* const MANUAL_BACKGROUND_COLOR_TICKBOX;
    StoredTextField* const ENTER_BACKGROUND_COLOR_TEXTBOX;
    QLineEdit* const SHOW_BACKGROUND_COLOR_TEXTBOX;

public slots:
    void FOREGROUND_COLOR_BUTTON_Click(qint32 colour);
    void BACKGROUND_COLOR_BUTTON_Click(qint32 colour);
    void MANUAL_TEXT_COLOR_TICKBOX_Click();
    void MANUAL_BACKGROUND_COLOR_TICKBOX_Click();
    void ENTER_TEXT_COLOR_TEXTBOX_Change();
    void ENTER_BACKGROUND_COLOR_TEXTBOX_Change();
    void OK_BUTTON_Click();

private:
    void buildPalettes();
    void connectHandlers();
    void Form_Load();

    ColourLabel& m_clock;
    // The manual entry as the window opened.
    struct
    {
        qint16 manualText = 0;
        qint16 manualBackground = 0;
        QString enteredText;
        QString enteredBackground;
    } m_opened;
    // The palettes in their tab order, named like BLUE_FOREGROUND_COLOR_BUTTON.
    QList<QPushButton*> m_foregroundButtons;
    QList<QPushButton*> m_backgroundButtons;
};
