// The largest inputs a user may hand the program: each ends with a word of
// what was done, and at its peak holds no more than three times the file's
// size, measured in a process of its own. (Not under the sanitizers, whose
// own bookkeeping is most of the memory there; their times are for
// bench_bounds, which prints them beside a raw read of each file.)

#include "HandOver.h"
#include "TestSupport.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

#if defined(__SANITIZE_ADDRESS__)
#define QUORVANE_MEMORY_MEASURED 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORVANE_MEMORY_MEASURED 0
#endif
#endif
#ifndef QUORVANE_MEMORY_MEASURED
#define QUORVANE_MEMORY_MEASURED 1
#endif

namespace {

using BigInputs::Rich;
using HandOver::Way;

constexpr qint64 k64 = 64 * BigInputs::kMiB;
constexpr qint64 k50 = 50 * BigInputs::kMiB;

struct Input
{
    const char* name;
    const char* fileName;
    std::function<bool(const QString&)> make;
    Way way;
    std::function<QString()> said; // what the program must say, or start saying
};

QString viewerShows(qint64 characters)
{
    return QStringLiteral("shows %1 characters").arg(characters);
}

} // namespace

class TestInputBounds : public QObject
{
    Q_OBJECT
private slots:
    void largestInputs_data()
    {
        QTest::addColumn<int>("row");
        for (size_t i = 0; i < inputs().size(); ++i)
            QTest::newRow(inputs()[i].name) << int(i);
    }
    void largestInputs()
    {
        QFETCH(int, row);
        const Input& in = inputs()[size_t(row)];
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("program"));
        QDir().mkpath(program);
        QFile::copy(QStringLiteral(QUORVANE_SOURCE_DIR "/lang/lang_en.txt"),
                    program + QStringLiteral("/lang_en.txt"));
        const QString path = dir.filePath(QLatin1String(in.fileName));
        QDir().mkpath(QFileInfo(path).path());
        QVERIFY(in.make(path));

        const HandOver::Measured m = HandOver::measure(in.way, path, program);
        QVERIFY(m.ran);
        SetProgramFolderForTesting(program); // the texts expected come from the program's own file
        const QString expected = in.said();
        QVERIFY(!expected.isEmpty());
        QVERIFY2(m.said.startsWith(expected.simplified()),
                 qPrintable(QStringLiteral("said \"%1\", not \"%2\"").arg(m.said, expected)));
        const qint64 size = QFileInfo(path).size();
        if (QUORVANE_MEMORY_MEASURED && m.peakBytes >= 0 && size > 0)
            QVERIFY2(m.peakBytes < 3 * size,
                     qPrintable(QStringLiteral("%1 MiB at the peak for a file of %2 MiB")
                                    .arg(m.peakBytes / double(BigInputs::kMiB), 0, 'f', 1)
                                    .arg(size / double(BigInputs::kMiB), 0, 'f', 1)));
    }

    // Progress is told per record, not per line: a file of millions of
    // empty lines would otherwise spend seconds building texts nobody sees.
    void progressPerRecord()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("empty.csv"));
        QVERIFY(BigInputs::writeShortLines(path, BigInputs::kMiB, ""));
        int texts = 0;
        SetStatusSink([&texts](const QString&) { ++texts; });
        RecordStore store;
        const int result = ReadDatabaseFile(store, path);
        SetStatusSink(nullptr);
        QCOMPARE(result, int(FileResult::Ok));
        QCOMPARE(texts, 1); // the panel emptied at the end
    }

private:
    static const std::vector<Input>& inputs();
};

const std::vector<Input>& TestInputBounds::inputs()
{
    static const QByteArray ownStrings =
        readBytes(QStringLiteral(QUORVANE_SOURCE_DIR "/lang/lang_en.txt"));
    const auto sized = [](qint64 size, bool (*write)(const QString&, qint64)) {
        return [size, write](const QString& p) { return write(p, size); };
    };
    const auto rich = [](qint64 size, Rich kind) {
        return [size, kind](const QString& p) { return BigInputs::writeRichText(p, size, kind); };
    };
    const auto text = [](int number) { return [number] { return LangText(number); }; };
    static const std::vector<Input> table = {
        {"6,999 loggers, every text at its longest", "longest.csv", BigInputs::writeLongestDatabase,
         Way::FileOpen, [] { return QStringLiteral("opened 6999 loggers"); }},
        {"64 MiB of random bytes", "random.csv", sized(k64, BigInputs::writeRandomBytes),
         Way::FileOpen, text(177)},
        {"64 MiB in one line", "oneline.csv", sized(k64, BigInputs::writeOneLongLine),
         Way::FileOpen, text(176)},
        {"64 MiB of short lines", "short.csv",
         [](const QString& p) { return BigInputs::writeShortLines(p, k64, "none"); }, Way::FileOpen,
         text(177)},
        {"64 MiB of empty lines", "empty.csv",
         [](const QString& p) { return BigInputs::writeShortLines(p, k64, ""); }, Way::FileOpen,
         [] { return QStringLiteral("opened 0 loggers status: ") + LangText(338); }},
        {"language file of 100,000 lines", "lang/lang_en.txt",
         [](const QString& p) { return BigInputs::writeLongLanguageFile(p, ownStrings, 100000); },
         Way::LanguageLookup,
         [] { return QStringLiteral("string 169 reads \"%1\"").arg(LangText(169)); }},
        {"64 MiB of random bytes as text", "random.dat", sized(k64, BigInputs::writeRandomBytes),
         Way::FileOpen, text(900)},
        {"3 MiB of empty lines as text", "lines.txt",
         [](const QString& p) { return BigInputs::writeShortLines(p, 3 * BigInputs::kMiB, ""); },
         Way::FileOpen, text(900)},
        {"50 MiB of rich text", "big.rtf", rich(k50, Rich::Paragraphs), Way::FileOpen, text(900)},
        {"50 MiB of rich text, a picture", "picture.rtf", rich(k50, Rich::Picture), Way::FileOpen,
         [] { return viewerShows(28); }},
        {"50 MiB of rich text, groups in groups", "groups.rtf", rich(k50, Rich::DeepGroups),
         Way::FileOpen, [] { return viewerShows(0); }},
        {"50 MiB of rich text, one control word", "word.rtf", rich(k50, Rich::LongWord),
         Way::FileOpen, [] { return viewerShows(4); }},
        {"a text file gone before it was read", "gone.txt", [](const QString&) { return true; },
         Way::FileOpen, text(171)},
    };
    return table;
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int asked = HandOver::runIfAsked(app.arguments());
    if (asked >= 0)
        return asked;
    TestInputBounds test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_inputbounds.moc"
