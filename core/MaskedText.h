#pragma once
// The text of a masked field: a fixed row of positions, some fixed
// characters and some that take one typed character each. The mask language
// is the masked-edit convention the record editor's fields use:
//   >  letters that follow are made capitals     #  a digit
//   ?  a letter                                  &  any character
//   \  the next character is fixed               anything else is fixed
// A comma or a line break is never taken: a database file cannot hold one.
//
// A stored text is shown as well as the mask allows and is given back
// unchanged until the user edits the field.

#include <QString>
#include <QVector>

class MaskedText
{
public:
    static constexpr QChar kPrompt = QLatin1Char('_'); // an empty position

    explicit MaskedText(const QString& mask = QString());

    // Whether a character may be stored in a record at all.
    static bool IsStorable(QChar c);

    int length() const { return static_cast<int>(m_slots.size()); }
    bool isFixed(int position) const;
    bool accepts(int position, QChar c) const;

    // Shows a stored text; value() gives it back unchanged until an edit.
    void setStored(const QString& text);
    QString display() const;
    // The text to store: the stored text until edited; afterwards the
    // positions up to the last one filled, an empty one inside as a blank.
    QString value() const;
    bool edited() const { return m_edited; }

    // Editing at a display position. type() fills the first position at or
    // after it that takes characters, and returns the position after it, or
    // -1 when the character is refused there (nothing changes).
    int type(int position, QChar c);
    // Empties the positions from..to-1 that take characters.
    void clearRange(int from, int to);
    // The previous position that takes characters, or -1.
    int previousInput(int position) const;

private:
    enum class Kind { Digit, Letter, Any, Fixed };
    struct Slot
    {
        Kind kind;
        QChar fixed;
        bool upper;
    };
    void startEditing();

    QVector<Slot> m_slots;
    QVector<QChar> m_chars; // per position; kPrompt when empty
    QVector<bool> m_filled; // the position holds a character
    QString m_stored;
    bool m_fits = true; // the stored text sits in the mask as it is
    bool m_edited = false;
};
