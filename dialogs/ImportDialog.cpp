#include "ImportDialog.h"

#include "ui_ImportDialog.h"

#include <QBrush>
#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QHash>
#include <QHeaderView>
#include <QList>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTableWidgetItem>

#include <algorithm>
#include <cmath>

namespace {

// The preview reads no more of a file than this: its first rows are all it
// shows, and a big file is read by the import itself, in the background.
constexpr qint64 previewBytes = 4 * 1024 * 1024;

// exec()'s result for "Zrušit import".
constexpr int cancelAllResult = 2;

// Missing cells are tinted as the table tints them.
const QColor missingTint(0xff, 0xd8, 0xa8);

QList<ImportDialog::Answer> queuedAnswers;
bool acceptDetected = false;
bool answersRequired = false;
int asked = 0;
QString askedFileName;

constexpr char separators[] = {';', ',', '\t', '|'};

QString separatorText(char separator)
{
    return separator == '\t' ? separatorName(separator)
                             : QStringLiteral("%1 (%2)").arg(separatorName(separator), QChar::fromLatin1(separator));
}

// "žádný středník", "žádná čárka".
QString noSeparator(char separator)
{
    const bool feminine = separator == ',' || separator == '|';
    return (feminine ? QStringLiteral("žádná ") : QStringLiteral("žádný ")) + separatorName(separator);
}

// "Použít čárku".
QString useSeparator(char separator)
{
    switch (separator) {
    case ',':
        return QStringLiteral("Použít čárku");
    case '|':
        return QStringLiteral("Použít svislou čáru");
    default:
        return QStringLiteral("Použít ") + separatorName(separator);
    }
}

// The Unicode encoding a byte-order mark at the start names; empty for none.
QString markedEncoding(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QStringLiteral("UTF-8 (se značkou BOM)");
    if (bytes.startsWith(QByteArrayView("\x00\x00\xFE\xFF", 4))
        || bytes.startsWith(QByteArrayView("\xFF\xFE\x00\x00", 4)))
        return QStringLiteral("UTF-32");
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return QStringLiteral("UTF-16");
    return QString();
}

// The beginning of a file too big to preview whole, ending with a whole line
// (a whole code unit of a UTF-16 or UTF-32 file), so that its last
// character is not cut.
QByteArray previewPart(QByteArray bytes)
{
    const QString marked = markedEncoding(bytes);
    if (marked == QStringLiteral("UTF-16"))
        bytes.chop(bytes.size() % 2);
    else if (marked == QStringLiteral("UTF-32"))
        bytes.chop(bytes.size() % 4);
    else if (const qsizetype lineEnd = bytes.lastIndexOf('\n'); lineEnd >= 0)
        bytes.truncate(lineEnd + 1);
    return bytes;
}

// "1 řádek", "3 řádky", "20 řádků".
QString rowsText(qsizetype rows)
{
    if (rows == 1)
        return QStringLiteral("1 řádek");
    if (rows >= 2 && rows <= 4)
        return QStringLiteral("%1 řádky").arg(rows);
    return QStringLiteral("%1 řádků").arg(rows);
}

// "1 pole", "3 pole", "5 polí".
QString fieldsText(qsizetype fields)
{
    return fields >= 1 && fields <= 4 ? QStringLiteral("%1 pole").arg(fields) : QStringLiteral("%1 polí").arg(fields);
}


} // namespace

