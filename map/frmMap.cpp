#include "frmMap.h"

#include "AppState.h"
#include "BusyCursor.h"
#include "LangText.h"
#include "ListWindow.h"
#include "LoggerList.h"
#include "MapCanvas.h"
#include "ProgramPrinter.h"
#include "Prompts.h"
#include "RecordChecks.h"
#include "SettingsStore.h"
#include "Utilities.h"
#include "VectorLayer.h"

#include <QApplication>
#include <QBoxLayout>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPushButton>
#include <QToolBar>

namespace {
// The layers' paths in the setting: "|" is in no Windows file name.
constexpr QChar kLayerSeparator = QLatin1Char('|');
} // namespace

frmMap::frmMap(QWidget* parent) : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("frmMap"));
    setWindowTitle(LangText(778));
    resize(900, 650);

    auto* tools = new QToolBar(this);
    tools->setObjectName(QStringLiteral("tbMap"));
    const auto action = [this, tools](const char* name, int caption, auto slot) {
        QAction* a = tools->addAction(LangText(caption));
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    m_canvas = new MapCanvas(this);
    action("cmdFitAll", 766, [this] { m_canvas->fitAll(); });
    tools->addSeparator();
    action("cmdAddLayer", 767, &frmMap::cmdAddLayer_Click);
    action("cmdRemoveLayers", 768, &frmMap::removeLayers);
    tools->addSeparator();
    action("cmdCopy", 769, &frmMap::cmdCopy_Click);
    action("cmdPrint", 770, &frmMap::cmdPrint_Click);
    action("cmdSave", 771, &frmMap::cmdSave_Click);

    m_unplacedButton = new QPushButton(this);
    m_unplacedButton->setObjectName(QStringLiteral("cmdUnplaced"));
    m_unplacedButton->setFlat(true);
    m_unplacedList = new QListWidget(this);
    m_unplacedList->setObjectName(QStringLiteral("lstUnplaced"));
    m_unplacedList->setToolTip(LangText(779));
    m_unplacedList->setMaximumWidth(360);
    // A reason can be wider than the list: it wraps, so it reads whole.
    m_unplacedList->setWordWrap(true);
    m_unplacedList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_unplacedList->setResizeMode(QListView::Adjust);
    m_unplacedList->hide();

    auto* middle = new QHBoxLayout;
    middle->addWidget(m_canvas, 1);
    middle->addWidget(m_unplacedList);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_unplacedButton);
    bottom->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->addWidget(tools);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);

    connect(m_unplacedButton, &QPushButton::clicked, this,
            [this] { m_unplacedList->setVisible(!m_unplacedList->isVisible()); });
    connect(m_unplacedList, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showLineOf(item->data(Qt::UserRole).toInt()); });
    connect(m_unplacedList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { showLineOf(item->data(Qt::UserRole).toInt()); });
    connect(m_canvas, &MapCanvas::dotClicked, this, &frmMap::showLineOf);
    connect(m_canvas, &MapCanvas::loggersChanged, this, &frmMap::loggersChanged);
    connect(&App::Signals(), &App::StateSignals::activeListChanged, this,
            &frmMap::followActiveList);

    // The layers of last time; those that cannot be shown any more are told and dropped.
    const QStringList remembered =
        SettingsStore::text(Setting::MapLayers).split(kLayerSeparator, Qt::SkipEmptyParts);
    QStringList dropped;
    BusyCursor busy;
    for (const QString& path : remembered) {
        auto layer = std::make_shared<VectorLayer>();
        if (layer->load(path))
            m_layers.push_back(std::move(layer));
        else
            dropped << path + QStringLiteral("\n") + layer->error();
    }
    if (!m_layers.empty())
        m_canvas->setLayers(m_layers);
    if (!dropped.isEmpty()) {
        rememberLayers();
        ShowMessage(LangText(781) + QStringLiteral("\n\n") + dropped.join(QStringLiteral("\n\n")),
                    MsgButtons::Exclamation, App::ApplicationTitle());
    }
    loggersChanged();
}

frmMap::~frmMap() = default;

void frmMap::followActiveList()
{
    if (ListWindow* list = App::UsableActiveList())
        m_canvas->setList(list);
    else if (!App::IsObjectAlive(m_canvas->list()))
        m_canvas->setList(nullptr);
    const ListWindow* list = m_canvas->list();
    setWindowTitle(list ? LangText(778) + QStringLiteral(" - ") + list->document().DMAName
                        : LangText(778));
}

void frmMap::showLineOf(int record)
{
    ListWindow* list = m_canvas->list();
    if (!list)
        return;
    if (const int line = list->document().LineOfRecord(record))
        list->ShowLine(line);
}

