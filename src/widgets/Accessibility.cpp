// SPDX-License-Identifier: GPL-3.0-or-later
#include "Accessibility.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QWidget>

namespace {
// The kind a control is, in words; empty for what is no control (lines, containers).
QString kind(const QWidget* widget)
{
    if (qobject_cast<const QCheckBox*>(widget))
        return QStringLiteral("tick box");
    if (qobject_cast<const QAbstractButton*>(widget))
        return QStringLiteral("button");
    if (qobject_cast<const QLineEdit*>(widget))
        return QStringLiteral("text field");
    if (qobject_cast<const QLabel*>(widget))
        return QStringLiteral("label");
    return {};
}

// The caption Qt reads for a control by itself, without its mnemonic marks.
QString caption(const QWidget* widget)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return QString(button->text()).remove(QLatin1Char('&'));
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    return {};
}

bool isAcronym(const QString& word)
{
    static const QStringList acronyms{QStringLiteral("OK"), QStringLiteral("QM"),
                                      QStringLiteral("UTC"), QStringLiteral("WBC")};
    return acronyms.contains(word);
}
} // namespace

QString Accessibility::words(const QString& systemName)
{
    static const QStringList kindSuffixes{QStringLiteral("TEXTBOX"), QStringLiteral("TB"),
                                          QStringLiteral("TICKBOX"), QStringLiteral("BUTTON"),
                                          QStringLiteral("LABEL")};
    // Words are split at underscores and hyphens, and within "AlwaysOnTop" at its capitals.
    static const QRegularExpression camelHump(QStringLiteral("([a-z])([A-Z])"));
    QString spaced = systemName;
    spaced.replace(camelHump, QStringLiteral("\\1 \\2"));
    QStringList parts =
        spaced.split(QRegularExpression(QStringLiteral("[_\\- ]+")), Qt::SkipEmptyParts);
    if (parts.size() > 1 && kindSuffixes.contains(parts.last()))
        parts.removeLast();
    for (QString& part : parts) {
        if (!isAcronym(part))
            part = part.toLower();
    }
    QString text = parts.join(QLatin1Char(' '));
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

QString Accessibility::roleDescription(const QWidget* control)
{
    const QString what = kind(control);
    QString subject = words(control->objectName());
    if (subject.isEmpty())
        subject = caption(control);
    if (subject.isEmpty() || what.isEmpty())
        return what;
    return subject + QLatin1Char(' ') + what;
}

void Accessibility::describe(QWidget* window, std::initializer_list<Name> names)
{
    for (const Name& given : names)
        given.control->setAccessibleName(given.name);
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (kind(control).isEmpty())
            continue;
        // Labels read as their text, whatever it becomes; so do buttons as their captions.
        const bool speaksForItself =
            !qobject_cast<QLineEdit*>(control) && !caption(control).isEmpty();
        if (control->accessibleName().isEmpty() && !speaksForItself &&
            !qobject_cast<QLabel*>(control))
            control->setAccessibleName(words(control->objectName()));
        if (control->accessibleDescription().isEmpty())
            control->setAccessibleDescription(roleDescription(control));
    }
}
