// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

// The settings file's text, read and rewritten without touching the disk. One `key=value` per
// line under `[section]` headers; the key is trimmed, and so are the blanks after `=` where
// blanks stand before it too (`key = value`); the rest of the line is the value as typed. Lines
// starting with `;` or `#` are comments. A rewrite keeps every line it can read, in its place, and
// drops those it cannot.
class SettingsText
{
public:
    using Changes = QList<QPair<QString, QString>>;

    // The values of one section, looked up when asked for: a file of hundreds of thousands
    // of keys costs a sorted list of 16 bytes per key and no copies.
    class Section
    {
    public:
        // Of a key given more than once, the last.
        std::optional<QString> value(const QString& key) const;

    private:
        friend class SettingsText;
        QByteArray m_content;
        std::vector<std::pair<size_t, qsizetype>> m_entries; // key's hash, line start; sorted
    };

    explicit SettingsText(const QByteArray& content);

    // Bytes that are not UTF-8, NUL bytes, or a line that is neither blank, a comment, a
    // section header nor key=value.
    bool isDamaged() const;
    // The keys of every block of the section.
    Section section(const QString& name) const;
    // The whole text with `changes` applied to `section`: the last line of a key is replaced
    // in place, keys not there yet follow the section's last key (the section is appended if
    // missing).
    QByteArray withChanges(const QString& section, const Changes& changes) const;

    // A value as the writer puts it after `=`: each line break and NUL becomes a blank.
    static QString storable(const QString& value);

private:
    enum class Kind : quint8
    {
        Blank,
        Comment,
        Section,
        Entry,
        Unreadable
    };
    // One line of m_content, found afresh on each pass: a file of hundreds of thousands of
    // keys costs no memory per line.
    struct Line
    {
        qsizetype begin;
        qsizetype end;       // before the line's CR LF or LF
        qsizetype next;      // where the next line begins
        qsizetype nameBegin; // key of an entry, name of a section
        qsizetype nameEnd;
        qsizetype valueBegin; // of an entry
        Kind kind;
        bool crlf; // ends in CR, with or without LF
    };

    // What a rewrite does, found in one pass over the text; the writing is a second pass.
    struct Rewrite
    {
        QByteArray section;
        QList<QByteArray> keys;                 // of each change, in UTF-8
        QHash<qsizetype, qsizetype> replacedAt; // line start -> the change written there
        QList<qsizetype> added;     // changes of keys the section lacks, in order, each key once
        qsizetype insertAfter = -1; // start of the section's last key or header; -1: no section
    };

    template <typename Visit> void forEachLine(Visit visit) const;
    static Line lineAt(const QByteArray& content, qsizetype begin);
    QByteArrayView slice(qsizetype begin, qsizetype end) const;
    QByteArrayView name(const Line& line) const { return slice(line.nameBegin, line.nameEnd); }
    Rewrite plan(const QString& section, const Changes& changes) const;
    QByteArray write(const Rewrite& rewrite, const Changes& changes) const;

    QByteArray m_content;
    qsizetype m_start = 0; // after a byte order mark
    bool m_badBytes = false;
    bool m_hasNul = false;
};
