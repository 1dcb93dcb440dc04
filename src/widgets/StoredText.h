// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A control over one text of the settings file, however it shows it: it takes the stored text
// and gives back what saving writes, which is that text unchanged until the user changes what
// is shown.
class StoredText
{
public:
    virtual void load(const QString& stored) = 0;
    virtual QString value() const = 0;

protected:
    ~StoredText() = default;
};
