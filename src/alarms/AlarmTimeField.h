// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/StoredTextField.h"

// The alarm time as the user types it. Typing stops at eight characters, but a longer time
// already stored is shown as far as a window can show it and kept as it is. A time typed in
// short is completed to HH:MM:SS when the field loses the keyboard (see completedAlarmTime);
// a stored time is never changed unless typed over. A time the clock can never show is not
// refused; it shows in red, and its tooltip says why it will never fire.
class AlarmTimeField : public StoredTextField
{
    Q_OBJECT

public:
    static constexpr int typedLength = 8;

    explicit AlarmTimeField(QWidget* parent);

    // Sets a time from the store, however long it is.
    void load(const QString& time) override;

    bool neverFires() const { return m_neverFires; }

    // What the user typed, as HH:MM:SS where it can be read so; anything else stays as it is.
    void complete();

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void textHasChanged();

    bool m_neverFires = false;
    bool m_typed = false;
};
