#include "EditorFields.h"

#include "LangText.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

bool FilterCommentKey(QChar c)
{
    const ushort u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == ' ' ||
           u == '-' || u == '.' || u == '/' || u == 8;
}

QValidator::State StorableTextValidator::validate(QString& input, int& pos) const
{
    for (qsizetype i = input.size() - 1; i >= 0; --i) {
        if (!MaskedText::IsStorable(input.at(i))) {
            input.remove(i, 1);
            if (i < pos)
                --pos;
        }
    }
    return Acceptable;
}

TextField::TextField(int maxLength, QWidget* parent) : QLineEdit(parent)
{
    setMaxLength(maxLength);
    setValidator(new StorableTextValidator(this));
}

void TextField::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    if (m_filter && text.size() == 1 && text.at(0).isPrint() && !m_filter(text.at(0))) {
        event->accept(); // discarded, as the field's key filter says
        return;
    }
    QLineEdit::keyPressEvent(event);
}

MaskedEdit::MaskedEdit(const QString& mask, QWidget* parent) : QLineEdit(parent), m_text(mask)
{
    setDragEnabled(false);
    setAcceptDrops(false);
    showText(0);
}

void MaskedEdit::setEditMask(const QString& mask)
{
    const QString stored = m_text.value();
    m_text = MaskedText(mask);
    setStored(stored);
}

void MaskedEdit::setStored(const QString& text)
{
    m_text.setStored(text);
    showText(0);
}

void MaskedEdit::showText(int cursor)
{
    setText(m_text.display());
    setCursorPosition(cursor);
}

void MaskedEdit::clearSelection(int& cursor)
{
    if (!hasSelectedText())
        return;
    const int from = selectionStart();
    m_text.clearRange(from, from + static_cast<int>(selectedText().size()));
    cursor = from;
}

void MaskedEdit::typeText(const QString& text)
{
    int cursor = cursorPosition();
    bool first = true;
    for (const QChar c : text) {
        if (m_filter && !m_filter(c))
            continue;
        if (first)
            clearSelection(cursor); // what is selected makes room for what is typed
        first = false;
        const int next = m_text.type(cursor, c);
        if (next >= 0)
            cursor = next;
    }
    showText(cursor);
}

void MaskedEdit::keyPressEvent(QKeyEvent* event)
{
    int cursor = cursorPosition();
    if (event == QKeySequence::Paste) {
        typeText(QApplication::clipboard()->text());
    } else if (event == QKeySequence::Cut) {
        copy();
        clearSelection(cursor);
        showText(cursor);
    } else if (event->key() == Qt::Key_Backspace) {
        if (hasSelectedText()) {
            clearSelection(cursor);
        } else if (const int p = m_text.previousInput(cursor); p >= 0) {
            m_text.clearRange(p, p + 1);
            cursor = p;
        }
        showText(cursor);
    } else if (event->key() == Qt::Key_Delete) {
        if (hasSelectedText())
            clearSelection(cursor);
        else
            m_text.clearRange(cursor, cursor + 1);
        showText(cursor);
    } else if (event == QKeySequence::Copy || event == QKeySequence::SelectAll ||
               event->key() == Qt::Key_Left || event->key() == Qt::Key_Right ||
               event->key() == Qt::Key_Home || event->key() == Qt::Key_End) {
        QLineEdit::keyPressEvent(event); // moving and selecting change nothing
        return;
    } else if (!event->text().isEmpty() && event->text().at(0).isPrint() &&
               !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        typeText(event->text());
    } else {
        event->ignore(); // Enter, Tab, F12 and the like are the window's
        return;
    }
    event->accept();
}

void MaskedEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.addAction(LangText(273), this, &QLineEdit::copy)->setEnabled(hasSelectedText());
    menu.addAction(LangText(274), this, [this] { typeText(QApplication::clipboard()->text()); });
    menu.exec(event->globalPos());
}

void MaskedEdit::inputMethodEvent(QInputMethodEvent* event)
{
    // Composed input arrives as its committed text, typed like keys.
    if (!event->commitString().isEmpty())
        typeText(event->commitString());
    event->accept();
}
