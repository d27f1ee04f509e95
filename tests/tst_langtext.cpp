#include "Commands.h"
#include "LangText.h"
#include "TestSupport.h"
#include "Utilities.h"

#include <QtTest>
#include <map>

class TestLangText : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_failures = 0;

private slots:
    void init()
    {
        m_failures = 0;
        SetLangFailureHandler([this](const QString& text) {
            QCOMPARE(text, QStringLiteral("Error: Could not open Language File..."));
            ++m_failures;
        });
    }
    void cleanup()
    {
        SetLangFailureHandler(nullptr);
        SetProgramFolderForTesting(QString());
    }

    void lookupRules()
    {
        const QString folder = m_dir.path();
        SetProgramFolderForTesting(folder);
        QCOMPARE(LangText(191), QString()); // no language file at all
        QCOMPARE(m_failures, 1);
        writeBytes(folder + "/lang_en.txt", "191 English\r\n");
        // The first file in name order is read; a bare line feed ends a line too.
        writeBytes(folder + "/lang_de.txt",
                   "150 Im Jahr 1914\r\n191\tSeriennummer\r\n200 \r\n201\r\n202  blank first\n"
                   "203 Caf\xe9\r\n");
        QCOMPARE(LanguageFilePath(), folder + "/lang_de.txt");
        QCOMPARE(LangText(150), QString("Im Jahr 1914"));
        QCOMPARE(LangText(191), QString("Im Jahr 1914")); // the earlier line holds 191 too
        QCOMPARE(LangText(200), QString());               // four characters: empty text
        QCOMPARE(LangText(202), QString(" blank first"));
        QCOMPARE(LangText(203), QString::fromUtf8("Caf\u00e9"));
        QCOMPARE(m_failures, 1);
        QCOMPARE(LangText(201), QString()); // shorter than four characters
        QCOMPARE(LangText(999), QString()); // not in the file
        QCOMPARE(m_failures, 3);
        QCOMPARE(LangText(150), QString("Im Jahr 1914")); // the next lookup works
        QCOMPARE(m_failures, 3);
    }

    // Every number the code looks up has a line in the English file that the
    // lookup reaches (no earlier line holds its digits).
    void englishFileServesEveryLookup()
    {
        SetProgramFolderForTesting(QStringLiteral(QUORVANE_SOURCE_DIR "/lang"));
        const QByteArray file = readBytes(LanguageFilePath());
        QVERIFY(file.endsWith("\r\n"));
        std::map<int, QByteArray> byNumber; // each line: three digits, a space, the text, CR LF
        for (const QByteArray& line : file.chopped(1).split('\n')) {
            const int n = line.left(3).toInt();
            QVERIFY2(line.endsWith('\r') && line.size() >= 5 && n >= 101 && n <= 999 &&
                         byNumber.emplace(n, line.mid(4).chopped(1)).second,
                     line.constData());
        }

        QSet<int> used;
        const QRegularExpression call(QStringLiteral("LangText(?:Ansi)?\\(\\s*(\\d+)\\s*\\)"));
        const QString root = QStringLiteral(QUORVANE_SOURCE_DIR);
        for (QDirIterator it(root, {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString path = it.next(), rel = path.mid(root.size() + 1);
            if (rel.startsWith("build") || rel.startsWith("tests/"))
                continue;
            for (auto m = call.globalMatch(QString::fromUtf8(readBytes(path))); m.hasNext();)
                used.insert(m.next().captured(1).toInt());
        }
        // The menus' captions and the toolbar's tooltips are numbers in the command table.
        for (const Commands::Row& row : Commands::Menus())
            if (row.caption)
                used.insert(row.caption);
        for (const Commands::ToolbarButton& button : Commands::Toolbar())
            if (button.key)
                used.insert(button.tip);
        QVERIFY(used.size() > 30); // the scan finds the calls
        for (int n : used)
            QVERIFY2(byNumber.count(n), qPrintable(QString("no line for %1").arg(n)));
        for (const auto& [n, text] : byNumber) // numbers the code keeps in tables are reached too
            QVERIFY2(LangTextAnsi(n) == text.toStdString(),
                     qPrintable(QString("%1 is shadowed").arg(n)));
        QCOMPARE(m_failures, 0);

        // Names written into comma-separated files hold no comma or quote.
        for (int n : {160, 161, 162, 163, 184, 185, 186, 497, 596, 597, 598, 599,
                      600, 601, 602, 603, 604, 605, 606, 607, 608, 609, 610})
            QVERIFY2(!byNumber[n].contains(',') && !byNumber[n].contains('"'),
                     qPrintable(QString::number(n)));
    }
};

QTEST_GUILESS_MAIN(TestLangText)
#include "tst_langtext.moc"
