#include "frmOptions.h"

#include "Address2Format.h"
#include "Ansi.h"
#include "AppState.h"
#include "LangText.h"
#include "Prompts.h"
#include "RecordChecks.h"
#include "RecordEditor.h"
#include "SettingsStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmOptions::frmOptions(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmOptions"));
    ProgramSettings& g = Globals();

    fraConnectionType = new QGroupBox(this);
    auto* connection = new QVBoxLayout(fraConnectionType);
    for (int i = 0; i < 2; ++i) {
        optConnectionType[i] = new QRadioButton(fraConnectionType);
        optConnectionType[i]->setObjectName(QStringLiteral("optConnectionType%1").arg(i));
        connection->addWidget(optConnectionType[i]);
        // The link's type takes effect at once, whatever the dialog ends with.
        connect(optConnectionType[i], &QRadioButton::clicked, this,
                [i] { Globals().UseModem = i == 1; });
    }
    labNumberToDial = new QLabel(fraConnectionType);
    mskEdNumberToDial = new QLineEdit(fraConnectionType);
    mskEdNumberToDial->setObjectName(QStringLiteral("mskEdNumberToDial"));
    labNumberToDial->setBuddy(mskEdNumberToDial);
    connection->addWidget(labNumberToDial);
    connection->addWidget(mskEdNumberToDial);
    // Only a modem dials: the number waits, kept, while the cable is chosen.
    labNumberToDial->setEnabled(false);
    mskEdNumberToDial->setEnabled(false);
    connect(optConnectionType[1], &QRadioButton::toggled, this, [this](bool modem) {
        labNumberToDial->setEnabled(modem);
        mskEdNumberToDial->setEnabled(modem);
    });

    FrameComPort = new QGroupBox(this);
    auto* ports = new QHBoxLayout(FrameComPort);
    for (int i = 0; i < 4; ++i) {
        OptionComPort[i] = new QRadioButton(FrameComPort);
        OptionComPort[i]->setObjectName(QStringLiteral("OptionComPort%1").arg(i));
        ports->addWidget(OptionComPort[i]);
        connect(OptionComPort[i], &QRadioButton::clicked, this, [this, i] { portClicked(i); });
    }

    // The hub folder: typed (with completion) or chosen.
    Frame1 = new QGroupBox(this);
    auto* hubFrame = new QVBoxLayout(Frame1);
    auto* hub = new QHBoxLayout;
    hubFrame->addLayout(hub);
    txtBrenvaskDirectory = new QLineEdit(Frame1);
    txtBrenvaskDirectory->setObjectName(QStringLiteral("txtBrenvaskDirectory"));
    auto* folders = new QFileSystemModel(this);
    folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    folders->setRootPath(QString());
    txtBrenvaskDirectory->setCompleter(new QCompleter(folders, this));
    cmdBrowse = new QPushButton(QStringLiteral("..."), Frame1);
    cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    hub->addWidget(txtBrenvaskDirectory, 1);
    hub->addWidget(cmdBrowse);
    // A folder that is not there is said so as it is typed (OK would not take it).
    lblHubMissing = new QLabel(LangText(731), Frame1);
    lblHubMissing->setObjectName(QStringLiteral("lblHubMissing"));
    lblHubMissing->hide();
    hubFrame->addWidget(lblHubMissing);
    connect(txtBrenvaskDirectory, &QLineEdit::textChanged, this, [this](const QString& folder) {
        lblHubMissing->setVisible(!folder.isEmpty() && !QFileInfo(folder).isDir());
    });
    connect(cmdBrowse, &QPushButton::clicked, this, [this] {
        const QString chosen =
            Prompts::FolderName(this, Frame1->title(), txtBrenvaskDirectory->text());
        if (!chosen.isEmpty())
            txtBrenvaskDirectory->setText(chosen);
    });

    LblSerialIncr = new QLabel(this);
    TxtSerialIncr = new QLineEdit(this);
    TxtSerialIncr->setObjectName(QStringLiteral("TxtSerialIncr"));
    ChkEnableHistoryEdit = new QCheckBox(this);
    ChkEnableHistoryEdit->setObjectName(QStringLiteral("ChkEnableHistoryEdit"));
    ChkLoadBadRecs = new QCheckBox(this);
    ChkLoadBadRecs->setObjectName(QStringLiteral("ChkLoadBadRecs"));
    lblAddress2 = new QLabel(this);
    cboAddress2 = new QComboBox(this);
    cboAddress2->setObjectName(QStringLiteral("cboAddress2"));
    cboAddress2->addItems(Address2Entries());
    cmdOK = new QPushButton(this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::okClicked);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(LblSerialIncr, TxtSerialIncr);
    form->addRow(lblAddress2, cboAddress2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraConnectionType);
    layout->addWidget(FrameComPort);
    layout->addWidget(Frame1);
    layout->addLayout(form);
    layout->addWidget(ChkEnableHistoryEdit);
    layout->addWidget(ChkLoadBadRecs);
    layout->addLayout(buttons);

    LoadResources();
    TxtSerialIncr->setText(QString::number(g.FillIncrement));
    if (g.ComPort > 8 || g.ComPort < 1)
        g.ComPort = 1;
    // Ports 5 to 8 have no button; the frame still says which port it is.
    if (g.ComPort <= 4)
        OptionComPort[g.ComPort - 1]->setChecked(true);
    portClicked(g.ComPort - 1);
    optConnectionType[g.UseModem ? 1 : 0]->setChecked(true);
    mskEdNumberToDial->setText(g.NumberToDial);
    ChkEnableHistoryEdit->setChecked(g.EnHistEdit);
    ChkLoadBadRecs->setChecked(g.IgnoreFileErrs);
    txtBrenvaskDirectory->setText(g.BrenvaskDirectory);
    const qint64 entry = WholeNumberValue(Ansi::fromQString(g.Address2), -1, 99);
    cboAddress2->setCurrentIndex(entry >= 0 && entry <= 14 ? static_cast<int>(entry) : -1);
}

