#pragma once
// The record editor's text fields. Every one refuses what a database file
// cannot hold (a comma, a line break), typed or pasted; the masked field
// takes only what its mask allows.

#include "MaskedText.h"

#include <QLineEdit>
#include <QValidator>
#include <functional>

// The keys the comment fields accept: digits, letters, the blank, "-", "."
// and "/" (and Backspace).
bool FilterCommentKey(QChar c);

// Drops the characters a record cannot store from whatever is typed or pasted.
class StorableTextValidator : public QValidator
{
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// A text field that takes storable text only; optionally a key filter
// discards typed characters it refuses.
class TextField : public QLineEdit
{
    Q_OBJECT
public:
    explicit TextField(int maxLength, QWidget* parent = nullptr);
    void setKeyFilter(std::function<bool(QChar)> filter) { m_filter = std::move(filter); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<bool(QChar)> m_filter;
};

// A field laid out by a mask (see MaskedText): typing fills its positions,
// Backspace and Delete empty them, a paste is typed character by character.
class MaskedEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit MaskedEdit(const QString& mask, QWidget* parent = nullptr);

    // A new mask; the stored text stays as it is.
    void setEditMask(const QString& mask);
    void setStored(const QString& text);
    // The text to store: the stored text until the user edits the field.
    QString value() const { return m_text.value(); }
    void setKeyFilter(std::function<bool(QChar)> filter) { m_filter = std::move(filter); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void typeText(const QString& text);
    void clearSelection(int& cursor);
    void showText(int cursor);

    MaskedText m_text;
    std::function<bool(QChar)> m_filter;
};
