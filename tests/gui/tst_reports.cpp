#include "GuiTest.h"

#include "ListWindowFeature.h"
#include "ProgramPrinter.h"
#include "SampleData.h"
#include "TestSupport.h"
#include "frmPrintPreview.h"
#include "frmPrintSetup.h"
#include "frmSelection.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QtWidgets>

namespace {

// The text of a PDF file as pdftotext reads it, each run of white space one
// space: it lays the fixed-pitch columns out only roughly.
QString pdfText(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QStringLiteral("(pdftotext failed: %1)")
            .arg(QString::fromLocal8Bit(p.readAllStandardError()));
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

// The program with north.csv open in front, and prints going into out.pdf.
struct Printing
{
    GuiFixture f;
    frmMain* main = nullptr;
    QString pdf;
    explicit Printing(const QString& file = QString())
    {
        main = f.start({file.isEmpty() ? f.sample("north.csv") : file});
        pdf = f.path("out.pdf");
        PrintIntoPdf(pdf);
        SetPrintersInstalledForTesting(1);
    }
    ~Printing()
    {
        SetPrintersInstalledForTesting(-1);
        ProgramPrinter().setOutputFileName(QString());
        ProgramPrinter().setOutputFormat(QPrinter::NativeFormat);
    }
    // Opens File > Print and works in the options window.
    void print(std::function<void(frmPrintSetup&)> work)
    {
        f.prompts.modal("frmPrintSetup",
                        inWindow([work](QDialog& d) { work(static_cast<frmPrintSetup&>(d)); }));
        main->command("mnuFilePrint")->trigger();
    }
};

} // namespace

class TestReports : public QObject
{
    Q_OBJECT

private slots:
    // The boxes kept in the settings; a refused OK prints nothing. A font too
    // big for the paper is told, and kept. Page Setup and Printer work on the
    // one printer. The preview zooms from 10 to 200; paging stops at the top.
    void optionsWindow()
    {
        Printing p;
        SettingsStore::setInteger(Setting::ChkGridRef, 1);
        SettingsStore::setInteger(Setting::ChkAll, 0);
        SettingsStore::setInteger(Setting::ChkLeak, 1);
        p.print([&](frmPrintSetup& w) {
            QSignalSpy closed(&w, &QDialog::finished);
            QCOMPARE(w.windowTitle(), LangText(320));
            QVERIFY(w.ChkGridRef->isChecked() && w.ChkLeak->isChecked() && !w.ChkAll->isChecked());
            QVERIFY(w.ChkLeak->isEnabled() && !w.CmdSelectDates->isEnabled());
            w.ChkAll->click();
            QVERIFY(!w.ChkLeak->isEnabled() && !w.ChkWarning->isEnabled() &&
                    !w.ChkNotInLeak->isEnabled());
            w.ChkAll->click();
            // No status: 443. A summary without dates: 422, from OK and Preview alike.
            w.ChkLeak->click();
            p.f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(443));
            w.OKButton->click();
            w.ChkWarning->click();
            w.ChkSummary->click();
            QVERIFY(w.CmdSelectDates->isEnabled());
            p.f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(422));
            w.OKButton->click();
            p.f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(422));
            w.CmdPreview->click();
            QCOMPARE(closed.count(), 0);
            QVERIFY(!QFile::exists(p.pdf));
            w.ChkSummary->click();
            w.chkInformation->click();
            w.OKButton->click(); // prints, and the window closes
            QCOMPARE(closed.count(), 1);
        });
        QVERIFY(QFile::exists(p.pdf));
        using SettingsStore::integer;
        QCOMPARE(QList<int>({*integer(Setting::ChkWarning), *integer(Setting::ChkLeak),
                             *integer(Setting::ChkGridRef), *integer(Setting::ChkSummary)}),
                 QList<int>({1, 0, 1, 0}));
        p.f.prompts.modal("PageSetupDialog", [](QDialog&) { return int(QDialog::Rejected); });
        p.main->command("mnuFilePageSetup")->trigger();
        p.print([&](frmPrintSetup& w) {
            QVERIFY(!w.chkInformation->isChecked()); // never kept
            p.f.prompts.font(QString(), 0);          // cancelled
            w.FontButton->click();
            QCOMPARE(p.f.prompts.fontsOffered.value(0).pointSize(), 8);
            p.f.prompts.font("DejaVu Sans Mono", 40);
            p.f.prompts.message(Box::Plain, MsgAnswer::OK, LangText(430));
            w.FontButton->click();
            QCOMPARE(w.reportFont().pointSize(), 40);
            p.f.prompts.font("DejaVu Sans Mono", 9);
            w.FontButton->click(); // fits: nothing said
            QPrinter* seen = nullptr;
            p.f.prompts.modal("PrintDialog", [&](QDialog& d) {
                seen = static_cast<QPrintDialog&>(d).printer();
                return int(QDialog::Rejected);
            });
            w.PrinterButton->click();
            QCOMPARE(seen, &ProgramPrinter());
            w.ChkHist->setChecked(true);
            w.ChkAll->setChecked(true); // pages enough to page through
            const auto inPreview = [&](QDialog& d) {
                auto& v = static_cast<frmPrintPreview&>(d);
                QCOMPARE(v.windowTitle(), QString("Print Preview - 100%"));
                for (int i = 0; i < 13; ++i)
                    v.Command_ZoomIn->click();
                QCOMPARE(w.ZoomPercent, 10);
                for (int i = 0; i < 25; ++i)
                    v.Command_ZoomOut->click();
                QCOMPARE(v.windowTitle(), QString("Print Preview - 200%"));
                v.Command_ZoomIn->click();
                v.CmdLinesUp->click();
                v.CmdPgUp->click();
                QCOMPARE(v.TopOffset(), 0.0);
                v.CmdPgDn->click();
                QVERIFY(qAbs(v.TopOffset() + v.PageHeight()) <= 1);
                v.CmdPgDn->click();
                v.CmdLinesDown->click();
                QVERIFY(v.TopOffset() < -2 * v.PageHeight());
                QCOMPARE(v.ViewPort->verticalScrollBar()->value(), int(-v.TopOffset()));
                v.CmdHome->click();
                QCOMPARE(v.TopOffset(), 0.0);
                v.show();
                // The desk shows between two pages at any zoom; keys as in a viewer.
                const int pages = v.ViewPort->pageCount();
                using Row = std::tuple<Qt::Key, int, int>; // key, zoom, page after it
                for (const auto& [key, zoom, page] :
                     std::initializer_list<Row>{{Qt::Key_Minus, 180, 1},
                                                {Qt::Key_PageDown, 180, 2},
                                                {Qt::Key_End, 180, pages},
                                                {Qt::Key_Home, 180, 1},
                                                {Qt::Key_Down, 180, 1}}) {
                    QTest::keyClick(v.PrintImage, key);
                    QCOMPARE(w.ZoomPercent, zoom);
                    QCOMPARE(v.lblPage->text(), LangText(740) + QString::number(page) +
                                                    LangText(631) + QString::number(pages));
                }
                QCOMPARE(v.TopOffset(), -std::round(v.LineHeight()));
                for (int zoom : {10, 200}) {
                    while (w.ZoomPercent != zoom)
                        QTest::keyClick(v.PrintImage, zoom < w.ZoomPercent ? '-' : '+');
                    v.CmdPgDn->click();
                    const QImage seen = v.PrintImage->grab().toImage();
                    const int x = seen.width() / 2, edge = int(PreviewSurface::kGap);
                    QVERIFY(seen.pixelColor(x, edge / 2) != Qt::white);
                    QVERIFY(seen.pixelColor(x, edge + 4) == Qt::white);
                }
                QTest::keyClick(v.PrintImage, Qt::Key_Minus);
                QCOMPARE(v.CmdPgDn->toolTip(), LangText(327) + " (PgDown)");
                QTest::keyClick(v.PrintImage, Qt::Key_Escape);
                QVERIFY(!v.isVisible());
            };
            p.f.prompts.modal("frmPrintPreview", inWindow(inPreview));
            w.CmdPreview->click();
            QCOMPARE(w.ZoomPercent, 190);
            w.CancelButton->click();
        });
        QCOMPARE(SettingsStore::text(Setting::FontSize), QString("9"));
        QCOMPARE(SettingsStore::text(Setting::FontName), QString("DejaVu Sans Mono"));
        QCOMPARE(ProgramPrinter().outputFileName(), p.pdf);
    }

    // What reaches the PDF: the summary of the dates ticked (offered newest
    // first), the logger report, and a text viewer's text as it stands.
    void printedReports()
    {
        Printing p;
        p.print([&](frmPrintSetup& w) {
            w.ChkSummary->click();
            p.f.prompts.modal("frmSelection", inWindow([](QDialog& d) {
                                  auto& s = static_cast<frmSelection&>(d);
                                  QTreeWidget* tree = s.TreeViewSelect;
                                  QCOMPARE(s.windowTitle(), LangText(423));
                                  for (int i = 1; i < tree->topLevelItemCount(); ++i)
                                      QVERIFY(tree->topLevelItem(i - 1)->text(0) >
                                              tree->topLevelItem(i)->text(0));
                                  s.setChecked("2026/11/09", true);
                                  s.setChecked("2026/11/30", true);
                              }));
            w.CmdSelectDates->click();
            QCOMPARE(w.SelectedDates, QStringList({"2026/11/30", "2026/11/09"}));
            QCOMPARE(w.InDateList("2026/11/09"), 2);
            QCOMPARE(w.InDateList("2026/11/10"), 0);
            w.OKButton->click();
        });
        QString text = pdfText(p.pdf);
        QVERIFY2(text.contains(LangText(464) + LangText(460) + "north.csv"), qPrintable(text));
        QVERIFY2(text.contains("Serial 2026/11/09 2026/11/30"), qPrintable(text.left(700)));
        QVERIFY(text.contains("01003711 . N 24 21")); // All reaches the report

        p.print([&](frmPrintSetup& w) {
            w.ChkSummary->click(); // kept from the last print
            w.ChkHist->setChecked(true);
            w.TxtComment->setText("after the storm");
            p.f.prompts.modal("frmPrintPreview", [](QDialog& d) {
                static_cast<frmPrintPreview&>(d).cmdPrint->click(); // prints as OK does
                return d.result();
            });
            w.CmdPreview->click();
        });
        text = pdfText(p.pdf);
        QVERIFY(text.contains(LangText(460) + "north.csv" + LangText(461) +
                              QDate::currentDate().toString("MM-dd-yyyy")));
        QVERIFY(text.contains(LangText(465) + "after the storm"));
        QVERIFY2(text.contains("01001237 2026/11/30 L 48 10 1"), qPrintable(text.left(700)));
        QVERIFY(text.contains(LangText(463).simplified() + " 2"));
        QCOMPARE(MainWindow()->statusText(), QString());

        OpenTextReport("Notes", "The pump house was locked.");
        p.print([&](frmPrintSetup& w) {
            QStringList enabled;
            for (QWidget* c : w.findChildren<QWidget*>())
                if ((qobject_cast<QCheckBox*>(c) || qobject_cast<QPushButton*>(c) ||
                     qobject_cast<QLineEdit*>(c)) &&
                    c->isEnabledTo(&w))
                    enabled << c->objectName();
            enabled.sort();
            QCOMPARE(enabled, QStringList({"CancelButton", "OKButton", "PrinterButton"}));
            w.OKButton->click();
        });
        QVERIFY(pdfText(p.pdf).contains("The pump house was locked."));
    }

    // Cancel mid-way: the old file as it was, the window open and usable.
    // Without a printer a PDF is offered; refused, the window stays open.
    void cancelHalfWayAndNoPrinter()
    {
        QTemporaryDir dir;
        const QString big = dir.filePath("big.csv");
        QCOMPARE(WriteSampleDatabase(big, 400, 50), 0);
        Printing p(big);
        QVERIFY(writeBytes(p.pdf, "the old report"));
        const QString chosen = p.f.path("instead");
        p.print([&](frmPrintSetup& w) {
            QSignalSpy closed(&w, &QDialog::finished);
            w.ChkHist->setChecked(true);
            w.ChkAll->setChecked(true);
            int pagesSeen = 0;
            QTimer watch;
            QObject::connect(&watch, &QTimer::timeout, [&] {
                if (!w.running())
                    return;
                if (++pagesSeen == 3)
                    w.CancelButton->click();
                QVERIFY(!w.OKButton->isEnabled() && !w.ChkHist->isEnabled());
                QVERIFY(MainWindow()->statusText().startsWith(LangText(467)));
            });
            watch.start(0);
            w.OKButton->click();
            watch.stop();
            QVERIFY(pagesSeen >= 3);
            QCOMPARE(closed.count(), 0);
            QVERIFY(w.OKButton->isEnabled() && w.ChkHist->isEnabled());
            QCOMPARE(readBytes(p.pdf), QByteArray("the old report"));
            QCOMPARE(QDir(p.f.path(".")).entryList({"*.printing"}, QDir::Files | QDir::Hidden),
                     QStringList());
            QCOMPARE(MainWindow()->statusText(), QString());

            ProgramPrinter().setOutputFileName(QString());
            ProgramPrinter().setOutputFormat(QPrinter::NativeFormat);
            SetPrintersInstalledForTesting(0);
            w.ChkHist->setChecked(false);
            const int question = MsgButtons::YesNo + MsgButtons::Question;
            p.f.prompts.message(question, MsgAnswer::No, LangText(624));
            w.OKButton->click();
            QCOMPARE(closed.count(), 0);
            p.f.prompts.message(question, MsgAnswer::Yes, LangText(624));
            p.f.prompts.saveFile(chosen);
            w.OKButton->click();
            QCOMPARE(closed.count(), 1);
        });
        QVERIFY(pdfText(chosen + ".pdf").contains(LangText(460) + "big.csv"));
        QVERIFY(!PrinterHasTarget(ProgramPrinter())); // for one print: the next asks again
    }
};

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
