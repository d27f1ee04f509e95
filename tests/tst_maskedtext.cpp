#include "Address2Format.h"
#include "MaskedText.h"

#include <QtTest>

namespace {

// Types into the text from position 0 as the field does: '\b' is Backspace,
// '|' selects everything and clears it for what is typed next.
void typeInto(MaskedText& t, const QString& keys)
{
    int cursor = 0;
    for (const QChar c : keys) {
        if (c == QLatin1Char('|')) {
            t.clearRange(0, t.length());
            cursor = 0;
        } else if (c == QLatin1Char('\b')) {
            if (const int p = t.previousInput(cursor); p >= 0) {
                t.clearRange(p, p + 1);
                cursor = p;
            }
        } else if (const int next = t.type(cursor, c); next >= 0) {
            cursor = next;
        }
    }
}

} // namespace

class TestMaskedText : public QObject
{
    Q_OBJECT
private slots:
    // Typing follows the mask: refused keys, fixed characters stepped over,
    // capitals, nothing a database file cannot hold; a stored text stays as
    // it was until the user edits it.
    void typing()
    {
        // A grid format's number or a mask, the stored text, the keys, what
        // is shown and the value (when it differs from what is shown).
        const char* rows[][6] = {
            {"no digit for a letter", "1", "", "5n51", "N51._____-____._____", "N51"},
            {"the point stepped over", "1", "", "s12.5", "S12.5____-____._____", "S12.5"},
            {"BNG", "2", "", "tq1234567890", "TQ-12345-67890", ""},
            {"ITM: the I is fixed", "6", "", "ix1234512345", "IX-12345-12345", ""},
            {"NZ: E and N fixed", "8", "", "12345671234567", "E1234567-N1234567", ""},
            {"backspace empties", "2", "", "tq12\b\b", "TQ-_____-_____", "TQ"},
            {"seven digits", "########", "00000000", "|1234567", "1234567_", "1234567"},
            {"underscores kept", "&&&&&&&&", "________", "", "________", ""},
            {"lower case kept", "0", "Mill Lane", "", "Mill Lane___________", "Mill Lane"},
            {"shown though unfit", "1", "MAIN ST", "", "MAIN ST", ""},
            {"edited from what fits", "2", "MAIN ST 12", "s", "SA-12___-_____", "SA-12"},
            {"no comma or line break", "&&&&", "ab", ",\r\n\t", "ab__", "ab"},
            {"any other character", "&&&&", "", " \u00e9", " \u00e9__", " \u00e9"},
            // Capitals as the file's code page has them: micro has none there.
            {"capitals a file holds", "0", "", "\u00b5\u00ff\u00e9",
             "\u00b5\u0178\u00c9_________________", "\u00b5\u0178\u00c9"},
        };
        for (const auto& [name, format, stored, keys, display, value] : rows) {
            MaskedText t(QChar(*format).isDigit() ? Address2Mask(format) : QString(format));
            t.setStored(stored);
            typeInto(t, keys);
            QCOMPARE(t.display(), QString(display));
            QCOMPARE(t.value(), QString(*value ? value : display));
            QVERIFY2(t.edited() == (t.value() != QString(stored)), name);
        }
    }
};

QTEST_GUILESS_MAIN(TestMaskedText)
#include "tst_maskedtext.moc"
