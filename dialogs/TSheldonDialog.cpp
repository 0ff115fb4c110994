#include "TSheldonDialog.h"

#include "FileDialog.h"
#include "MessageBox.h"
#include "TTableModel.h"

#include <QDir>
#include <QFileInfo>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QIcon>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

TSheldonDialog::TSheldonDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TSheldonDialog"));
    setModal(true);
    resize(400, 300);
    ui.verticalLayout = new QVBoxLayout(this);
    ui.verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    ui.verticalLayout->setSpacing(0);
    ui.verticalLayout->setContentsMargins(0, 0, 0, 0);
    ui.graphicsView = new QGraphicsView(this);
    ui.graphicsView->setObjectName(QStringLiteral("graphicsView"));
    ui.graphicsView->setFrameShape(QFrame::NoFrame);
    ui.verticalLayout->addWidget(ui.graphicsView);

    auto *buttons = new QHBoxLayout();
    buttons->setContentsMargins(6, 6, 6, 6);
    buttons->addStretch(1);
    ui.saveButton = new QPushButton(QString::fromUtf8("Uložit obrázek"), this);
    ui.saveButton->setObjectName(QStringLiteral("saveButton"));
    ui.saveButton->setAutoDefault(false);
    buttons->addWidget(ui.saveButton);
    ui.verticalLayout->addLayout(buttons);
    connect(ui.saveButton, &QPushButton::clicked, this, &TSheldonDialog::saveImage);

    setWindowTitle(QString::fromUtf8("Sheldonův trojúhelník"));
    m_scene = new QGraphicsScene(this);
    ui.graphicsView->setScene(m_scene);
    const QPixmap chart = QIcon(QStringLiteral(":/icons/sheldon.png"))
                              .pixmap(QSize(SomatoChart::width, SomatoChart::height), devicePixelRatioF());
    m_background = m_scene->addPixmap(chart);
    m_background->setPos(0, 0);
    // The whole chart in view, with the row of the save button under it.
    const QRectF bounds = m_background->boundingRect();
    resize(int(bounds.width()), int(bounds.height()) + buttons->sizeHint().height());
}

void TSheldonDialog::plot(const TTableModel *model)
{
    if (!model)
        return;
    QPen pen;
    pen.setColor(Qt::blue);
    for (int r = 0; r < model->rowCount(); ++r) {
        const int length = model->rowLength(r);
        const double last[3] = {model->value(r, length - 3), model->value(r, length - 2), model->value(r, length - 1)};
        Somatotype somatotype;
        if (length < 3 || !somatotypeOfRow(last, 3, &somatotype))
            continue;
        m_somatotypes.push_back(somatotype);
        m_scene->addRect(markerRect(somatotype), pen, Qt::NoBrush);
    }
}

void TSheldonDialog::saveImage()
{
    const QString title = QString::fromUtf8("Uložit obrázek");
    QSettings settings(QStringLiteral("Veritek"), QStringLiteral("Kostimer"));
    const QString folder = settings.value(QStringLiteral("chartImageFolder"), QDir::homePath()).toString();
    QString path = FileDialog::saveFileName(this, title, folder,
                                            QString::fromUtf8("Obrázek PNG (*.png);;Obrázek SVG (*.svg)"));
    if (path.isEmpty())
        return;
    const QString suffix = QFileInfo(path).suffix().toLower();
    const ChartFormat format = suffix == QLatin1String("svg") ? ChartFormat::Svg : ChartFormat::Png;
    if (format == ChartFormat::Png && suffix != QLatin1String("png"))
        path += QStringLiteral(".png");
    settings.setValue(QStringLiteral("chartImageFolder"), QFileInfo(path).absolutePath());
    if (!writeChart(path, format, m_somatotypes))
        MessageBox::warning(this, title, QString::fromUtf8("Obrázek se nepodařilo uložit."));
}
