#include "TDataWizard.h"

#include "MessageBox.h"
#include "MethodCatalog.h"
#include "MethodReferenceDialog.h"
#include "TTableModel.h"
#include "ui_TDataWizard.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSignalMapper>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {
// The preview shows at most this many rows of the table.
constexpr int previewRows = 9;

// The list of a text column offers no input, only this.
QString textColumnChoice()
{
    return QStringLiteral("(text, nelze použít)");
}

// Text without diacritics and case.
QString folded(const QString &text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString plain;
    for (const QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing)
            plain += c;
    return plain.toCaseFolded();
}

// A name as a person reads it: without a unit in parentheses or brackets,
// diacritics and case.
QString plainName(const QString &name)
{
    static const QRegularExpression unit(QStringLiteral("\\([^()]*\\)|\\[[^\\[\\]]*\\]"));
    return folded(QString(name).remove(unit)).simplified();
}

// The distinct words of a title, without diacritics and case: its runs of
// letters and digits, a unit in parentheses or brackets among them.
QStringList titleWords(const QString &title)
{
    QStringList words;
    QString word;
    const QString text = folded(title) + u' ';
    for (const QChar c : text) {
        if (c.isLetterOrNumber()) {
            word += c;
            continue;
        }
        if (!word.isEmpty() && !words.contains(word))
            words.append(word);
        word.clear();
    }
    return words;
}

// Czech changes the ending of a word, not its stem: "výška" and "výšky",
// "tricepsem" and "triceps" are one word. Two words are one when they are
// equal, or when they agree in their first five letters, or, the shorter
// having five letters or less, in all its letters but the last (at least
// four): enough to tell "délka" from "delta", though not "paže" from "paží".
bool sameWord(const QString &a, const QString &b)
{
    if (a == b)
        return true;
    const qsizetype compared = std::min<qsizetype>(5, std::min(a.size(), b.size()) - 1);
    return compared >= 4 && QStringView(a).left(compared) == QStringView(b).left(compared);
}

// How many words of `words` are one with some word of `other`.
qsizetype sharedWords(const QStringList &words, const QStringList &other)
{
    return std::count_if(words.begin(), words.end(), [&other](const QString &word) {
        return std::any_of(other.begin(), other.end(), [&word](const QString &o) { return sameWord(word, o); });
    });
}

QSettings programSettings()
{
    return QSettings(QStringLiteral("Veritek"), QStringLiteral("Kostimer"));
}

// "1 sloupec", "3 sloupce", "5 sloupců".
QString counted(int n, const char *one, const char *few, const char *many)
{
    const char *word = n == 1 ? one : n >= 2 && n <= 4 ? few : many;
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(word));
}

// „A“, „A“ a „B“, „A“, „B“ a „C“.
QString quotedList(const QStringList &names)
{
    QStringList quoted;
    for (const QString &name : names)
        quoted.append(QStringLiteral("„%1“").arg(name));
    if (quoted.size() < 2)
        return quoted.join(QString());
    const QString last = quoted.takeLast();
    return quoted.join(QStringLiteral(", ")) + QStringLiteral(" a ") + last;
}
} // namespace

TDataWizard::TDataWizard(QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::TDataWizard>())
{
    m_ui->setupUi(this);
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, &TDataWizard::aboutToAccept);
    QPushButton *about = m_ui->buttonBox->addButton(QStringLiteral("Popis metody"), QDialogButtonBox::HelpRole);
    about->setObjectName(QStringLiteral("methodReferenceButton"));
    about->setEnabled(false);
    connect(about, &QPushButton::clicked, this, [this] {
        auto *reference = new MethodReferenceDialog(this);
        reference->setAttribute(Qt::WA_DeleteOnClose);
        reference->showMethod(m_methodId);
        reference->show();
    });
}

TDataWizard::~TDataWizard() = default;

void TDataWizard::setSourceTable(const QAbstractItemModel *table)
{
    m_sourceTable = table;
}

void TDataWizard::setFunction(int id)
{
    setWindowTitle(QStringLiteral("Průvodce funkcí "));
    if (kindOf(id) == Custom || !isRegisteredMethod(id))
        return;
    const MethodRecord &record = MethodCatalog[id];
    m_methodId = id;
    if (QWidget *about = findChild<QWidget *>(QStringLiteral("methodReferenceButton")))
        about->setEnabled(true);
    setInputs(record.title, record.columns, record.inputCount);
}

