#pragma once
// The somatotypes of a Heath-Carter result on the somatochart: the chart's
// background with one small square per row of the table. The chart can be
// saved as a PNG or an SVG picture for a paper.

#include "SomatoChart.h"

#include <QDialog>

#include <vector>

class QGraphicsPixmapItem;
class QGraphicsScene;
class QGraphicsView;
class QPushButton;
class QVBoxLayout;
class TTableModel;

class TSheldonDialog : public QDialog {
    Q_OBJECT

public:
    explicit TSheldonDialog(QWidget *parent = nullptr);

    // One marker per row, checked or not; a row of fewer than three values is
    // skipped. The last three values of a row are its somatotype.
    void plot(const TTableModel *model);

    QGraphicsScene *scene() const { return m_scene; }
    const std::vector<Somatotype> &somatotypes() const { return m_somatotypes; }

    // Asks for a file name and writes the chart there: an SVG picture for a
    // name ending in .svg, otherwise a PNG (".png" is added to a name that
    // does not end so).
    void saveImage();

private:
    struct {
        QVBoxLayout *verticalLayout = nullptr;
        QGraphicsView *graphicsView = nullptr;
        QPushButton *saveButton = nullptr;
    } ui;
    QGraphicsScene *m_scene = nullptr;
    QGraphicsPixmapItem *m_background = nullptr;
    std::vector<Somatotype> m_somatotypes;
};
