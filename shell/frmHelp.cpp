#include "frmHelp.h"

#include "Utilities.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QString readGuidePage(const QString& path)
{
    QFile f(path);
    // A guide page is a few kilobytes; anything far larger is not one.
    if (!f.open(QIODevice::ReadOnly) || f.size() > 4 * 1024 * 1024)
        return QString();
    return QString::fromUtf8(f.readAll());
}

} // namespace

QString GuideIndexPath()
{
    return QDir(ProgramFolder()).filePath(QStringLiteral("docs/guide/index.html"));
}

bool GuideUsable(const QString& indexPath)
{
    // A page of HTML with words in it: not empty, not some other file's bytes.
    const QString html = readGuidePage(indexPath);
    if (!html.contains(QLatin1String("<html"), Qt::CaseInsensitive))
        return false;
    QTextDocument probe;
    probe.setHtml(html);
    const QString text = probe.toPlainText();
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
}

frmHelp::frmHelp(const QString& indexPath, QWidget* parent)
    : QWidget(parent, Qt::Window), m_index(indexPath)
{
    setObjectName(QStringLiteral("frmHelp"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto tool = [this](const char* name, QStyle::StandardPixmap icon, const QString& tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(tip);
        b->setAutoRaise(true);
        return b;
    };
    cmdBack = tool("cmdBack", QStyle::SP_ArrowBack, tr("Back"));
    cmdForward = tool("cmdForward", QStyle::SP_ArrowForward, tr("Forward"));
    cmdHome = tool("cmdHome", QStyle::SP_DirHomeIcon, tr("Contents"));
    lstContents = new QListWidget(this);
    lstContents->setObjectName(QStringLiteral("lstContents"));
    txtGuide = new QTextBrowser(this);
    txtGuide->setObjectName(QStringLiteral("txtGuide"));
    txtGuide->setOpenExternalLinks(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdForward);
    buttons->addWidget(cmdHome);
    buttons->addStretch();
    auto* split = new QSplitter(this);
    split->addWidget(lstContents);
    split->addWidget(txtGuide);
    split->setStretchFactor(1, 1);
    split->setSizes({260, 640});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(split, 1);
    resize(900, 650);

    connect(cmdBack, &QToolButton::clicked, txtGuide, &QTextBrowser::backward);
    connect(cmdForward, &QToolButton::clicked, txtGuide, &QTextBrowser::forward);
    connect(cmdHome, &QToolButton::clicked, txtGuide, &QTextBrowser::home);
    connect(txtGuide, &QTextBrowser::backwardAvailable, cmdBack, &QToolButton::setEnabled);
    connect(txtGuide, &QTextBrowser::forwardAvailable, cmdForward, &QToolButton::setEnabled);
    connect(txtGuide, &QTextBrowser::sourceChanged, this,
            [this] { setWindowTitle(txtGuide->documentTitle()); });
    connect(lstContents, &QListWidget::currentRowChanged, this, &frmHelp::showChapter);
    cmdBack->setEnabled(false);
    cmdForward->setEnabled(false);

    // The chapters are the links of the first page's list of contents.
    const QString index = readGuidePage(indexPath);
    static const QRegularExpression link(
        QStringLiteral("<li>\\s*<a href=\"([^\"]+)\">([^<]+)</a>"));
    for (auto it = link.globalMatch(index); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        auto* item = new QListWidgetItem(m.captured(2), lstContents);
        item->setData(Qt::UserRole, m.captured(1));
    }
    txtGuide->setSource(QUrl::fromLocalFile(indexPath));
}

void frmHelp::showChapter(int row)
{
    QListWidgetItem* item = lstContents->item(row);
    if (!item)
        return;
    const QString page = QFileInfo(m_index).dir().filePath(item->data(Qt::UserRole).toString());
    txtGuide->setSource(QUrl::fromLocalFile(page));
}
