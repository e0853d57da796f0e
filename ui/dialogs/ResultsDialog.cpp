#include "ui/dialogs/ResultsDialog.h"

#include "race/RaceState.h"
#include "race/ResultsTable.h"
#include "shell/LanguageState.h"
#include "shell/StringIds.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The room of the results picture: a picture of another size is stretched into it.
constexpr int PictureWidth = 160;
constexpr int PictureHeight = 200;

// The row's player number (1 ... 10) is kept in the first column under this role.
constexpr int PlayerRole = Qt::UserRole;

// The decimal separator of the user's locale, as it stands in the text of 0.1.
QChar localeDecimalSeparator()
{
    const QString text = QLocale::system().toString(0.1);
    return text.size() >= 2 ? text[1] : QChar(u'.');
}

// A row of the list. Rows sort by the text of the sort column in the user's locale's order, so
// names with Czech letters stand where a Czech reader looks for them.
class ResultItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;

    bool operator<(const QTreeWidgetItem& other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        return QString::localeAwareCompare(text(column), other.text(column)) < 0;
    }
};

template <typename Widget>
Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromUtf8(name));
    return widget;
}

}  // namespace

ResultsDialog::ResultsDialog(RaceState& state, ResultsDialogHost& host, const QString& programDirectory, QWidget* parent)
    : QDialog(parent), state_(state), host_(host)
{
    Form_Load(programDirectory);
}

void ResultsDialog::Form_Load(const QString& programDirectory)
{
    setObjectName(QStringLiteral("frmVýsledky"));
    setWindowIcon(parentWidget() ? parentWidget()->windowIcon() : QIcon(QStringLiteral(":/trasovky.xpm")));

    lstVysledky_ = named(new QTreeWidget(this), "lstVýsledky");
    lstVysledky_->setColumnCount(ResultColumnCount);
    lstVysledky_->setRootIsDecorated(false);
    lstVysledky_->setItemsExpandable(false);
    lstVysledky_->setUniformRowHeights(true);
    lstVysledky_->setAllColumnsShowFocus(true);
    lstVysledky_->setSelectionMode(QAbstractItemView::SingleSelection);
    // The rows' texts cannot be edited in place.
    lstVysledky_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The columns line up by spaces, which needs a font whose spaces and digits are equally wide;
    // the headers keep the dialog's own font.
    lstVysledky_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QHeaderView* header = lstVysledky_->header();
    header->setFont(font());
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setSortIndicatorShown(false);
    lstVysledky_->setMinimumSize(520, PictureHeight);

    fraZobrazeni_ = named(new QGroupBox(this), "fraZobrazení");
    auto* modes = new QHBoxLayout(fraZobrazeni_);
    for (int index = 0; index < 2; ++index) {
        QRadioButton* option = named(new QRadioButton(fraZobrazeni_), "optZobrazovat");
        option->setProperty("Index", index);
        modes->addWidget(option);
        optZobrazovat_[static_cast<std::size_t>(index)] = option;
        connect(option, &QRadioButton::clicked, this, [this, index] { optZobrazovat_Click(index); });
    }
    modes->addStretch(1);
    optZobrazovat_[Absolute]->setChecked(true);

    imgResults_ = named(new QLabel(this), "imgResults");
    imgResults_->setFixedSize(PictureWidth, PictureHeight);
    imgResults_->setAlignment(Qt::AlignCenter);

    cmdNovaHra_ = named(new QPushButton(this), "cmdNováHra");
    cmdSkryt_ = named(new QPushButton(this), "cmdSkrýt");
    cmdKonec_ = named(new QPushButton(this), "cmdKonec");
    cmdCopy_ = named(new QPushButton(this), "cmdCopy");

    // The list on the left, the picture and the buttons that lead on at the right; below the
    // list the display mode and the copy to the clipboard.
    auto* side = new QVBoxLayout;
    side->addWidget(imgResults_);
    side->addStretch(1);
    for (QPushButton* button : {cmdNovaHra_, cmdSkryt_, cmdKonec_})
        side->addWidget(button);
    auto* below = new QHBoxLayout;
    below->addWidget(fraZobrazeni_, 1);
    below->addWidget(cmdCopy_, 0, Qt::AlignBottom);
    auto* results = new QVBoxLayout;
    results->addWidget(lstVysledky_, 1);
    results->addLayout(below);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(results, 1);
    layout->addLayout(side);

    connect(header, &QHeaderView::sectionClicked, this, &ResultsDialog::lstVysledky_ColumnClick);
    connect(cmdNovaHra_, &QPushButton::clicked, this, &ResultsDialog::cmdNovaHra_Click);
    connect(cmdSkryt_, &QPushButton::clicked, this, &ResultsDialog::cmdSkryt_Click);
    connect(cmdKonec_, &QPushButton::clicked, this, &ResultsDialog::cmdKonec_Click);
    connect(cmdCopy_, &QPushButton::clicked, this, &ResultsDialog::cmdCopy_Click);

    loadPicture(programDirectory);
    ApplyLanguage();
}

