// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsText.h"

#include <QHash>
#include <QStringDecoder>
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace {
bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// UTF-8 as typed. QString::fromUtf8 would drop a U+FEFF at the start of a value or line,
// so a value written with one would not read back, and a key behind one would come alive.
QString decoded(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

QByteArrayView terminator(bool crlf)
{
    return crlf ? QByteArrayView("\r\n") : QByteArrayView("\n");
}
} // namespace

SettingsText::SettingsText(const QByteArray& content) : m_content(content)
{
    if (m_content.startsWith("\xEF\xBB\xBF"))
        m_start = 3;
    m_hasNul = m_content.contains('\0');
    m_badBytes = m_hasNul || !m_content.isValidUtf8();
}

QByteArrayView SettingsText::slice(qsizetype begin, qsizetype end) const
{
    return QByteArrayView(m_content.constData() + begin, end - begin);
}

SettingsText::Line SettingsText::lineAt(const QByteArray& content, qsizetype begin)
{
    const char* text = content.constData();
    const qsizetype size = content.size();
    const auto* newline = static_cast<const char*>(std::memchr(text + begin, '\n', size - begin));
    Line line{begin, newline ? newline - text : size, 0, 0, 0, 0, Kind::Blank, false};
    line.next = newline ? line.end + 1 : size;
    if (line.end > begin && text[line.end - 1] == '\r') {
        --line.end;
        // Given back as CR LF even on a last line without LF: a value that ends in CR before
        // it ("K=v\r\r") must read the same from the rewrite.
        line.crlf = true;
    }

    qsizetype first = line.begin;
    while (first < line.end && isBlank(text[first]))
        ++first;
    if (first == line.end)
        return line;
    if (text[first] == ';' || text[first] == '#') {
        line.kind = Kind::Comment;
        return line;
    }
    qsizetype last = line.end;
    while (isBlank(text[last - 1]))
        --last;
    if (text[first] == '[' && text[last - 1] == ']' && last - first >= 2) {
        line.kind = Kind::Section;
        line.nameBegin = first + 1;
        line.nameEnd = last - 1;
        while (line.nameBegin < line.nameEnd && isBlank(text[line.nameBegin]))
            ++line.nameBegin;
        while (line.nameEnd > line.nameBegin && isBlank(text[line.nameEnd - 1]))
            --line.nameEnd;
        return line;
    }
    const auto* equals = static_cast<const char*>(std::memchr(text + first, '=', line.end - first));
    if (!equals) {
        line.kind = Kind::Unreadable;
        return line;
    }
    line.kind = Kind::Entry;
    line.nameBegin = first;
    line.nameEnd = equals - text;
    while (line.nameEnd > first && isBlank(text[line.nameEnd - 1]))
        --line.nameEnd;
    line.valueBegin = equals - text + 1;
    // "KEY = value" is typed by hand, and its blanks belong to the '='. The writer puts no
    // blank before the '=', so what follows it there is the value exactly, leading blanks too.
    if (line.nameEnd < equals - text) {
        while (line.valueBegin < line.end && isBlank(text[line.valueBegin]))
            ++line.valueBegin;
    }
    return line;
}

template <typename Visit> void SettingsText::forEachLine(Visit visit) const
{
    for (qsizetype begin = m_start; begin < m_content.size();) {
        const Line line = lineAt(m_content, begin);
        visit(line);
        begin = line.next;
    }
}

bool SettingsText::isDamaged() const
{
    bool unreadable = false;
    forEachLine(
        [&](const Line& line) { unreadable = unreadable || line.kind == Kind::Unreadable; });
    return m_badBytes || unreadable;
}

SettingsText::Section SettingsText::section(const QString& name) const
{
    const QByteArray wanted = name.toUtf8();
    Section result;
    result.m_content = m_content;
    result.m_entries.reserve(m_content.count('\n') + 1);
    bool inSection = false;
    forEachLine([&](const Line& line) {
        if (line.kind == Kind::Section)
            inSection = this->name(line) == wanted;
        else if (inSection && line.kind == Kind::Entry)
            result.m_entries.emplace_back(qHash(this->name(line)), line.begin);
    });
    std::sort(result.m_entries.begin(), result.m_entries.end());
    return result;
}

std::optional<QString> SettingsText::Section::value(const QString& key) const
{
    const QByteArray wanted = key.toUtf8();
    const size_t hash = qHash(QByteArrayView(wanted));
    auto entry = std::upper_bound(m_entries.cbegin(), m_entries.cend(),
                                  std::pair(hash, std::numeric_limits<qsizetype>::max()));
    // Entries of one hash are in file order: the last one that is this key wins.
    while (entry != m_entries.cbegin() && (--entry)->first == hash) {
        const Line line = lineAt(m_content, entry->second);
        const QByteArrayView name(m_content.constData() + line.nameBegin,
                                  line.nameEnd - line.nameBegin);
        if (name == wanted)
            return decoded(QByteArrayView(m_content.constData() + line.valueBegin,
                                          line.end - line.valueBegin));
    }
    return std::nullopt;
}

SettingsText::Rewrite SettingsText::plan(const QString& section, const Changes& changes) const
{
    Rewrite rewrite;
    rewrite.section = section.toUtf8();
    QHash<QByteArray, qsizetype> changeOf; // of a key changed twice, the later change counts
    for (qsizetype c = 0; c < changes.size(); ++c) {
        rewrite.keys.append(changes.at(c).first.toUtf8());
        changeOf.insert(rewrite.keys.last(), c);
    }

    // Where each key was last seen in the section, and the section's last key.
    std::vector<qsizetype> lastLine(changes.size(), -1);
    bool inSection = false;
    forEachLine([&](const Line& line) {
        if (line.kind == Kind::Section) {
            inSection = name(line) == rewrite.section;
            if (inSection)
                rewrite.insertAfter = line.begin;
        } else if (inSection && line.kind == Kind::Entry) {
            rewrite.insertAfter = line.begin;
            const QByteArrayView key = name(line);
            const auto change = changeOf.constFind(QByteArray::fromRawData(key.data(), key.size()));
            if (change != changeOf.cend())
                lastLine[*change] = line.begin;
        }
    });
    for (qsizetype c = 0; c < changes.size(); ++c) {
        if (lastLine[c] >= 0)
            rewrite.replacedAt.insert(lastLine[c], c);
        else if (changeOf.value(rewrite.keys.at(c)) == c)
            rewrite.added.append(c);
    }
    return rewrite;
}

QByteArray SettingsText::write(const Rewrite& rewrite, const Changes& changes) const
{
    QByteArray out;
    qsizetype extra = rewrite.section.size() + 8;
    for (const auto& [key, value] : changes)
        extra += key.size() + value.size() * 3 + 3;
    out.reserve(m_content.size() + extra);
    if (m_start)
        out += slice(0, m_start);
    bool crlf = false;
    if (m_start < m_content.size())
        crlf = lineAt(m_content, m_start).crlf;
    const auto appendEntry = [&](qsizetype c, bool lineCrlf) {
        out += rewrite.keys.at(c);
        out += '=';
        out += storable(changes.at(c).second).toUtf8();
        out += terminator(lineCrlf);
    };
    const auto appendAdded = [&] {
        for (const qsizetype c : rewrite.added)
            appendEntry(c, crlf);
    };

    bool lastWasBlank = true;
    forEachLine([&](const Line& line) {
        if (line.kind == Kind::Unreadable)
            return;
        const auto replaced = rewrite.replacedAt.constFind(line.begin);
        if (replaced != rewrite.replacedAt.cend()) {
            appendEntry(*replaced, line.crlf);
        } else {
            const QByteArrayView text = slice(line.begin, line.end);
            // Kept lines must not make the rewritten file read as damaged. A NUL becomes
            // U+FFFD like any other bad byte: a blank could turn "\0KEY=" into a live key.
            if (m_badBytes && (text.contains('\0') || !text.isValidUtf8()))
                out += decoded(text).replace(QChar(0), QChar::ReplacementCharacter).toUtf8();
            else
                out += text;
            out += terminator(line.crlf);
        }
        lastWasBlank = line.kind == Kind::Blank;
        if (line.begin == rewrite.insertAfter)
            appendAdded();
    });
    if (rewrite.insertAfter < 0 && !changes.isEmpty()) {
        if (!lastWasBlank)
            out += terminator(crlf);
        out += '[' + rewrite.section + ']';
        out += terminator(crlf);
        appendAdded();
    }
    return out;
}

QByteArray SettingsText::withChanges(const QString& section, const Changes& changes) const
{
    return write(plan(section, changes), changes);
}

QString SettingsText::storable(const QString& value)
{
    QString text = value;
    text.replace(QLatin1StringView("\r\n"), QLatin1StringView(" "));
    for (QChar& c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(0))
            c = QLatin1Char(' ');
    }
    return text;
}
