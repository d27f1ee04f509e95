#include "Address2Format.h"
#include "MaskedText.h"

#include <QtTest>

namespace {

// Types into the text from position 0 as the field does: '\b' is Backspace,
// '|' selects everything (the next character replaces it all).
void typeInto(MaskedText& t, const QString& keys)
{
    int cursor = 0;
    bool all = false;
    for (const QChar c : keys) {
        if (c == QLatin1Char('|')) {
            all = true;
            cursor = 0;
        } else if (c == QLatin1Char('\b')) {
            const int p = t.previousInput(cursor);
            if (p >= 0) {
                t.clearRange(p, p + 1);
                cursor = p;
            }
        } else {
            if (all)
                t.clearRange(0, t.length());
            all = false;
            const int next = t.type(cursor, c);
            if (next >= 0)
                cursor = next;
        }
    }
}

} // namespace

class TestMaskedText : public QObject
{
    Q_OBJECT
private slots:
    // Each grid format takes what its mask says and refuses the rest.
    void typing_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("value");
        const QString latLong = Address2Mask("1"), bng = Address2Mask("2"), itm = Address2Mask("6"),
                      mgrs = Address2Mask("7"), nz = Address2Mask("8"), sg = Address2Mask("9"),
                      utm = Address2Mask("12"), rd = Address2Mask("3"), free = Address2Mask("0");
        auto row = [](const char* name, const QString& mask, const char* stored, const char* keys,
                      const char* display, const char* value) {
            QTest::newRow(name) << mask << stored << keys << display << value;
        };
        const char* n51 = "N51.12345-W001.12345";
        row("lat/long: letters and digits only", latLong, "", "n5112345w00112345", n51, n51);
        row("lat/long: no digit for the hemisphere", latLong, "", "5n51", "N51._____-____._____",
            "N51");
        row("typing the fixed point steps over it", latLong, "", "s12.5", "S12.5____-____._____",
            "S12.5");
        row("BNG", bng, "", "tq1234567890", "TQ-12345-67890", "TQ-12345-67890");
        row("ITM: the I is fixed", itm, "", "ix1234512345", "IX-12345-12345", "IX-12345-12345");
        row("NZ: E and N fixed", nz, "", "12345671234567", "E1234567-N1234567",
            "E1234567-N1234567");
        row("SG: O and N fixed", sg, "", "o1234567n7654321", "O1234567-N7654321",
            "O1234567-N7654321");
        row("MGRS", mgrs, "", "a12bc1234567890", "A12-BC-12345-67890", "A12-BC-12345-67890");
        row("UTM refuses letters for digits", utm, "", "3x0u12345671234567", "30-U-1234567-1234567",
            "30-U-1234567-1234567");
        row("RD", rd, "", "123456654321", "123456-654321", "123456-654321");
        row("free text: capitals, no comma", free, "", "main st, 5", "MAIN ST 5___________",
            "MAIN ST 5");
        row("backspace empties", bng, "", "tq12\b\b", "TQ-_____-_____", "TQ");
        row("eight digits, seven typed", "########", "00000000", "|1234567", "1234567_", "1234567");
        row("a serial refuses letters", "########", "", "12ab34", "1234____", "1234");
        row("underscores stay until edited", "&&&&&&&&", "________", "", "________", "________");
        row("lower case stays until edited", free, "Mill Lane", "", "Mill Lane___________",
            "Mill Lane");
        row("a text that does not fit is shown", latLong, "MAIN ST", "", "MAIN ST", "MAIN ST");
        row("and an edit starts from what fits", bng, "MAIN ST 12", "s", "SA-12___-_____", "SA-12");
    }
    void typing()
    {
        QFETCH(QString, mask);
        QFETCH(QString, stored);
        QFETCH(QString, keys);
        QFETCH(QString, display);
        QFETCH(QString, value);
        MaskedText t(mask);
        t.setStored(stored);
        typeInto(t, keys);
        QCOMPARE(t.display(), display);
        QCOMPARE(t.value(), value);
        QCOMPARE(t.edited(), !keys.isEmpty());
    }

    void nothingTheFileCannotHold()
    {
        MaskedText t("&&&&");
        for (const QChar c : {QChar(','), QChar('\r'), QChar('\n'), QChar('\t')})
            QCOMPARE(t.type(0, c), -1);
        QVERIFY(!t.edited());
        QCOMPARE(t.type(0, QChar(' ')), 1);
        QCOMPARE(t.type(1, QChar(0xe9)), 2); // any character of the code page
    }
};

QTEST_GUILESS_MAIN(TestMaskedText)
#include "tst_maskedtext.moc"