void frmMap::loggersChanged()
{
    m_unplacedButton->setText(LangText(765) + QStringLiteral(": ") +
                              QString::number(m_canvas->unplaced().size()));
    m_unplacedButton->setEnabled(!m_canvas->unplaced().empty());
    m_unplacedList->clear();
    const ListWindow* list = m_canvas->list();
    if (!list)
        return;
    for (const MapCanvas::Unplaced& u : m_canvas->unplaced()) {
        const qint32 serial = list->document().record(u.record).Serial;
        auto* item = new QListWidgetItem(QString::fromLatin1(FormatSerial(serial).c_str()) +
                                             QStringLiteral(": ") + u.reason,
                                         m_unplacedList);
        item->setData(Qt::UserRole, u.record);
    }
    if (m_canvas->unplaced().empty())
        m_unplacedList->hide();
}

bool frmMap::addLayer(const QString& path)
{
    auto layer = std::make_shared<VectorLayer>();
    bool loaded = false;
    {
        BusyCursor busy;
        loaded = layer->load(path);
    }
    if (!loaded) {
        ShowMessage(LangText(772) + QStringLiteral("\n") + QDir::toNativeSeparators(path) +
                        QStringLiteral("\n\n") + layer->error(),
                    MsgButtons::Exclamation, App::ApplicationTitle());
        return false;
    }
    m_layers.push_back(std::move(layer));
    layersChanged();
    return true;
}

void frmMap::removeLayers()
{
    m_layers.clear();
    layersChanged();
}

void frmMap::layersChanged()
{
    m_canvas->setLayers(m_layers);
    rememberLayers();
    if (m_canvas->dots().empty())
        m_canvas->fitAll();
}

void frmMap::rememberLayers() const
{
    QStringList paths;
    for (const auto& layer : m_layers)
        paths << layer->path();
    SettingsStore::setText(Setting::MapLayers, paths.join(kLayerSeparator));
}

void frmMap::cmdAddLayer_Click()
{
    const QString path =
        Prompts::OpenFileName(this, LangText(774), Globals().DefaultPath, LangText(773));
    if (!path.isEmpty())
        addLayer(path);
}

void frmMap::cmdCopy_Click()
{
    QApplication::clipboard()->setImage(m_canvas->grab().toImage());
}

void frmMap::renderTo(QPaintDevice& device)
{
    QPainter painter(&device);
    // The texts as big beside the dots as on screen: a page's resolution
    // would make the font's points many more of the map's pixels.
    QFont font = m_canvas->font();
    font.setPixelSize(QFontInfo(font).pixelSize());
    painter.setFont(font);
    const QRect page = painter.viewport();
    const double scale = std::min(double(page.width()) / m_canvas->width(),
                                  double(page.height()) / m_canvas->height());
    painter.translate((page.width() - m_canvas->width() * scale) / 2,
                      (page.height() - m_canvas->height() * scale) / 2);
    painter.scale(scale, scale);
    painter.setClipRect(m_canvas->rect());
    m_canvas->paintMap(painter);
}

void frmMap::cmdPrint_Click()
{
    PrintJob job(this);
    if (!job.ready())
        return;
    job.printer().setPageOrientation(
        m_canvas->width() >= m_canvas->height() ? QPageLayout::Landscape : QPageLayout::Portrait);
    renderTo(job.printer());
    if (!job.commit())
        ShowMessage(LangText(623)); // the printer could not be started
}

void frmMap::cmdSave_Click()
{
    QString path = Prompts::SaveFileName(this, LangText(776), Globals().DefaultPath,
                                         QStringLiteral("map.png"), LangText(775));
    if (path.isEmpty())
        return;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("pdf") && suffix != QLatin1String("png"))
        path += QStringLiteral(".png");
    if (!Prompts::ConfirmReplaceFile(path))
        return;
    const bool pdf = QFileInfo(path).suffix().toLower() == QLatin1String("pdf");
    // Written whole or not at all; a failure is told, with the path.
    const bool saved = WriteFileAtomically(path, [this, pdf](QIODevice& out) {
        if (!pdf) {
            // Made in memory first: Qt's PNG writer leaks its buffers when the
            // device fails part-way.
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            return m_canvas->grab().toImage().save(&buffer, "PNG") && out.write(png) == png.size();
        }
        QPdfWriter writer(&out);
        writer.setPageOrientation(m_canvas->width() >= m_canvas->height() ? QPageLayout::Landscape
                                                                          : QPageLayout::Portrait);
        writer.setTitle(windowTitle());
        renderTo(writer);
        return true;
    });
    if (!saved)
        ShowMessage(LangText(777) + QStringLiteral("\n") + QDir::toNativeSeparators(path));
}
