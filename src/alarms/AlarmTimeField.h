// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/StoredTextField.h"

// The alarm time as the user types it. Typing stops at eight characters, but a longer time
// already stored is shown as far as a window can show it and kept as it is. A time the clock can
// never show is not refused; it shows in red, and its tooltip says why it will never fire.
class AlarmTimeField : public StoredTextField
{
    Q_OBJECT

public:
    static constexpr int typedLength = 8;

    explicit AlarmTimeField(QWidget* parent);

    // Sets a time from the store, however long it is.
    void load(const QString& time) override;

    bool neverFires() const { return m_neverFires; }

private:
    void textHasChanged();

    bool m_neverFires = false;
};