void ResultsDialog::loadPicture(const QString& programDirectory)
{
    for (const char* name : {"vysledky.bmp", "vysledky.jpg", "vysledky.gif"}) {
        const QString path = QDir(programDirectory).filePath(QString::fromLatin1(name));
        if (!QFileInfo(path).isFile())
            continue;
        // A damaged or absurdly large picture is passed over; the reader refuses to allocate
        // more than its limit.
        QImageReader reader(path);
        const QImage image = reader.read();
        if (image.isNull())
            continue;
        imgResults_->setScaledContents(true);
        imgResults_->setPixmap(QPixmap::fromImage(image));
        return;
    }
    // No picture of the results: the game's icon at its own size, in the middle of the room.
    QIcon icon = parentWidget() ? parentWidget()->windowIcon() : QIcon();
    if (icon.isNull())
        icon = QIcon(QStringLiteral(":/trasovky.xpm"));
    imgResults_->setScaledContents(false);
    imgResults_->setPixmap(icon.pixmap(QSize(32, 32)));
}

void ResultsDialog::ApplyLanguage()
{
    const auto text = [this](qint32 id) { return LoadText(state_, id); };
    setWindowTitle(text(StringId::ResultsCaption));
    fraZobrazeni_->setTitle(text(StringId::ResultsDisplayFrame));
    for (int index = 0; index < 2; ++index)
        optZobrazovat_[static_cast<std::size_t>(index)]->setText(text(StringId::FirstResultsMode + index));
    cmdNovaHra_->setText(text(StringId::NewGameButton));
    cmdSkryt_->setText(text(StringId::HideButton));
    cmdKonec_->setText(text(StringId::ExitButton));
    cmdCopy_->setText(text(StringId::CopyButton));
    lstVysledky_->setHeaderLabels(resultHeaders(state_));
    // Headers of another length want other widths.
    sizeColumns();
}

void ResultsDialog::fillResults()
{
    lstVysledky_->clear();
    for (const ResultRow& row : resultRows(state_, localeDecimalSeparator())) {
        auto* item = new ResultItem;
        for (int column = 0; column < ResultColumnCount; ++column)
            item->setText(column, row.cells[static_cast<std::size_t>(column)]);
        item->setData(PlaceColumn, PlayerRole, row.player);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        lstVysledky_->addTopLevelItem(item);
    }
    // The rows as the display mode shows them; a new list starts with the absolute moves only if
    // the user left it so.
    if (mode_ == RelativeToWinner)
        optZobrazovat_Click(RelativeToWinner);
    else
        AlignResultColumns();
    if (sorted_)
        lstVysledky_->sortItems(sortColumn_, sortOrder_);
}

void ResultsDialog::showResults()
{
    if (isVisible())
        return;
    exec();
}

void ResultsDialog::AlignResultColumns()
{
    const QChar separator = localeDecimalSeparator();
    for (const int column : {MovesColumn, TopSpeedColumn}) {
        QStringList cells;
        for (int i = 0; i < lstVysledky_->topLevelItemCount(); ++i)
            cells << lstVysledky_->topLevelItem(i)->text(column);
        const QStringList aligned = alignAtSeparator(cells, separator);
        for (int i = 0; i < lstVysledky_->topLevelItemCount(); ++i)
            lstVysledky_->topLevelItem(i)->setText(column, aligned[i]);
    }
    sizeColumns();
}

