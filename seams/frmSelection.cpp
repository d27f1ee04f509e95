#include "frmSelection.h"

#include "LangText.h"

#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {
constexpr int kKeyRole = Qt::UserRole;
}

frmSelection::frmSelection(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSelection"));
    TreeViewSelect = new QTreeWidget(this);
    TreeViewSelect->setObjectName(QStringLiteral("TreeViewSelect"));
    TreeViewSelect->setHeaderHidden(true);
    TreeViewSelect->setRootIsDecorated(false);
    CommandOK = new QPushButton(LangText(474), this);
    CommandOK->setObjectName(QStringLiteral("CommandOK"));
    CommandOK->setDefault(true);
    connect(CommandOK, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TreeViewSelect);
    layout->addWidget(CommandOK, 0, Qt::AlignRight);
    resize(360, 300);
}

void frmSelection::showEvent(QShowEvent* event)
{
    // The title bar's font is the window manager's: allow for a bolder one
    // and for the buttons beside the title.
    int wanted = fontMetrics().horizontalAdvance(windowTitle()) * 6 / 5 + 140;
    for (int i = 0; i < TreeViewSelect->topLevelItemCount(); ++i)
        wanted = std::max(wanted, TreeViewSelect->fontMetrics().horizontalAdvance(
                                      TreeViewSelect->topLevelItem(i)->text(0)) +
                                      100); // the check box, margins and scroll bar
    if (const QScreen* s = screen())
        wanted = std::min(wanted, s->availableGeometry().width() * 4 / 5);
    if (wanted > width())
        resize(wanted, height());
    QDialog::showEvent(event);
}

void frmSelection::clearNodes()
{
    TreeViewSelect->clear();
}

void frmSelection::addNode(const QString& key, const QString& text, bool checked)
{
    auto* item = new QTreeWidgetItem(TreeViewSelect, QStringList{text});
    item->setData(0, kKeyRole, key);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

QStringList frmSelection::checkedKeys() const
{
    QStringList keys;
    for (int i = 0; i < TreeViewSelect->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = TreeViewSelect->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked)
            keys << item->data(0, kKeyRole).toString();
    }
    return keys;
}

void frmSelection::setChecked(const QString& key, bool checked)
{
    for (int i = 0; i < TreeViewSelect->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = TreeViewSelect->topLevelItem(i);
        if (item->data(0, kKeyRole).toString() == key)
            item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    }
}
