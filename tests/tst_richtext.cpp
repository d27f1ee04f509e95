#include "RichText.h"

#include <QtTest>

// Rich text as other programs write it: a report saved from the text viewer
// may be opened again after a word processor has been at it.
class TestRichText : public QObject
{
    Q_OBJECT
private slots:
    void readsWhatWordProcessorsWrite()
    {
        const std::pair<QByteArray, QString> rows[] = {
            // WordPad
            {R"({\rtf1\ansi\ansicpg1252\deff0\nouicompat\deflang2057
{\fonttbl{\f0\fnil\fcharset0 Calibri;}}
{\*\generator Riched20 10.0.19041}\viewkind4\uc1
\pard\sa200\sl276\slmult1\f0\fs22\lang9 Valve 12 \'e9tat\par
Second line\line same paragraph\tab tabbed\par
})",
             QString::fromUtf8("Valve 12 \u00e9tat\nSecond line\nsame paragraph\ttabbed\n")},
            // Word
            {R"({\rtf1\adeflang1025\ansi\ansicpg1252\uc1\adeff0\deff0
{\fonttbl{\f0\froman\fcharset0\fprq2{\*\panose 02020603050405020304}Times New Roman;}}
{\colortbl;\red0\green0\blue0;\red255\green0\blue0;}
{\stylesheet{\ql \li0\ri0\widctlpar\fs24\lang2057 \snext0 \sqformat Normal;}}
{\info{\author Somebody}{\creatim\yr2024\mo1\dy2}}
{\*\xmlnstbl {\xmlns1 http://schemas.microsoft.com/office/word/2003/wordml}}
\pard\plain \ltrpar\ql \fs24 {\cf2 Leak at }{\b 01234567}
{ \ldblquote hydrant\rdblquote  \endash  \u8364\'805\par}
{\uc0 caf\u233 \par}{\*\themedata 0123456789abcdef}})",
             QString::fromUtf8("Leak at 01234567 \u201chydrant\u201d \u2013 \u20ac5\ncaf\u00e9\n")},
            // symbols, escapes, binary data
            {R"({\rtf1\ansi{\pict\bin4 {}\'}a\~b\_c\-d \{x\} back\\slash\bullet\emdash\par})",
             QString::fromUtf8("a\u00a0b-cd {x} back\\slash\u2022\u2014\n")},
            // a wide character without a fallback
            {R"({\rtf1{\uc0\u-10179\u-8704 }\u21512?})", QString::fromUtf8("\U0001F600\u5408")}};
        for (const auto& [rtf, text] : rows) { // what the viewer saves reads back as it was
            QCOMPARE(RtfToText(rtf), text);
            QCOMPARE(RtfToText(TextToRtf(text)), text);
        }
    }
};

QTEST_GUILESS_MAIN(TestRichText)
#include "tst_richtext.moc"
