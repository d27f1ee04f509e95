#pragma once
// The splash window: shown at start-up for a few seconds and again as the
// about box; a click or a key closes it at once.

#include <QDialog>

class QLabel;
class QTimer;

class frmSplash : public QDialog
{
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

    int SplashDelay = 3750; // display time in milliseconds
    // The delay last shown with (the about box reuses it).
    static int LastDelay();
    void setTickInterval(int ms);
    int ticks() const { return m_ticks; }

    // One of the seven branding entries, chosen by the Distributor setting.
    struct Branding
    {
        const char* key; // the Distributor value that selects it
        const char* text;
        const char* initials;
        unsigned background;
        unsigned foreground;
    };
    static const Branding& BrandingFor(const QString& distributor);

    QLabel *lblProductName, *lblDescription, *lblVersion, *lblBranding, *picLogo;

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tick();
    void closeNow();

    QTimer* Timer1;
    int m_remaining = 0;
    int m_ticks = 0;
};