ImportDialog::ImportDialog(const QString &fileName, QByteArray bytes, bool partial, int position, int total,
                           QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::ImportDialog>())
    , m_bytes(std::move(bytes))
    , m_partial(partial)
{
    m_ui->setupUi(this);
    m_ui->fileLabel->setText(total > 1 ? QStringLiteral("Soubor %1 (%2/%3)").arg(fileName).arg(position).arg(total)
                                       : QStringLiteral("Soubor %1").arg(fileName));
    QFont bold = m_ui->fileLabel->font();
    bold.setBold(true);
    m_ui->fileLabel->setFont(bold);

    for (char separator : separators)
        m_ui->separatorBox->addItem(separatorText(separator), QChar::fromLatin1(separator));
    m_ui->decimalBox->addItem(QStringLiteral("čárka nebo tečka"), int(DecimalMark::CommaOrPoint));
    m_ui->decimalBox->addItem(QStringLiteral("jen tečka"), int(DecimalMark::Point));
    m_ui->decimalBox->setToolTip(QStringLiteral("„čárka nebo tečka“ čte 1,5 i 1.5, „jen tečka“ jen 1.5 "
                                                "(soubory s čárkou mezi poli)."));
    const QString marked = markedEncoding(m_bytes);
    if (marked.isEmpty()) {
        m_ui->encodingBox->addItem(QStringLiteral("UTF-8"), int(TextEncoding::Utf8));
        m_ui->encodingBox->addItem(QStringLiteral("Windows-1250"), int(TextEncoding::Windows1250));
    } else {
        // The mark decides; there is nothing to choose.
        m_ui->encodingBox->addItem(marked, int(TextEncoding::Utf8));
        m_ui->encodingBox->setEnabled(false);
        m_ui->encodingBox->setToolTip(QStringLiteral("Kódování určuje značka na začátku souboru."));
    }

    m_ui->preview->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_ui->preview->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_ui->preview->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    QPushButton *ok = m_ui->buttonBox->button(QDialogButtonBox::Ok);
    ok->setText(QStringLiteral("&Importovat"));
    QPushButton *cancel = m_ui->buttonBox->button(QDialogButtonBox::Cancel);
    if (total > 1) {
        cancel->setText(QStringLiteral("Př&eskočit soubor"));
        cancel->setIcon(style()->standardIcon(QStyle::SP_MediaSkipForward));
        cancel->setToolTip(QStringLiteral("Tento soubor se nepřidá; ostatní soubory importu ano."));
        QPushButton *stop =
            m_ui->buttonBox->addButton(QStringLiteral("&Zrušit import"), QDialogButtonBox::DestructiveRole);
        stop->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
        stop->setObjectName(QStringLiteral("cancelAllButton"));
        stop->setToolTip(QStringLiteral("Nepřidá se žádný ze souborů importu."));
        connect(stop, &QPushButton::clicked, this, [this] { done(cancelAllResult); });
    }
    ok->setDefault(true);

    connect(m_ui->separatorBox, &QComboBox::currentIndexChanged, this, [this] {
        m_chosen.separator = m_ui->separatorBox->currentData().toChar().toLatin1();
        readPreview();
    });
    connect(m_ui->decimalBox, &QComboBox::currentIndexChanged, this, [this] {
        m_chosen.decimal = DecimalMark(m_ui->decimalBox->currentData().toInt());
        readPreview();
    });
    connect(m_ui->encodingBox, &QComboBox::currentIndexChanged, this, [this] {
        m_chosen.encoding = TextEncoding(m_ui->encodingBox->currentData().toInt());
        readPreview();
    });
    connect(m_ui->headerBox, &QCheckBox::toggled, this, [this](bool header) {
        m_chosen.header = header;
        readPreview();
    });
    connect(m_ui->suggestionButton, &QPushButton::clicked, this, [this] {
        if (m_suggested)
            m_ui->separatorBox->setCurrentIndex(m_ui->separatorBox->findData(QChar::fromLatin1(m_suggested)));
    });

    readPreview();
}

ImportDialog::~ImportDialog() = default;

CsvReadOptions ImportDialog::options() const
{
    CsvReadOptions options;
    options.separator = m_preview.dialect.separator;
    options.decimal = m_preview.dialect.decimal;
    options.header = m_preview.dialect.header;
    // Only the beginning of the file was seen: the whole file decides its encoding,
    // unless the user chose one.
    if (!m_partial || m_chosen.encoding)
        options.encoding = m_preview.dialect.encoding;
    return options;
}

ImportDialog::Choice ImportDialog::choiceOf(int result)
{
    switch (result) {
    case QDialog::Accepted:
        return Choice::Import;
    case cancelAllResult:
        return Choice::CancelAll;
    default:
        return Choice::Skip;
    }
}

void ImportDialog::readPreview()
{
    CsvReadOptions options = m_chosen;
    options.maxRows = previewRows;
    QString why;
    if (!readCsvTable(m_bytes, options, &m_preview, &why)) {
        m_preview = CsvTable();
        m_ui->summaryLabel->setText(why);
        m_ui->preview->clear();
        m_ui->preview->setRowCount(0);
        m_ui->preview->setColumnCount(0);
        m_ui->suggestionFrame->hide();
        return;
    }
    m_suggested = m_preview.width() == 1 ? ::suggestedSeparator(m_bytes, m_preview.dialect) : 0;
    showDialect();
    showSuggestion();
    showTable();
    showSummary();
}

