// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <initializer_list>

class QWidget;

// What screen readers are told about a window's controls. Qt already reads a button's or tick
// box's caption and a label's text, and follows them as they change; it has nothing to say
// for a control without a caption, a text field, or what any control is.
namespace Accessibility {
struct Name
{
    QWidget* control;
    QString name;
};

// Gives each control of the window an accessible name where it has none of its own (a button
// or tick box without a caption, a text field: its system name in words) and a description
// (its system name in words and its kind). The names given here come first. Call once, once
// the window's controls exist; controls whose name or description is already set keep it.
void describe(QWidget* window, std::initializer_list<Name> names = {});

// The description describe() gives: "Alarm 3 run command text field".
QString roleDescription(const QWidget* control);

// A system name in words: "ALARM_3_RUN_COMMAND_TEXTBOX" reads "Alarm 3 run command".
QString words(const QString& systemName);
} // namespace Accessibility