void TDataWizard::setInputs(const QString &title, const QStringList &names, int count)
{
    m_inputCount = count;
    m_inputNames = names;
    m_methodTitle = title;
    setWindowTitle(QStringLiteral("Průvodce funkcí ") + title);
}

int TDataWizard::exec()
{
    buildGrid();
    return QDialog::exec();
}

void TDataWizard::buildGrid()
{
    QTableWidget *grid = m_ui->tableWidget;
    const int columns = m_sourceTable ? qMax(0, m_sourceTable->columnCount() - 1) : 0;
    const int tableRows = m_sourceTable ? m_sourceTable->rowCount() : 0;
    grid->clear();
    grid->setColumnCount(columns);
    grid->setRowCount(1 + qMin(tableRows, previewRows));

    const auto *table = qobject_cast<const TTableModel *>(m_sourceTable);
    m_textColumns.assign(size_t(columns), false);
    for (int c = 0; c < columns; ++c)
        m_textColumns[size_t(c)] = table && table->isTextColumn(c);

    delete m_mapper;
    m_mapper = new QSignalMapper(this);
    QStyledItemDelegate delegate; // the table view's own text for a number
    const QStringList offered = m_inputNames.mid(0, m_inputCount);
    for (int c = 0; c < columns; ++c) {
        grid->setHorizontalHeaderItem(
            c, new QTableWidgetItem(m_sourceTable->headerData(c + 1, Qt::Horizontal, Qt::DisplayRole).toString()));
        auto *list = new QComboBox(grid);
        if (isTextColumn(c)) {
            // Texts are no numbers for a method to compute with.
            list->addItem(textColumnChoice());
            list->setEnabled(false);
            list->setToolTip(QStringLiteral("Sloupec textů nemůže být vstupem metody; lze ho přenést do výsledku."));
        } else {
            list->addItem(QString());
            list->addItems(offered);
            connect(list, &QComboBox::currentTextChanged, list, &QComboBox::setToolTip);
        }
        // Narrow in the row, whole in the list that drops down and in the
        // tooltip, so that many inputs fit side by side.
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        list->setMinimumContentsLength(14);
        list->view()->setMinimumWidth(list->view()->sizeHintForColumn(0) + 2 * list->view()->frameWidth());
        grid->setCellWidget(0, c, list);
        connect(list, &QComboBox::currentIndexChanged, m_mapper, qOverload<>(&QSignalMapper::map));
        m_mapper->setMapping(list, c);
        for (int k = 1; k < grid->rowCount(); ++k) {
            const QVariant value = m_sourceTable->data(m_sourceTable->index(k - 1, c + 1), Qt::DisplayRole);
            auto *cell = new QTableWidgetItem(delegate.displayText(value, locale()));
            cell->setFlags(Qt::ItemIsEnabled);
            // A field that held no number shows so here as in the table.
            const QModelIndex source = m_sourceTable->index(k - 1, c + 1);
            cell->setData(Qt::BackgroundRole, m_sourceTable->data(source, Qt::BackgroundRole));
            cell->setData(Qt::ToolTipRole, m_sourceTable->data(source, Qt::ToolTipRole));
            grid->setItem(k, c, cell);
        }
    }
    buildCarriedList();
    chooseColumns();
    connect(m_mapper, &QSignalMapper::mappedInt, this, &TDataWizard::comboBoxChanged);
    updateCarriedList();
    grid->resizeColumnsToContents();
    grid->resizeRowsToContents();

    const int numberColumns = int(std::count(m_textColumns.begin(), m_textColumns.end(), false));
    if (numberColumns < m_inputCount) {
        const QString has = numberColumns == columns
                                ? counted(columns, "sloupec", "sloupce", "sloupců")
                                : counted(numberColumns, "sloupec s čísly", "sloupce s čísly", "sloupců s čísly");
        m_ui->guide->setText(QStringLiteral("Tabulka má jen %1, metoda „%2“ jich potřebuje %3: %4.")
                                 .arg(has, m_methodTitle)
                                 .arg(m_inputCount)
                                 .arg(offered.join(QStringLiteral(", "))));
        m_ui->guide->setStyleSheet(QStringLiteral("color: #b00000;"));
    }
    fitToGrid();
}

