#pragma once
// A child window whose text prints as it stands (the text viewer), as the
// print command sees it.

class QTextDocument;

class PrintableText
{
public:
    virtual ~PrintableText() = default;
    virtual QTextDocument* printableDocument() = 0;
};