void frmOptions::LoadResources()
{
    setWindowTitle(LangText(237)); // Options
    ChkEnableHistoryEdit->setText(LangText(239));
    ChkLoadBadRecs->setText(LangText(240));
    Frame1->setTitle(LangText(612));
    const int ports[4] = {242, 243, 244, 245};
    for (int i = 0; i < 4; ++i)
        OptionComPort[i]->setText(LangText(ports[i]));
    fraConnectionType->setTitle(LangText(514));
    optConnectionType[0]->setText(LangText(515));
    optConnectionType[1]->setText(LangText(516));
    labNumberToDial->setText(LangText(517));
    cmdOK->setText(LangText(474));
    cmdCancel->setText(LangText(246));
    LblSerialIncr->setText(LangText(250));
    lblAddress2->setText(LangText(615));
}

void frmOptions::portClicked(int index)
{
    // The port takes effect at once, whatever the dialog ends with.
    Globals().ComPort = static_cast<qint16>(index + 1);
    FrameComPort->setTitle(LangText(241) + QString::number(Globals().ComPort));
}

void frmOptions::okClicked()
{
    const qint64 step =
        WholeNumberValue(Ansi::fromQString(TxtSerialIncr->text()), INT32_MIN, INT32_MAX);
    if (step < 1 || step > 9999999) {
        ShowMessage(LangText(251)); // the dialog stays open; nothing changes
        return;
    }
    ProgramSettings& g = Globals();
    g.FillIncrement = static_cast<qint32>(step);
    g.EnHistEdit = ChkEnableHistoryEdit->isChecked();
    g.IgnoreFileErrs = ChkLoadBadRecs->isChecked();
    // The hub folder only when it names a folder that exists.
    const QString hub = txtBrenvaskDirectory->text();
    if (!hub.isEmpty() && QFileInfo(hub).isDir()) {
        g.BrenvaskDirectory = hub;
        SettingsStore::setText(Setting::BrenvaskDirectory, hub);
    }
    g.NumberToDial = mskEdNumberToDial->text();
    if (cboAddress2->currentIndex() >= 0) {
        const QString before = g.Address2;
        g.Address2 = QString::number(cboAddress2->currentIndex());
        SettingsStore::setText(Setting::Address2, g.Address2);
        if (RecordEditor* editor = App::Editor())
            editor->applyAddress2Format();
        if (g.Address2 != before)
            emit App::Signals().address2Changed();
    }
    accept();
}
