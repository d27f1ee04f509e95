#pragma once
// A last-in first-out stack of numbers and texts.

#include <QList>
#include <QVariant>

class VariStack
{
public:
    void Push(const QVariant& value) { m_items.append(value); }
    // The top value, or the empty text when the stack is empty.
    QVariant Pop();
    void Clean() { m_items.clear(); }
    bool IsEmpty() const { return m_items.isEmpty(); }
    // Numbers match equal numbers and texts equal texts; a number never matches a text.
    bool IsMatch(const QVariant& value) const;
    qsizetype Count() const { return m_items.size(); }

private:
    QList<QVariant> m_items;
};