void ResultsDialog::sizeColumns()
{
    const QFontMetrics cellMetrics(lstVysledky_->font());
    QHeaderView* header = lstVysledky_->header();
    const QFontMetrics headerMetrics(header->font());
    const QString margin = QStringLiteral("  ");
    // The room a cell's text leaves on either side inside its column.
    const int cellPadding = 2 * (lstVysledky_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, lstVysledky_) + 1);
    for (int column = 0; column < ResultColumnCount; ++column) {
        qsizetype longest = 0;
        int widest = 0;
        for (int i = 0; i < lstVysledky_->topLevelItemCount(); ++i) {
            const QString text = lstVysledky_->topLevelItem(i)->text(column);
            longest = std::max(longest, text.size());
            widest = std::max(widest, cellMetrics.horizontalAdvance(text) + cellPadding);
        }
        int width = std::max(cellMetrics.horizontalAdvance(QString(longest + 2, u' ')),
                             headerMetrics.horizontalAdvance(lstVysledky_->headerItem()->text(column) + margin));
        // Never narrower than the texts need to show whole: in a font whose spaces are narrower
        // than letters, or with the sort arrow in the header, the spaces alone fall short.
        width = std::max({width, widest, header->sectionSizeHint(column)});
        header->resizeSection(column, width);
    }
}

std::vector<QStringList> ResultsDialog::shownRows() const
{
    std::vector<QStringList> rows;
    for (int i = 0; i < lstVysledky_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = lstVysledky_->topLevelItem(i);
        QStringList cells;
        for (int column = 0; column < ResultColumnCount; ++column)
            cells << item->text(column);
        rows.push_back(cells);
    }
    return rows;
}

QString ResultsDialog::clipboardText() const
{
    QStringList headers;
    for (int column = 0; column < ResultColumnCount; ++column)
        headers << lstVysledky_->headerItem()->text(column);
    return resultsClipboardText(state_.trackName, QDate::currentDate(), headers, shownRows());
}

void ResultsDialog::optZobrazovat_Click(int index)
{
    mode_ = index == RelativeToWinner ? RelativeToWinner : Absolute;
    optZobrazovat_[mode_]->setChecked(true);
    const QChar separator = localeDecimalSeparator();
    for (int i = 0; i < lstVysledky_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lstVysledky_->topLevelItem(i);
        const int player = item->data(PlaceColumn, PlayerRole).toInt();
        if (mode_ == Absolute) {
            item->setText(MovesColumn, absoluteMovesText(state_, player, separator));
        } else if (const auto relative = relativeMovesText(state_, player, separator)) {
            item->setText(MovesColumn, *relative);
        }
    }
    AlignResultColumns();
}

void ResultsDialog::lstVysledky_ColumnClick(int column)
{
    // Every click turns the order round, whichever column it is on; the moves sort as the places
    // do, which also keeps the cars that did not finish together.
    sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    sortColumn_ = column == MovesColumn ? PlaceColumn : column;
    sorted_ = true;
    lstVysledky_->header()->setSortIndicatorShown(true);
    lstVysledky_->sortItems(sortColumn_, sortOrder_);
}

void ResultsDialog::cmdNovaHra_Click()
{
    hide();
    optZobrazovat_Click(Absolute);
    host_.startNewRace();
}

void ResultsDialog::cmdSkryt_Click()
{
    cmdNovaHra_->setFocus();
    hide();
    host_.showResultsMenuItem();
}

void ResultsDialog::cmdKonec_Click()
{
    host_.closeMainWindow();
}

void ResultsDialog::cmdCopy_Click()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(clipboardText());
}

void ResultsDialog::reject()
{
    cmdSkryt_Click();
}

void ResultsDialog::closeEvent(QCloseEvent* event)
{
    // Only the user closes an open dialog; a hidden one closes quietly with the program.
    if (!isVisible()) {
        event->accept();
        return;
    }
    event->ignore();
    cmdSkryt_Click();
}
