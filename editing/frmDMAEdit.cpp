#include "frmDMAEdit.h"

#include "Address2Format.h"
#include "Ansi.h"
#include "AppState.h"
#include "Commands.h"
#include "EditingFeature.h"
#include "LangText.h"
#include "ListText.h"
#include "LoggerRecord.h"
#include "RecordChecks.h"

#include <QFormLayout>
#include <QLabel>

namespace {
constexpr int kNarrowWidth = 4200 / 15; // twips to pixels
constexpr int kWideWidth = 12000 / 15;
} // namespace

frmDMAEdit::frmDMAEdit(QWidget* parent) : RecordEditor(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmDMAEdit"));
    auto* form = new QFormLayout(this);
    auto row = [form](const QString& caption) {
        auto* value = new QLabel(form->parentWidget());
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(caption, value);
        return value;
    };
    m_serial = row(LangText(374));   // serial number
    m_location = row(LangText(373)); // location number
    m_comment1 = row(LangText(160)); // address line 1
    m_comment2 = row(Address2Caption());
    m_latest = row(LangText(164)); // latest reading
    m_userComments = row(LangText(500));
    resize(kNarrowWidth, 300);
}

void frmDMAEdit::showRecord(const LoggerRecord& rec)
{
    m_serial->setText(QString::fromLatin1(FormatSerial(rec.Serial).c_str()));
    m_location->setText(Ansi::toQString(GridRefToLocation(rec.GridRef)));
    m_comment1->setText(Ansi::toQString(rec.Comment1));
    m_comment2->setText(Ansi::toQString(rec.Comment2));
    m_latest->setText(Ansi::toQString(rec.Date[1]) + QLatin1Char(' ') +
                      Ansi::toQString(rec.Status[1]) + QLatin1Char(' ') +
                      QString::number(rec.Level[1]) + QLatin1Char('/') +
                      QString::number(rec.Spread[1]));
    m_userComments->setText(Ansi::toQString(rec.UserComments));
}

void frmDMAEdit::clearRecord()
{
    for (QLabel* l : {m_serial, m_location, m_comment1, m_comment2, m_latest, m_userComments})
        l->clear();
}

void frmDMAEdit::toggleGraph()
{
    m_graphShown = !m_graphShown;
    resize(m_graphShown ? kWideWidth : kNarrowWidth, height());
}

RecordEditor* CreateRecordEditor(QWidget* parent)
{
    return new frmDMAEdit(parent);
}

void RegisterEditingCommands()
{
    Commands::Register(QStringLiteral("mnuViewEditor"), [] {
        if (RecordEditor* editor = App::Editor()) {
            editor->show();
            editor->raise();
        }
    });
}