void ImportDialog::fitToPreview()
{
    QTableWidget *grid = m_ui->preview;
    const QAbstractItemView *cells = grid; // where the column's size hint is public
    int wanted = grid->verticalHeader()->sizeHint().width() + 2 * grid->frameWidth()
                 + grid->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < grid->columnCount(); ++c)
        wanted += std::max(grid->horizontalHeader()->sectionSizeHint(c), cells->sizeHintForColumn(c));
    const QMargins margins = layout()->contentsMargins();
    wanted += margins.left() + margins.right();
    const QScreen *shownOn = parentWidget() ? parentWidget()->screen() : screen();
    const int room = shownOn ? shownOn->availableGeometry().width() * 9 / 10 : wanted;
    resize(std::clamp(wanted, width(), std::max(width(), room)), height());
}

void ImportDialog::showDialect()
{
    const CsvDialect &dialect = m_preview.dialect;
    const QSignalBlocker separatorBlocker(m_ui->separatorBox);
    const QSignalBlocker decimalBlocker(m_ui->decimalBox);
    const QSignalBlocker encodingBlocker(m_ui->encodingBox);
    const QSignalBlocker headerBlocker(m_ui->headerBox);
    m_ui->separatorBox->setCurrentIndex(m_ui->separatorBox->findData(QChar::fromLatin1(dialect.separator)));
    m_ui->decimalBox->setCurrentIndex(m_ui->decimalBox->findData(int(dialect.decimal)));
    if (m_ui->encodingBox->isEnabled())
        m_ui->encodingBox->setCurrentIndex(m_ui->encodingBox->findData(int(dialect.encoding)));
    m_ui->headerBox->setChecked(dialect.header);
}

void ImportDialog::showSuggestion()
{
    m_ui->suggestionFrame->setVisible(m_suggested != 0);
    if (!m_suggested)
        return;
    const char separator = m_preview.dialect.separator;
    m_ui->suggestionLabel->setText(
        QStringLiteral("Soubor se čte jako jediný sloupec: %1 mezi poli. Oddělovačem je nejspíš %2.")
            .arg(noSeparator(separator), separatorName(m_suggested)));
    m_ui->suggestionButton->setText(useSeparator(m_suggested));
}

