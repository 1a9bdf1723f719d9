#pragma once

#include <QByteArray>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "data/statement.h"

namespace data {

class Connection;
class Transaction;

// Rows of a select, fetched from the engine only as far as they are read. The row count is the
// number of rows fetched so far; fetched rows stay cached until the dataset is closed.
class Dataset
{
public:
    Dataset(Connection& connection, Transaction& transaction);
    virtual ~Dataset();
    Dataset(const Dataset&) = delete;
    Dataset& operator=(const Dataset&) = delete;

    bool isOpen() const { return statement_ != nullptr; }
    // Closes the result; closing a closed dataset does nothing.
    virtual void close();

    void first();
    void next();
    // True right after opening an empty result and after next() has moved past the last row.
    bool eof() const { return eof_; }
    int recordCount() const { return static_cast<int>(rows_.size()); }
    // Fetches every remaining row; the current row stays where it was.
    void fetchAll();
    // Fetches rows up to this index; false when the result has fewer rows.
    bool fetchTo(int index);
    bool allFetched() const { return exhausted_; }

    // The current row's index, usable as a bookmark; -1 without a current row.
    int currentIndex() const { return current_; }
    // Makes a remembered row current again.
    void moveTo(int index);

    const std::vector<Column>& columns() const;
    // -1 when the result has no column of that name.
    int fieldIndex(std::string_view name) const;
    // A column of the current row; an unknown name is an error.
    const Value& field(std::string_view name) const;
    const Value& field(int column) const;
    // A cached row's column, for views that show rows without making them current.
    const Value& valueAt(int row, int column) const;
    // The bytes of a blob column of a cached row (empty for null); the dataset must be open.
    QByteArray blobAt(int row, int column) const;
    QByteArray blob(std::string_view name) const;

    // Scans from the first row for a row whose two fields equal the two values (compared as text).
    // On a match it stays there and answers true; otherwise it returns to the row it was on.
    bool locate(std::string_view field1, std::string_view field2, const Value& value1, const Value& value2);

    // Raised after every change of the current row, including an open that yields rows.
    std::function<void()> afterScroll;
    // Raised after an open has succeeded (before its first afterScroll), and after an open dataset
    // has been closed (also by a commit), so that views can follow.
    std::function<void()> afterOpen;
    std::function<void()> afterClose;

protected:
    // Prepares and opens a select in the running transaction (started when needed); fetches row 1.
    void openSelect(const QByteArray& sql, const std::vector<Value>& parameters = {});
    virtual const Row& currentRow() const;
    void setCurrent(int index);
    void raiseAfterScroll();
    // Makes this row, read by another statement, the open result's only and current row.
    void adoptSingleRow(Row row);

    Connection& connection_;
    Transaction& transaction_;
    ReusedStatement prepared_;
    Statement* statement_ = nullptr; // the prepared statement while its result is open
    std::vector<Row> rows_;

private:
    bool fetchOne();

    int current_ = -1;
    bool eof_ = true;
    bool exhausted_ = true;
};

// A statement runner: any select or data-changing statement given as text.
class Query : public Dataset
{
public:
    using Dataset::Dataset;

    // Replaces the statement; always closes the query first, even for the same text.
    void setText(QByteArray sql);
    const QByteArray& text() const { return text_; }

    // Runs the select and positions on its first row.
    void open();
    // Runs a statement that returns no rows. Nothing is committed.
    void execute();

private:
    QByteArray text_;
};

} // namespace data
