#pragma once
// The map window: the active list window's loggers on a map, with the
// background layers the user added, a legend and the loggers that have no
// position. It follows the list window bound to the editor.

#include <QWidget>
#include <memory>
#include <vector>

class ListWindow;
class MapCanvas;
class QAction;
class QListWidget;
class QPaintDevice;
class QPushButton;
class VectorLayer;

class frmMap : public QWidget
{
    Q_OBJECT
public:
    explicit frmMap(QWidget* parent);
    ~frmMap() override;

    MapCanvas* canvas() const { return m_canvas; }
    // The loggers without a position, "serial: reason", shown after a click on their count.
    QListWidget* unplacedList() const { return m_unplacedList; }
    QPushButton* unplacedButton() const { return m_unplacedButton; }

    // Shows the list window bound to the editor (keeps the last one while none is).
    void followActiveList();
    // Adds a background layer; false, after telling the user, when the file cannot be shown.
    bool addLayer(const QString& path);
    void removeLayers();
    int layerCount() const { return static_cast<int>(m_layers.size()); }

    void cmdAddLayer_Click();
    void cmdCopy_Click();
    void cmdPrint_Click();
    void cmdSave_Click();

    // The map scaled to fit the device's page, drawn as lines and text.
    void renderTo(QPaintDevice& device);

private:
    void showLineOf(int record);
    void loggersChanged();
    void rememberLayers() const;
    void layersChanged();

    MapCanvas* m_canvas;
    QPushButton* m_unplacedButton;
    QListWidget* m_unplacedList;
    std::vector<std::shared_ptr<const VectorLayer>> m_layers;
};
