#pragma once

#include <QAbstractTableModel>
#include <QLocale>

#include <vector>

#include "browser/picture_fields.h"

namespace data {
class Dataset;
class Value;
} // namespace data

namespace browser {

// The picture list as a table: one column per field of pictureFields(), one row per row fetched from
// the list's dataset so far. Further rows are fetched only when the view asks for them, so the list is
// never read whole just to be shown. The model follows the dataset through its open and close
// callbacks; the dataset must outlive the model.
class PictureListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit PictureListModel(data::Dataset& list, QObject* parent = nullptr);
    ~PictureListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // Rows fetched as soon as the list opens, so that the first screen is full (the view's height).
    void setPrefetchRows(int rows) { prefetchRows_ = rows; }
    // Numbers and dates are shown in this locale's forms (the default locale, which the program makes
    // Russian, by default).
    void setLocale(const QLocale& locale);

    // Shows rows that the dataset has fetched by itself (a move to a later row, fetch all) and marks
    // its current row in the row indicator.
    void followCurrentRow();
    // Fetches the rest of the list (a move to its last row).
    void fetchAll();
    // The first row from fromRow on whose cell in this column contains the text, without regard to
    // case, fetching further rows as needed; -1 when there is none.
    int findRow(int column, const QString& text, int fromRow);

    // A field of a fetched row; null for a field that the statement does not select.
    const data::Value& valueAt(int row, PictureColumn column) const;
    // The preview bytes of a fetched row; the list must be open.
    QByteArray imageAt(int row) const;
    // The text the cell shows.
    QString displayText(int row, int column) const;

Q_SIGNALS:
    // The view has had further rows fetched (scrolling down a list whose end is not yet known).
    void rowsFetched();

private:
    void onOpened();
    void resetToList();
    void showFetchedRows();
    void mapColumns();

    data::Dataset& list_;
    int rows_ = 0;
    int prefetchRows_ = 40;
    int indicatorRow_ = -1;
    std::vector<int> listColumns_; // per PictureColumn: the dataset's column, -1 when not selected
    QLocale locale_;
};

} // namespace browser
