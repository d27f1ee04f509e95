#pragma once
// The record editor's level/spread graph: 50 level bars standing on an axis,
// 50 spread bars hanging below it, a row of date markers between. Places are
// given in the editor's own coordinates, as the window's layout fixes them;
// the panel sits at kLeft in the editor and draws itself shifted by it.

#include <QColor>
#include <QRect>
#include <QWidget>
#include <array>

struct LoggerRecord;

class GraphPanel : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kLeft = 270;       // the panel's place in the editor
    static constexpr int kLevelAxis = 220;  // level bars stand on this line
    static constexpr int kSpreadAxis = 230; // spread bars hang from this one
    static constexpr int kFirstBar = 290;
    static constexpr int kBarWidth = 10;
    static constexpr int kPixelsPerUnit = 2;
    static const QColor kCalm, kAlarm, kMarker, kChosen;

    explicit GraphPanel(QWidget* parent = nullptr);

    // Bars and tooltips for readings 1..50 of the record; markers yellow.
    void showReadings(const LoggerRecord& rec);
    // Every bar flat on its axis, every marker yellow.
    void reset();
    void setAllMarkers(const QColor& color);
    // The marker of reading k + 1 black and the one chosen before yellow;
    // -1 chooses none.
    void chooseMarker(int k);
    void setTitles(const QString& level, const QString& spread);

    // In the editor's coordinates, for k = 0..49.
    QRect levelBar(int k) const;
    QRect spreadBar(int k) const;
    QRect marker(int k) const;
    QColor barColor(int k) const { return m_barColor[static_cast<size_t>(k)]; }
    QColor markerColor(int k) const { return m_markerColor[static_cast<size_t>(k)]; }
    QString markerTip(int k) const { return m_tips[static_cast<size_t>(k)]; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    std::array<int, 50> m_level{};
    std::array<int, 50> m_spread{};
    std::array<QColor, 50> m_barColor;
    std::array<QColor, 50> m_markerColor;
    std::array<QString, 50> m_tips;
    int m_chosen = -1;
    QString m_levelTitle, m_spreadTitle;
};
