#include "MaskedText.h"

#include "Ansi.h"

#include <algorithm>

namespace {
// The capital of a character a file holds is the one its code page has, so
// that a letter with none there (micro) stays as it was typed rather than
// becoming one the file cannot hold.
QChar capital(QChar c)
{
    const std::string ansi = Ansi::fromQString(QString(c));
    if (ansi.size() != 1 || (ansi[0] == '?' && c != QLatin1Char('?')))
        return c.toUpper();
    return Ansi::toQString(std::string(1, Ansi::toUpper(ansi[0]))).at(0);
}
} // namespace

MaskedText::MaskedText(const QString& mask)
{
    bool upper = false;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar c = mask.at(i);
        if (c == QLatin1Char('>')) {
            upper = true;
        } else if (c == QLatin1Char('#')) {
            m_slots.append({Kind::Digit, QChar(), upper});
        } else if (c == QLatin1Char('?')) {
            m_slots.append({Kind::Letter, QChar(), upper});
        } else if (c == QLatin1Char('&')) {
            m_slots.append({Kind::Any, QChar(), upper});
        } else if (c == QLatin1Char('\\') && i + 1 < mask.size()) {
            m_slots.append({Kind::Fixed, mask.at(++i), upper});
        } else {
            m_slots.append({Kind::Fixed, c, upper});
        }
    }
    setStored(QString());
}

bool MaskedText::IsStorable(QChar c)
{
    return c != QLatin1Char(',') && c.unicode() >= 32 && c.unicode() != 127;
}

bool MaskedText::isFixed(int position) const
{
    return position >= 0 && position < length() && m_slots[position].kind == Kind::Fixed;
}

bool MaskedText::accepts(int position, QChar c) const
{
    if (position < 0 || position >= length() || !IsStorable(c))
        return false;
    const ushort u = c.unicode();
    switch (m_slots[position].kind) {
    case Kind::Digit:
        return u >= '0' && u <= '9';
    case Kind::Letter:
        return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
    case Kind::Any:
        return true;
    case Kind::Fixed:
        return false;
    }
    return false;
}

void MaskedText::setStored(const QString& text)
{
    m_stored = text;
    m_edited = false;
    m_chars.fill(kPrompt, length());
    m_fits = text.size() <= length();
    for (int i = 0; i < length() && m_fits; ++i) {
        if (i >= text.size())
            break;
        m_fits = isFixed(i) ? text.at(i) == m_slots[i].fixed : accepts(i, text.at(i));
    }
    // Each position takes the next character of the text that suits it, so
    // an edit of a text that does not fit starts from as much of it as does.
    qsizetype j = 0;
    for (int i = 0; i < length(); ++i) {
        if (isFixed(i)) {
            m_chars[i] = m_slots[i].fixed;
            if (j < text.size() && text.at(j) == m_slots[i].fixed)
                ++j;
            continue;
        }
        while (j < text.size() && !accepts(i, text.at(j)))
            ++j;
        if (j < text.size())
            m_chars[i] = text.at(j++);
    }
    m_filled.fill(false, length());
    for (int i = 0; i < length(); ++i)
        m_filled[i] = !isFixed(i) && (m_fits ? i < text.size() : m_chars[i] != kPrompt);
}

QString MaskedText::display() const
{
    if (!m_edited && !m_fits)
        return m_stored;
    QString out;
    out.reserve(length());
    for (int i = 0; i < length(); ++i)
        out += m_chars[i];
    return out;
}

QString MaskedText::value() const
{
    if (!m_edited)
        return m_stored;
    int last = -1;
    for (int i = 0; i < length(); ++i)
        if (m_filled[i])
            last = i;
    QString out;
    for (int i = 0; i <= last; ++i)
        out += isFixed(i) || m_filled[i] ? m_chars[i] : QLatin1Char(' ');
    return out;
}

void MaskedText::startEditing()
{
    m_edited = true;
}

int MaskedText::type(int position, QChar c)
{
    if (position < 0)
        return -1;
    if (isFixed(position) && (m_slots[position].upper ? capital(c) : c) == m_slots[position].fixed)
        return position + 1; // typing a fixed character steps over it
    int i = position;
    while (i < length() && isFixed(i))
        ++i;
    if (!accepts(i, c))
        return -1;
    startEditing();
    m_chars[i] = m_slots[i].upper ? capital(c) : c;
    m_filled[i] = true;
    return i + 1;
}

void MaskedText::clearRange(int from, int to)
{
    startEditing();
    for (int i = std::max(from, 0); i < std::min(to, length()); ++i) {
        if (isFixed(i))
            continue;
        m_chars[i] = kPrompt;
        m_filled[i] = false;
    }
}

int MaskedText::previousInput(int position) const
{
    for (int i = std::min(position, length()) - 1; i >= 0; --i)
        if (!isFixed(i))
            return i;
    return -1;
}