void ImportDialog::showTable()
{
    QTableWidget *grid = m_ui->preview;
    grid->clear();
    const int columns = m_preview.width();
    const int rows = int(m_preview.rows());
    grid->setColumnCount(columns);
    grid->setRowCount(rows);
    for (int c = 0; c < columns; ++c) {
        const bool text = m_preview.kinds[size_t(c)] == ColumnKind::Text;
        const QString kind = text ? QStringLiteral("text") : QStringLiteral("číslo");
        auto *header = new QTableWidgetItem(QStringLiteral("%1\n(%2)").arg(m_preview.headers.at(c), kind));
        header->setToolTip(text ? QStringLiteral("Sloupec textů (například pohlaví nebo označení)")
                                : QStringLiteral("Sloupec čísel"));
        grid->setHorizontalHeaderItem(c, header);
    }
    QHash<qint64, QString> unread;
    for (const UnreadField &field : m_preview.unread)
        unread.insert(qint64(field.row) << 32 | quint32(field.column), field.text);
    for (int r = 0; r < rows; ++r) {
        const double *values = m_preview.values.ptr<double>(r);
        for (int c = 0; c < columns; ++c) {
            auto *cell = new QTableWidgetItem;
            const auto texts = m_preview.texts.find(c);
            if (texts != m_preview.texts.end()) {
                cell->setText(texts->second.text(r));
            } else if (!std::isnan(values[c])) {
                cell->setData(Qt::DisplayRole, values[c]);
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            if (cell->text().isEmpty()) {
                cell->setBackground(missingTint);
                const auto held = unread.constFind(qint64(r) << 32 | quint32(c));
                cell->setToolTip(
                    held == unread.constEnd()
                        ? QStringLiteral("Hodnota chybí.")
                        : QStringLiteral("V souboru stálo „%1“, což není číslo; hodnota chybí.").arg(*held));
            }
            grid->setItem(r, c, cell);
        }
    }
    // The rows are numbered as the table numbers them; a row that did not fit
    // says where it stands in the file.
    for (const QList<RaggedRow> *ragged : {&m_preview.shortRows, &m_preview.longRows})
        for (const RaggedRow &row : *ragged) {
            auto *number = new QTableWidgetItem(QStringLiteral("%1 !").arg(row.row + 1));
            number->setToolTip(QStringLiteral("Řádek souboru %1: %2 místo %3.")
                                   .arg(row.line)
                                   .arg(fieldsText(row.fields))
                                   .arg(columns));
            grid->setVerticalHeaderItem(int(row.row), number);
        }
}

void ImportDialog::showSummary()
{
    QStringList said;
    if (m_preview.width() == 0)
        said.append(QStringLiteral("Soubor je prázdný."));
    else if (m_preview.rows() < previewRows)
        said.append(QStringLiteral("Soubor má %1 dat, všechny jsou v náhledu.").arg(rowsText(m_preview.rows())));
    else
        said.append(QStringLiteral("Náhled ukazuje prvních %1 řádků dat.").arg(previewRows));
    if (!m_preview.unread.isEmpty())
        said.append(
            QStringLiteral("Polí bez čísla ve sloupcích čísel: %1 (hodnota chybí).").arg(m_preview.unread.size()));
    if (!m_preview.shortRows.isEmpty())
        said.append(QStringLiteral("Kratší řádky souboru: %1 (poslední hodnoty chybí).")
                        .arg(raggedRowLines(m_preview.shortRows, 5)));
    if (!m_preview.longRows.isEmpty())
        said.append(QStringLiteral("Delší řádky souboru: %1 (pole navíc se nenačtou).")
                        .arg(raggedRowLines(m_preview.longRows, 5)));
    m_ui->summaryLabel->setText(said.join(u' '));
}

ImportDialog::Choice ImportDialog::ask(QWidget *parent, const QString &path, int position, int total,
                                       CsvReadOptions *options)
{
    ++asked;
    askedFileName = QFileInfo(path).fileName();
    *options = CsvReadOptions();
    if (queuedAnswers.isEmpty()) {
        if (acceptDetected)
            return Choice::Import;
        if (answersRequired)
            qFatal("Nečekaný náhled importu: %s", qPrintable(askedFileName));
    }
    // A pipe or a device would give its bytes to the preview and none to the
    // import: it is imported as it comes.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential())
        return Choice::Import;
    const bool partial = file.size() > previewBytes;
    QByteArray bytes = file.read(previewBytes);
    if (file.error() != QFileDevice::NoError)
        return Choice::Import;
    if (partial)
        bytes = previewPart(std::move(bytes));

    ImportDialog dialog(askedFileName, std::move(bytes), partial, position, total, parent);
    dialog.m_ui->fileLabel->setToolTip(path);
    dialog.fitToPreview();
    const Choice choice = queuedAnswers.isEmpty() ? choiceOf(dialog.exec()) : queuedAnswers.takeFirst()(dialog);
    if (choice == Choice::Import)
        *options = dialog.options();
    return choice;
}

void ImportDialog::setNextAnswer(const Answer &answer)
{
    queuedAnswers.append(answer);
}

void ImportDialog::acceptDetectedWhenUnqueued(bool accept)
{
    acceptDetected = accept;
}

void ImportDialog::requireQueuedAnswers(bool required)
{
    answersRequired = required;
}

bool ImportDialog::hasQueuedAnswer()
{
    return !queuedAnswers.isEmpty();
}

void ImportDialog::clearQueuedAnswers()
{
    queuedAnswers.clear();
}

int ImportDialog::count()
{
    return asked;
}

QString ImportDialog::lastFileName()
{
    return askedFileName;
}

QString raggedRowLines(const QList<RaggedRow> &rows, int shown)
{
    QStringList lines;
    for (qsizetype i = 0; i < rows.size() && i < shown; ++i)
        lines.append(QString::number(rows[i].line));
    if (rows.size() > shown)
        lines.append(QStringLiteral("… (celkem %1)").arg(rows.size()));
    return lines.join(QStringLiteral(", "));
}
