#include "browser/picture_list_model.h"

#include <algorithm>
#include <exception>

#include "data/dataset.h"
#include "platform/html_entities.h"

namespace browser {

namespace {

constexpr int FetchBatch = 200;

const data::Value NullValue;

// The row indicator's mark for the current row.
const QString CurrentRowMark = QStringLiteral("\u25B6");

} // namespace

PictureListModel::PictureListModel(data::Dataset& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list), listColumns_(PictureColumnCount, -1)
{
    setLocale(QLocale());
    list_.afterOpen = [this] { onOpened(); };
    list_.afterClose = [this] { resetToList(); };
    if (list_.isOpen())
        resetToList();
}

PictureListModel::~PictureListModel()
{
    list_.afterOpen = nullptr;
    list_.afterClose = nullptr;
}

void PictureListModel::setLocale(const QLocale& locale)
{
    locale_ = locale;
    locale_.setNumberOptions(QLocale::OmitGroupSeparator);
    if (rows_ > 0)
        Q_EMIT dataChanged(index(0, 0), index(rows_ - 1, PictureColumnCount - 1));
}

int PictureListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int PictureListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : PictureColumnCount;
}

const data::Value& PictureListModel::valueAt(int row, PictureColumn column) const
{
    const int listColumn = listColumns_[static_cast<std::size_t>(column)];
    return listColumn < 0 ? NullValue : list_.valueAt(row, listColumn);
}

QByteArray PictureListModel::imageAt(int row) const
{
    const int listColumn = listColumns_[ColImage];
    return listColumn < 0 ? QByteArray() : list_.blobAt(row, listColumn);
}

QString PictureListModel::displayText(int row, int column) const
{
    const PictureField& field = pictureFields()[static_cast<std::size_t>(column)];
    const data::Value& value = valueAt(row, static_cast<PictureColumn>(column));
    if (value.isNull())
        return {};
    switch (field.display) {
    case FieldDisplay::Money:
        return locale_.toString(value.asDouble(), 'f', 2);
    case FieldDisplay::Date:
        return locale_.toString(value.asDate(), QLocale::ShortFormat);
    case FieldDisplay::Painted:
        return {};
    case FieldDisplay::Plain:
        break;
    }
    return value.isBytes() ? platform::readableText(value.asText()) : QString::fromLatin1(value.asText());
}

QVariant PictureListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return displayText(index.row(), index.column());
    case Qt::TextAlignmentRole: {
        const bool numeric = pictureFields()[static_cast<std::size_t>(index.column())].numeric;
        return QVariant::fromValue(Qt::AlignVCenter | (numeric ? Qt::AlignRight : Qt::AlignLeft));
    }
    default:
        return {};
    }
}

QVariant PictureListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section == indicatorRow_ ? CurrentRowMark : QString();
    if (section < 0 || section >= PictureColumnCount)
        return {};
    return pictureFields()[static_cast<std::size_t>(section)].title;
}

bool PictureListModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && list_.isOpen() && !list_.allFetched();
}

void PictureListModel::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    list_.fetchTo(rows_ + FetchBatch - 1);
    showFetchedRows();
    Q_EMIT rowsFetched();
}

void PictureListModel::fetchAll()
{
    if (!canFetchMore(QModelIndex()))
        return;
    list_.fetchAll();
    showFetchedRows();
    Q_EMIT rowsFetched();
}

int PictureListModel::findRow(int column, const QString& text, int fromRow)
{
    for (int row = std::max(fromRow, 0);; ++row) {
        if (row >= rows_)
            fetchMore(QModelIndex());
        if (row >= rows_)
            return -1;
        if (displayText(row, column).contains(text, Qt::CaseInsensitive))
            return row;
    }
}

void PictureListModel::followCurrentRow()
{
    showFetchedRows();
    const int previous = indicatorRow_;
    indicatorRow_ = list_.currentIndex();
    if (previous == indicatorRow_)
        return;
    if (previous >= 0 && previous < rows_)
        Q_EMIT headerDataChanged(Qt::Vertical, previous, previous);
    if (indicatorRow_ >= 0 && indicatorRow_ < rows_)
        Q_EMIT headerDataChanged(Qt::Vertical, indicatorRow_, indicatorRow_);
}

void PictureListModel::onOpened()
{
    std::exception_ptr fetchError;
    try {
        list_.fetchTo(prefetchRows_ - 1);
    } catch (...) {
        fetchError = std::current_exception();
    }
    resetToList();
    if (fetchError)
        std::rethrow_exception(fetchError);
}

void PictureListModel::resetToList()
{
    beginResetModel();
    rows_ = list_.isOpen() ? list_.recordCount() : 0;
    indicatorRow_ = list_.isOpen() ? list_.currentIndex() : -1;
    mapColumns();
    endResetModel();
}

void PictureListModel::showFetchedRows()
{
    const int fetched = list_.isOpen() ? list_.recordCount() : 0;
    if (fetched <= rows_)
        return;
    beginInsertRows(QModelIndex(), rows_, fetched - 1);
    rows_ = fetched;
    endInsertRows();
}

void PictureListModel::mapColumns()
{
    const std::vector<PictureField>& fields = pictureFields();
    for (std::size_t column = 0; column < fields.size(); ++column)
        listColumns_[column] = list_.isOpen() ? list_.fieldIndex(fields[column].name) : -1;
}

} // namespace browser
