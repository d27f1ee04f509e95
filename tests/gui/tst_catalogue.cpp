#include "GuiTest.h"

#include "CatalogueFeature.h"
#include "ListWindowFeature.h"
#include "SampleData.h"
#include "TestSupport.h"
#include "frmCatalogue.h"

#include <QtWidgets>

namespace {

QStringList texts(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// The program started with a hub folder of database files as the catalogue's folder.
struct Hub
{
    GuiFixture f;
    QString folder = f.path("hub");

    Hub()
    {
        QDir().mkpath(folder);
        const QByteArray rest = ",\"AB 1234 5678\",\"\",\"\",\"\",\"\"\r\n"; // of a record
        writeBytes(folder + "/a.csv", "h,h\r\n1234567" + rest + "2345678" + rest);
        writeBytes(folder + "/B.CSV", "h,h\r\n3456789" + rest);
        writeBytes(folder + "/c.csv", "h,h\r\n1234568" + rest + "123" + rest); // 123 is damaged
        SettingsStore::setText(Setting::CataloguePath, folder);
        f.start();
    }
    ~Hub() { ResetCatalogueForTesting(); }
    // Opens Search > Catalogue and works in it.
    void catalogue(std::function<void(frmCatalogue&)> work)
    {
        f.prompts.modal("frmCatalogue",
                        inWindow([work](QDialog& d) { work(static_cast<frmCatalogue&>(d)); }));
        MainWindow()->command("mnuSearchCatalogue")->trigger();
    }
};

} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    // The folder from the settings as the caption, its database files, the
    // serial last typed; each serial listed once as eight digits; Find
    // searches the typed serial too; nowhere to search is told.
    void searching()
    {
        Hub h;
        SettingsStore::setText(Setting::TxtSerial_FIF, "123");
        h.catalogue([&](frmCatalogue& w) {
            QCOMPARE(w.windowTitle(), QDir::toNativeSeparators(h.folder));
            QList<QWidget*> labelled;
            for (QLabel* label : w.findChildren<QLabel*>())
                if (!label->text().isEmpty())
                    labelled << label->buddy();
            for (QListWidget* pane : w.findChildren<QListWidget*>())
                QVERIFY2(labelled.contains(pane), qPrintable(pane->objectName()));
            QCOMPARE(texts(w.File1), QStringList({"a.csv", "B.CSV", "c.csv"}));
            QCOMPARE(w.TxtSerial->text(), QString("00000123"));
            for (const char* typed : {"123abc", "1234567", "0001234567", "junk"}) {
                w.TxtSerial->setText(typed);
                w.cmdAddSerial->click();
            }
            QCOMPARE(texts(w.ListSer), QStringList({"00000123", "01234567", "00000000"}));
            QCOMPARE(w.TxtSerial->text(), QString("00000000"));
            w.TxtSerial->setText("4567");
            QCOMPARE(SettingsStore::text(Setting::TxtSerial_FIF), QString("4567"));
            w.ListSer->setCurrentRow(2);
            w.cmdRemoveSer->click();
            QCOMPARE(texts(w.ListSer), QStringList({"00000123", "01234567"}));
            w.cmdClearSer->click();
            QCOMPARE(w.ListSer->count(), 0);
            w.TxtSerial->setText("123");
            w.cmdFind->click();
            w.waitForSearch();
            QCOMPARE(texts(w.ListSer), QStringList({"00000123"}));
            QCOMPARE(texts(w.List_found),
                     QStringList({QDir::toNativeSeparators(h.folder + "/c.csv")}));
            QCOMPARE(w.Label1->text(), LangText(491) + LangText(493));
            QVERIFY(w.CmdOpen->isEnabled() && w.cmdAddSerial->isEnabled());

            w.Command1->click();
            QVERIFY(w.List_found->count() == 0 && !w.CmdOpen->isEnabled());
            w.ListSer->clear();
            w.TxtSerial->setText("9999999");
            w.cmdFind->click();
            w.waitForSearch();
            QVERIFY(w.List_found->count() == 0 &&
                    w.Label1->text() == LangText(491) + LangText(492));
            QVERIFY(!w.CmdOpen->isEnabled());

            // Another folder: the caption and the setting follow.
            const QString empty = QDir::toNativeSeparators(h.f.path("empty"));
            QDir().mkpath(empty);
            h.f.prompts.folder(empty);
            w.cmdBrowse->click();
            QCOMPARE(w.windowTitle(), empty);
            QCOMPARE(Globals().CataloguePath, empty);
            QCOMPARE(w.File1->count(), 0);
            for (const QString& folder : {empty, h.f.path("gone")}) {
                w.setFolder(folder);
                h.f.prompts.message(Box::Plain, MsgAnswer::OK,
                                    LangText(folder == empty ? 489 : 625));
                w.cmdFind->click();
                QVERIFY(w.cmdAddSerial->isEnabled() && w.cmdRemoveSer->isEnabled() &&
                        w.cmdClearSer->isEnabled() && w.cmdFind->isEnabled());
            }
            w.cmdCancel->click();
        });
        // Never the bare root, where the search would find nothing of use.
        Globals().CataloguePath = QDir::rootPath();
        QVERIFY(!QDir(frmCatalogue::startFolder()).isRoot());
    }

