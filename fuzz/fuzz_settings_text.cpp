// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a settings file: read them, rewrite them with changes, read the rewrite.
//
// Input: the file, optionally followed by "\n%%\n" and changes, one per line: first the
// section, then key=value lines (a 0x1E byte in a value stands for a line break). Without
// changes, two fixed ones go to [qm-utc].
//
// Checked against a small reader of its own, written from the format's description:
// - what is read is what that reader finds (last line of a key wins, names and values as
//   typed), and the file is damaged exactly when it has a NUL, invalid UTF-8 or an unreadable
//   line;
// - a rewrite is never damaged, holds every change as the writer stores it, and keeps every
//   other key with its value (a NUL or bytes that are not UTF-8 read back as U+FFFD);
// - rewriting the rewrite with the same changes changes nothing.
#include "FuzzCheck.h"
#include "settings/SettingsText.h"

#include <QHash>
#include <QMap>
#include <QStringDecoder>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace {
// Views into the content read.
struct Entry
{
    QByteArrayView section;
    QByteArrayView key;
    QByteArrayView value;
};

struct Reading
{
    QList<Entry> entries; // in file order, only those inside a section
    bool unreadableLine = false;
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView withoutLeadingBlanks(QByteArrayView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    return text;
}

QByteArrayView trimmedBlanks(QByteArrayView text)
{
    text = withoutLeadingBlanks(text);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

Reading read(const QByteArray& content)
{
    Reading reading;
    QByteArrayView rest(content);
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    std::optional<QByteArrayView> section;
    while (!rest.isEmpty()) {
        const qsizetype newline = rest.indexOf('\n');
        QByteArrayView line = newline < 0 ? rest : rest.first(newline);
        rest = newline < 0 ? QByteArrayView() : rest.sliced(newline + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        const QByteArrayView trimmed = trimmedBlanks(line);
        if (trimmed.isEmpty() || trimmed.startsWith(';') || trimmed.startsWith('#'))
            continue;
        if (trimmed.size() >= 2 && trimmed.startsWith('[') && trimmed.endsWith(']')) {
            section = trimmedBlanks(trimmed.sliced(1, trimmed.size() - 2));
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals < 0) {
            reading.unreadableLine = true;
            continue;
        }
        if (section) {
            // Blanks between the key and '=' mark a typed "KEY = value": those after it go too.
            const QByteArrayView key = withoutLeadingBlanks(line.first(equals));
            const QByteArrayView value = line.sliced(equals + 1);
            reading.entries.append(
                {*section, trimmedBlanks(key),
                 !key.isEmpty() && isBlank(key.back()) ? withoutLeadingBlanks(value) : value});
        }
    }
    return reading;
}

// UTF-8 as typed: a leading U+FEFF is a character like any other, bad bytes are U+FFFD.
QString decoded(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

// A name or value as a rewrite keeps it.
QString kept(QByteArrayView bytes)
{
    QString text = decoded(bytes);
    text.replace(QChar(0), QChar::ReplacementCharacter);
    return text;
}

using Values = QMap<QPair<QString, QString>, QString>; // (section, key) -> value

Values keptValues(const Reading& reading)
{
    Values values;
    for (const Entry& entry : reading.entries)
        values.insert({kept(entry.section), kept(entry.key)}, kept(entry.value));
    return values;
}

// Names the clock could ask for: they survive the trip through a QString.
bool askable(QByteArrayView name)
{
    return decoded(name).toUtf8() == name;
}

// Keys and sections the clock writes are plain words.
bool writable(QByteArrayView name)
{
    if (name.isEmpty() || name != trimmedBlanks(name))
        return false;
    for (char c : name) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.' || c == ' ';
        if (!plain)
            return false;
    }
    return true;
}

void checkReading(const SettingsText& text, const QByteArray& content, const Reading& reading)
{
    const bool badBytes = content.contains('\0') || !content.isValidUtf8();
    FUZZ_CHECK(text.isDamaged() == (badBytes || reading.unreadableLine), "damage as found");

    QMap<QPair<QByteArrayView, QByteArrayView>, QByteArrayView> last; // same order every run
    for (const Entry& entry : reading.entries)
        last.insert({entry.section, entry.key}, entry.value);
    QHash<QByteArrayView, SettingsText::Section> sections;
    int checked = 0;
    for (auto it = last.cbegin(); it != last.cend() && checked < 64; ++it) {
        const auto& [section, key] = it.key();
        if (!askable(section) || !askable(key))
            continue;
        if (!sections.contains(section)) {
            if (sections.size() >= 8)
                continue;
            sections.insert(section, text.section(decoded(section)));
        }
        ++checked;
        const std::optional<QString> value = sections[section].value(decoded(key));
        if (value != decoded(it.value())) {
            fuzzShow("section", decoded(section));
            fuzzShow("key", decoded(key));
            fuzzShow("expected", decoded(it.value()));
            fuzzShow("read", value.value_or(QStringLiteral("(nothing)")));
        }
        FUZZ_CHECK(value == decoded(it.value()), "a key reads as its last line");
    }
}

// What a value written by the clock reads back as: its line breaks as blanks, nothing else
// changed (the writer puts no blank before the '=').
QString readBack(const QString& value)
{
    return SettingsText::storable(value);
}

void checkRewrite(const SettingsText& text, const Reading& reading, const QString& section,
                  const SettingsText::Changes& changes)
{
    const QByteArray rewritten = text.withChanges(section, changes);
    const SettingsText again(rewritten);
    FUZZ_CHECK(!again.isDamaged(), "a rewrite is never damaged");

    Values expected = keptValues(reading);
    for (const auto& [key, value] : changes)
        expected.insert({section, key}, readBack(value));
    const Values found = keptValues(read(rewritten));
    if (found != expected) {
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            if (found.value(it.key(), QStringLiteral("(nothing)")) != it.value()) {
                fuzzShow("section", it.key().first);
                fuzzShow("key", it.key().second);
                fuzzShow("expected", it.value());
                fuzzShow("found", found.value(it.key(), QStringLiteral("(nothing)")));
            }
        }
        for (auto it = found.cbegin(); it != found.cend(); ++it) {
            if (!expected.contains(it.key())) {
                fuzzShow("new section", it.key().first);
                fuzzShow("new key", it.key().second);
            }
        }
    }
    FUZZ_CHECK(found == expected, "a rewrite keeps every key and holds every change");

    const SettingsText::Section values = again.section(section);
    for (const auto& [key, value] : changes)
        FUZZ_CHECK(values.value(key) == expected.value({section, key}), "a change reads back");

    FUZZ_CHECK(again.withChanges(section, changes) == rewritten, "a second rewrite is the same");
}

struct Request
{
    QString section = QStringLiteral("qm-utc");
    SettingsText::Changes changes;
};

Request requestFrom(const QByteArray& changesText)
{
    Request request;
    const QList<QByteArray> lines = changesText.split('\n');
    if (writable(lines.first()))
        request.section = QString::fromLatin1(lines.first());
    for (qsizetype i = 1; i < lines.size() && request.changes.size() < 8; ++i) {
        const qsizetype equals = lines[i].indexOf('=');
        const QByteArray key = lines[i].left(equals);
        if (equals < 0 || !writable(key))
            continue;
        QByteArray value = lines[i].mid(equals + 1);
        value.replace('\x1e', '\n');
        request.changes.append({QString::fromLatin1(key), decoded(value)});
    }
    return request;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = input.indexOf("\n%%\n");
    const QByteArray content = split < 0 ? input : input.left(split + 1);
    Request request;
    if (split < 0) {
        request.changes = {{QStringLiteral("ALARM_1_RUN_COMMAND_TEXTBOX"),
                            QStringLiteral("notify-send \"Tea\"\r\nnow")},
                           {QStringLiteral("ADDED_KEY"), QStringLiteral(" \tadded ")}};
    } else {
        request = requestFrom(input.mid(split + 4));
    }

    const SettingsText text(content);
    const Reading reading = read(content);
    checkReading(text, content, reading);
    checkRewrite(text, reading, request.section, {});
    checkRewrite(text, reading, request.section, request.changes);
    return 0;
}
