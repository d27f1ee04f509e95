#include "VariStack.h"

QVariant VariStack::Pop()
{
    if (m_items.isEmpty())
        return QVariant(QString());
    return m_items.takeLast();
}

namespace {
bool isText(const QVariant& v)
{
    return v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray;
}
bool sameValue(const QVariant& a, const QVariant& b)
{
    if (isText(a) || isText(b))
        return isText(a) && isText(b) && a.toString() == b.toString();
    return a == b;
}
} // namespace

bool VariStack::IsMatch(const QVariant& value) const
{
    for (const QVariant& item : m_items)
        if (sameValue(item, value))
            return true;
    return false;
}