    // The search leaves the open list window and the shared store alone; Open
    // opens the selected files, telling of one gone since. The lists stay.
    void openingFound()
    {
        Hub h;
        ListWindow* open = OpenDocument(h.f.sample("north.csv"));
        QVERIFY(open);
        const int count = DMAModule().StoreCount;
        const qint32 first = DMAModule().Records(1).Serial;
        const int lines = open->document().LineCount();
        h.catalogue([&](frmCatalogue& w) {
            QCOMPARE(w.folder(), QDir::toNativeSeparators(QFileInfo(open->windowTitle()).path()));
            w.setFolder(h.folder);
            w.TxtSerial->setText("1234567");
            w.cmdAddSerial->click();
            w.TxtSerial->setText("3456789");
            w.cmdFind->click();
            w.waitForSearch();
            QCOMPARE(w.List_found->count(), 2); // a.csv, B.CSV
            QCOMPARE(DMAModule().StoreCount, count);
            QCOMPARE(DMAModule().Records(1).Serial, first);
            QCOMPARE(open->document().LineCount(), lines);
            w.List_found->selectAll();
            QFile::remove(h.folder + "/B.CSV");
            h.f.prompts.message(Box::Plain, MsgAnswer::OK, "B.CSV");
            w.CmdOpen->click();
            QVERIFY(!w.isVisible());
        });
        QStringList opened;
        for (frmDMA* list : listWindows(MainWindow()))
            opened << QFileInfo(list->windowTitle()).fileName();
        QCOMPARE(opened, QStringList({"north.csv", "a.csv"}));
        h.catalogue([&](frmCatalogue& w) {
            QCOMPARE(texts(w.ListSer), QStringList({"01234567", "03456789"}));
            QCOMPARE(w.List_found->count(), 2);
            w.cmdCancel->click();
        });
    }

    // Cancel stops a search at the next file; the window is usable again.
    void cancelMidSearch()
    {
        Hub h;
        const QString many = h.f.path("many");
        QDir().mkpath(many);
        for (int i = 100; i < 160; ++i) // f100.csv to f159.csv
            WriteSampleDatabase(many + QString("/f%1.csv").arg(i), 1000, 10);
        const QString serial = QString::number(MakeSampleRecord(500, 10).Serial);
        h.catalogue([&](frmCatalogue& w) {
            w.setFolder(many);
            w.TxtSerial->setText(serial);
            w.cmdFind->click();
            QVERIFY(w.searching());
            QVERIFY(!w.cmdFind->isEnabled() && !w.cmdAddSerial->isEnabled());
            w.cmdCancel->click();
            w.waitForSearch();
            QVERIFY(!w.isVisible());
            QVERIFY(w.List_found->count() < 60);
            QVERIFY(w.cmdFind->isEnabled() && w.cmdAddSerial->isEnabled());
        });
        // Shown again, it searches to the end.
        h.catalogue([&](frmCatalogue& w) {
            w.cmdFind->click();
            w.waitForSearch();
            QCOMPARE(w.List_found->count(), 60);
            QCOMPARE(w.List_found->item(59)->text(), QDir::toNativeSeparators(many + "/f159.csv"));
            w.cmdCancel->click();
        });
    }
};

QTEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