void TDataWizard::buildCarriedList()
{
    QListWidget *list = m_ui->carriedList;
    list->clear();
    const int columns = m_ui->tableWidget->columnCount();
    // A user function's result is a table of its own: nothing is carried into it.
    const bool offered = m_methodId >= 0 && columns > 0;
    m_ui->carriedLabel->setVisible(offered);
    list->setVisible(offered);
    if (!offered)
        return;
    for (int c = 0; c < columns; ++c) {
        auto *item = new QListWidgetItem(titleOf(c), list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(isTextColumn(c) ? Qt::Checked : Qt::Unchecked);
    }
}

void TDataWizard::updateCarriedList()
{
    QListWidget *list = m_ui->carriedList;
    for (int c = 0; c < list->count(); ++c) {
        QListWidgetItem *item = list->item(c);
        const bool input = choiceOf(c) > 0;
        item->setFlags(input ? Qt::ItemIsUserCheckable : Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setToolTip(input ? QStringLiteral("Vstup metody: ve výsledku je i bez přenesení.") : QString());
    }
}

bool TDataWizard::namesMatch(const QString &name, const QString &header, bool exactly)
{
    if (exactly)
        return name == header;
    const QString plain = plainName(name);
    return !plain.isEmpty() && plain == plainName(header);
}

double TDataWizard::titleSimilarity(const QString &a, const QString &b)
{
    const QStringList first = titleWords(a);
    const QStringList second = titleWords(b);
    // Counted from both sides: "výška" and "výšky" in one title are one word
    // of the other's "výška".
    const qsizetype shared = std::min(sharedWords(first, second), sharedWords(second, first));
    const qsizetype all = first.size() + second.size() - shared;
    return all > 0 ? double(shared) / double(all) : 0.0;
}

QString TDataWizard::rememberedMappingKey(int id)
{
    return QStringLiteral("columnMapping/%1").arg(id);
}

void TDataWizard::chooseColumns()
{
    QTableWidget *grid = m_ui->tableWidget;
    const int columns = grid->columnCount();
    const int inputs = int(qMin<qsizetype>(m_inputCount, m_inputNames.size()));
    // A text column is never free; a column or input the words could not
    // decide between is settled, without a choice.
    std::vector<bool> taken(m_textColumns);
    std::vector<bool> placed(size_t(qMax(0, inputs)), false);
    const auto place = [&](int input, int c) {
        qobject_cast<QComboBox *>(grid->cellWidget(0, c))->setCurrentIndex(input + 1);
        taken[size_t(c)] = placed[size_t(input)] = true;
    };

    // The columns of the names chosen the last time, where the table has them.
    if (m_methodId >= 0) {
        const QStringList remembered = programSettings().value(rememberedMappingKey(m_methodId)).toStringList();
        for (int input = 0; input < inputs && input < remembered.size(); ++input)
            for (int c = 0; c < columns && !placed[size_t(input)]; ++c)
                if (!taken[size_t(c)] && !remembered.at(input).isEmpty() && titleOf(c) == remembered.at(input))
                    place(input, c);
    }

    // Exact titles first, so that "Výška" and "výška (m)" each find their own.
    for (bool exactly : {true, false})
        for (int input = 0; input < inputs; ++input)
            for (int c = 0; c < columns && !placed[size_t(input)]; ++c)
                if (!taken[size_t(c)] && namesMatch(m_inputNames.at(input), titleOf(c), exactly))
                    place(input, c);

    // Then by the words shared, the most alike pairs first. An input whose
    // best columns tie, or a column that is the best of two inputs alike, is
    // a guess: it is left to the user.
    std::vector<std::vector<double>> similarity(size_t(qMax(0, inputs)), std::vector<double>(size_t(columns), 0.0));
    for (int input = 0; input < inputs; ++input)
        for (int c = 0; c < columns; ++c)
            similarity[size_t(input)][size_t(c)] = titleSimilarity(m_inputNames.at(input), titleOf(c));
    for (;;) {
        double best = 0;
        for (int input = 0; input < inputs; ++input)
            for (int c = 0; c < columns; ++c)
                if (!placed[size_t(input)] && !taken[size_t(c)])
                    best = std::max(best, similarity[size_t(input)][size_t(c)]);
        if (best <= 0)
            break;
        std::vector<std::pair<int, int>> pairs;
        for (int input = 0; input < inputs; ++input)
            for (int c = 0; c < columns; ++c)
                if (!placed[size_t(input)] && !taken[size_t(c)] && similarity[size_t(input)][size_t(c)] == best)
                    pairs.emplace_back(input, c);
        for (const auto &[input, c] : pairs) {
            const auto tiedInput = [i = input, k = c](const std::pair<int, int> &other) {
                return other.first == i && other.second != k;
            };
            const auto tiedColumn = [i = input, k = c](const std::pair<int, int> &other) {
                return other.second == k && other.first != i;
            };
            const bool inputTies = std::any_of(pairs.begin(), pairs.end(), tiedInput);
            const bool columnTies = std::any_of(pairs.begin(), pairs.end(), tiedColumn);
            if (!inputTies && !columnTies)
                place(input, c);
            placed[size_t(input)] = placed[size_t(input)] || inputTies;
            taken[size_t(c)] = taken[size_t(c)] || columnTies;
        }
    }
}

void TDataWizard::fitToGrid()
{
    // Wide enough that the row of choices needs no scrolling, as far as the
    // screen allows.
    QTableWidget *grid = m_ui->tableWidget;
    int width = grid->verticalHeader()->width() + 2 * grid->frameWidth();
    for (int c = 0; c < grid->columnCount(); ++c)
        width += grid->columnWidth(c);
    width += grid->verticalScrollBar()->sizeHint().width();
    const QMargins margins = m_ui->verticalLayout->contentsMargins();
    width += margins.left() + margins.right();
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int available = screen ? screen->availableGeometry().width() * 9 / 10 : width;
    resize(qMax(this->width(), qMin(width, available)), height());
}

bool TDataWizard::isTextColumn(int column) const
{
    return column >= 0 && size_t(column) < m_textColumns.size() && m_textColumns[size_t(column)];
}

QString TDataWizard::titleOf(int column) const
{
    const QTableWidgetItem *header = m_ui->tableWidget->horizontalHeaderItem(column);
    return header ? header->text() : QString();
}

int TDataWizard::choiceOf(int column) const
{
    if (isTextColumn(column))
        return 0;
    auto *list = qobject_cast<QComboBox *>(m_ui->tableWidget->cellWidget(0, column));
    return list ? list->currentIndex() : 0;
}

void TDataWizard::comboBoxChanged(int column)
{
    const int chosen = choiceOf(column);
    // An input belongs to one column: choosing it again takes it from the other.
    for (int c = 0; c < m_ui->tableWidget->columnCount() && chosen > 0; ++c) {
        if (c != column && choiceOf(c) == chosen)
            qobject_cast<QComboBox *>(m_ui->tableWidget->cellWidget(0, c))->setCurrentIndex(0);
    }
    updateCarriedList();
}

void TDataWizard::aboutToAccept()
{
    const std::vector<int> columns = selectedColumns();
    QStringList missing;
    for (size_t input = 0; input < columns.size(); ++input)
        if (columns[input] < 0)
            missing.append(m_inputNames.value(qsizetype(input), QStringLiteral("%1.").arg(input + 1)));
    if (missing.isEmpty()) {
        rememberMapping();
        accept();
        return;
    }
    MessageBox::warning(this, QStringLiteral("Varování"),
                        missing.size() == 1
                            ? QStringLiteral("Vstup %1 nemá vybraný sloupec.").arg(quotedList(missing))
                            : QStringLiteral("Vstupy %1 nemají vybraný sloupec.").arg(quotedList(missing)));
}

void TDataWizard::rememberMapping() const
{
    // User functions are not kept from one run to the next; their ids are.
    if (m_methodId < 0)
        return;
    QStringList titles;
    for (int column : selectedColumns())
        titles.append(titleOf(column));
    programSettings().setValue(rememberedMappingKey(m_methodId), titles);
}

std::vector<int> TDataWizard::selectedColumns() const
{
    std::vector<int> columns(size_t(qMax(0, m_inputCount)), -1);
    for (int c = 0; c < m_ui->tableWidget->columnCount(); ++c) {
        const int chosen = choiceOf(c);
        if (chosen >= 1 && chosen <= m_inputCount)
            columns[size_t(chosen - 1)] = c;
    }
    return columns;
}

std::vector<int> TDataWizard::carriedColumns() const
{
    std::vector<int> columns;
    const QListWidget *list = m_ui->carriedList;
    for (int c = 0; c < list->count(); ++c)
        if (list->item(c)->checkState() == Qt::Checked && choiceOf(c) <= 0)
            columns.push_back(c);
    return columns;
}
