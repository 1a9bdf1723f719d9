#include "data/dataset.h"

#include <algorithm>

#include "data/connection.h"

namespace data {

namespace {
const Value NullValue;
const std::vector<Column> NoColumns;
constexpr std::size_t CacheGrowth = 1000;
} // namespace

Dataset::Dataset(Connection& connection, Transaction& transaction)
    : connection_(connection), transaction_(transaction)
{
    transaction_.attach(this);
}

Dataset::~Dataset()
{
    transaction_.detach(this);
}

void Dataset::close()
{
    const bool wasOpen = isOpen();
    if (statement_) {
        try {
            statement_->closeCursor();
        } catch (const DbError&) {
            // The cursor is released all the same; the statement stays prepared for the next open.
        }
    }
    statement_ = nullptr;
    rows_.clear();
    rows_.shrink_to_fit();
    current_ = -1;
    eof_ = true;
    exhausted_ = true;
    if (wasOpen && afterClose)
        afterClose();
}

void Dataset::openSelect(const QByteArray& sql, const std::vector<Value>& parameters)
{
    close();
    Firebird::ITransaction* transaction = transaction_.handle();
    Statement& statement = prepared_.prepare(connection_, transaction, sql);
    statement.open(transaction, parameters);
    statement_ = &statement;
    exhausted_ = false;
    const bool hasRows = fetchOne();
    if (hasRows) {
        setCurrent(0);
        eof_ = false;
    }
    if (afterOpen)
        afterOpen();
    if (hasRows)
        raiseAfterScroll();
}

bool Dataset::fetchOne()
{
    if (exhausted_)
        return false;
    if (rows_.size() == rows_.capacity())
        rows_.reserve(rows_.size() + CacheGrowth);
    Row row;
    if (!statement_->fetch(row)) {
        exhausted_ = true;
        statement_->closeCursor();
        return false;
    }
    rows_.push_back(std::move(row));
    return true;
}

bool Dataset::fetchTo(int index)
{
    while (static_cast<int>(rows_.size()) <= index)
        if (!fetchOne())
            return false;
    return index >= 0;
}

void Dataset::setCurrent(int index)
{
    current_ = index;
}

void Dataset::adoptSingleRow(Row row)
{
    statement_->closeCursor();
    exhausted_ = true;
    rows_.clear();
    rows_.push_back(std::move(row));
    eof_ = false;
    setCurrent(0);
    raiseAfterScroll();
}

void Dataset::raiseAfterScroll()
{
    if (afterScroll)
        afterScroll();
}

void Dataset::first()
{
    if (!isOpen() || rows_.empty())
        return;
    eof_ = false;
    if (current_ != 0) {
        setCurrent(0);
        raiseAfterScroll();
    }
}

void Dataset::next()
{
    if (!isOpen() || eof_)
        return;
    if (fetchTo(current_ + 1)) {
        setCurrent(current_ + 1);
        raiseAfterScroll();
    } else {
        eof_ = true;
    }
}

void Dataset::fetchAll()
{
    if (isOpen())
        while (fetchOne()) {
        }
}

void Dataset::moveTo(int index)
{
    if (!isOpen() || !fetchTo(index))
        throw DbError("Запись не найдена");
    eof_ = false;
    if (index != current_) {
        setCurrent(index);
        raiseAfterScroll();
    }
}

const std::vector<Column>& Dataset::columns() const
{
    return statement_ ? statement_->columns() : NoColumns;
}

int Dataset::fieldIndex(std::string_view name) const
{
    const std::vector<Column>& all = columns();
    auto it = std::find_if(all.begin(), all.end(), [&](const Column& c) { return c.name == name; });
    return it == all.end() ? -1 : static_cast<int>(it - all.begin());
}

const Row& Dataset::currentRow() const
{
    static const Row empty;
    return current_ >= 0 ? rows_[static_cast<std::size_t>(current_)] : empty;
}

const Value& Dataset::field(int column) const
{
    const Row& row = currentRow();
    return column >= 0 && static_cast<std::size_t>(column) < row.size() ? row[static_cast<std::size_t>(column)]
                                                                         : NullValue;
}

const Value& Dataset::field(std::string_view name) const
{
    const int index = fieldIndex(name);
    if (index < 0)
        throw DbError("Поле " + std::string(name) + " не найдено");
    return field(index);
}

const Value& Dataset::valueAt(int row, int column) const
{
    if (row < 0 || row >= recordCount() || column < 0 ||
        static_cast<std::size_t>(column) >= rows_[static_cast<std::size_t>(row)].size())
        return NullValue;
    return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

QByteArray Dataset::blobAt(int row, int column) const
{
    const Value& value = valueAt(row, column);
    if (!value.isBlob())
        return value.asText();
    if (!isOpen())
        throw DbError("Набор данных закрыт");
    return Statement::readBlob(connection_.attachment(), transaction_.handle(), value.blobId());
}

QByteArray Dataset::blob(std::string_view name) const
{
    const int column = fieldIndex(name);
    if (column < 0)
        throw DbError("Поле " + std::string(name) + " не найдено");
    return blobAt(current_, column);
}

bool Dataset::locate(std::string_view field1, std::string_view field2, const Value& value1, const Value& value2)
{
    const int c1 = fieldIndex(field1), c2 = fieldIndex(field2);
    if (c1 < 0 || c2 < 0)
        throw DbError("Поле для поиска не найдено");
    const QByteArray want1 = value1.asText(), want2 = value2.asText();
    for (int row = 0; fetchTo(row); ++row) {
        if (valueAt(row, c1).asText() == want1 && valueAt(row, c2).asText() == want2) {
            moveTo(row);
            return true;
        }
    }
    return false;
}

void Query::setText(QByteArray sql)
{
    close();
    text_ = std::move(sql);
}

void Query::open()
{
    if (text_.trimmed().isEmpty())
        throw DbError("Пустой текст запроса");
    openSelect(text_);
}

void Query::execute()
{
    if (text_.trimmed().isEmpty())
        throw DbError("Пустой текст запроса");
    if (isOpen())
        throw DbError("Запрос уже открыт");
    Firebird::ITransaction* transaction = transaction_.handle();
    prepared_.prepare(connection_, transaction, text_).execute(transaction);
}

} // namespace data
