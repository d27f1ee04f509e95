#include "frmSplash.h"

#include "AppState.h"
#include "SettingsStore.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "Icons.h"

namespace {
int g_lastDelay = 3750;

// The maker's own entry comes first; it also stands for any unknown value.
const frmSplash::Branding kBrandings[] = {
    {"Quorvane", "Quorvane Leak Instruments", "Qv", 0x1E78C8, 0xFFFFFF},
    {"Tavrosa", "Supplied by Tavrosa Hydro Services", "Tv", 0x2E8B57, 0xFFFFFF},
    {"Norvell", "Supplied by Norvell Aqua Systems", "Nv", 0x7A3E9D, 0xFFFFFF},
    {"Brindlecombe", "Supplied by Brindlecombe Network Care", "Bc", 0xC8641E, 0xFFFFFF},
    {"Saltmere", "Supplied by Saltmere Pipeline Diagnostics", "Sm", 0x2F4F6F, 0xF0E68C},
    {"Kestrova", "Supplied by Kestrova Utility Instruments", "Ks", 0xB22234, 0xFFFFFF},
    {"Ulvenbrook", "Supplied by Ulvenbrook Water Technology", "Ub", 0x008B8B, 0xFFFFFF},
};
} // namespace

const frmSplash::Branding& frmSplash::BrandingFor(const QString& distributor)
{
    for (size_t i = 1; i < std::size(kBrandings); ++i)
        if (distributor == QLatin1String(kBrandings[i].key))
            return kBrandings[i];
    return kBrandings[0];
}

int frmSplash::LastDelay()
{
    return g_lastDelay;
}

frmSplash::frmSplash(QWidget* parent) : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    auto* fraMainFrame = new QFrame(this);
    fraMainFrame->setObjectName(QStringLiteral("fraMainFrame"));
    fraMainFrame->setFrameShape(QFrame::Box);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(fraMainFrame);

    picLogo = new QLabel(fraMainFrame);
    lblProductName = new QLabel(App::ApplicationTitle(), fraMainFrame);
    QFont big = lblProductName->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    lblProductName->setFont(big);
    lblDescription = new QLabel(App::SplashDescription(), fraMainFrame);
    lblVersion = new QLabel(QStringLiteral("v%1.%2.%3")
                                .arg(QUORVANE_VERSION_MAJOR)
                                .arg(QUORVANE_VERSION_MINOR)
                                .arg(QUORVANE_VERSION_PATCH),
                            fraMainFrame);
    const Branding& b = BrandingFor(SettingsStore::text(Setting::Distributor));
    lblBranding = new QLabel(QString::fromLatin1(b.text), fraMainFrame);
    picLogo->setPixmap(BrandingLogo(QString::fromLatin1(b.initials), QColor(QRgb(b.background)),
                                    QColor(QRgb(b.foreground))));

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblProductName);
    texts->addWidget(lblDescription);
    texts->addSpacing(12);
    texts->addWidget(lblVersion);
    texts->addStretch();
    texts->addWidget(lblBranding);
    auto* row = new QHBoxLayout(fraMainFrame);
    row->setContentsMargins(24, 24, 24, 24);
    row->setSpacing(24);
    row->addWidget(picLogo, 0, Qt::AlignTop);
    row->addLayout(texts);

    for (QWidget* w : std::initializer_list<QWidget*>{fraMainFrame, picLogo, lblProductName,
                                                      lblDescription, lblVersion, lblBranding})
        w->installEventFilter(this);

    Timer1 = new QTimer(this);
    Timer1->setInterval(250);
    connect(Timer1, &QTimer::timeout, this, &frmSplash::tick);
    resize(480, 220);
}

void frmSplash::setTickInterval(int ms)
{
    Timer1->setInterval(ms);
}

void frmSplash::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        move(s.x() + (s.width() - width()) / 2, s.y() + (s.height() - height()) / 2);
    }
    g_lastDelay = SplashDelay;
    m_remaining = SplashDelay;
    m_ticks = 0;
    Timer1->start();
}

void frmSplash::tick()
{
    ++m_ticks;
    m_remaining -= 250;
    if (m_remaining < 1) {
        Timer1->stop();
        accept();
    }
}

void frmSplash::closeNow()
{
    m_remaining = 0;
    tick();
}

void frmSplash::mousePressEvent(QMouseEvent* event)
{
    Q_UNUSED(event);
    closeNow();
}

void frmSplash::keyPressEvent(QKeyEvent* event)
{
    Q_UNUSED(event);
    closeNow();
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        closeNow();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
