#pragma once

#include <QByteArray>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/fb_client.h"
#include "data/value.h"

namespace data {

class Connection;

// Kinds of column the program reads and writes.
enum class ColumnType { Integer, Double, Date, Text, Blob, Other };

struct Column
{
    std::string name;
    ColumnType type = ColumnType::Other;
};

using Row = std::vector<Value>;

// A prepared statement with its parameters and, when it selects, a cursor fetched row by row.
class Statement
{
public:
    Statement(Connection& connection, Firebird::ITransaction* transaction, const QByteArray& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    const std::vector<Column>& columns() const { return columns_; }
    unsigned parameterCount() const { return static_cast<unsigned>(parameters_.size()); }

    // Runs the statement with these parameter values (one per "?", in order) in a transaction.
    void execute(Firebird::ITransaction* transaction, const std::vector<Value>& parameters = {});
    // Runs a select that yields exactly one row, in one exchange with the engine, and returns the row.
    Row selectOne(Firebird::ITransaction* transaction, const std::vector<Value>& parameters);
    // Opens the cursor of a select with these parameter values.
    void open(Firebird::ITransaction* transaction, const std::vector<Value>& parameters = {});
    // The next row of the open cursor; false at its end.
    bool fetch(Row& row);
    void closeCursor();

    // The bytes of a blob column fetched by this statement's transaction.
    static QByteArray readBlob(Firebird::IAttachment* attachment, Firebird::ITransaction* transaction,
                               const BlobId& blob);

private:
    struct Slot
    {
        unsigned type, subType, length, offset, nullOffset;
        int scale;
    };
    static std::vector<Slot> describe(Firebird::IMessageMetadata* metadata);
    void writeParameters(Firebird::ITransaction* transaction, const std::vector<Value>& values);
    Value readColumn(unsigned index) const;
    // The output message as a row.
    void readRow(Row& row) const;

    Firebird::IAttachment* attachment_;
    Firebird::IStatement* statement_ = nullptr;
    Firebird::IMessageMetadata* inMeta_ = nullptr;
    Firebird::IMessageMetadata* outMeta_ = nullptr;
    Firebird::IResultSet* cursor_ = nullptr;
    std::vector<Slot> parameters_;
    std::vector<Slot> outSlots_;
    std::vector<Column> columns_;
    std::vector<unsigned char> inBuffer_;
    std::vector<unsigned char> outBuffer_;
};

// A statement kept prepared for reuse: asking again for the same text on the same attachment returns
// the statement prepared before, so that a text run over and over is prepared once. After a reconnect
// the text is prepared again.
class ReusedStatement
{
public:
    Statement& prepare(Connection& connection, Firebird::ITransaction* transaction, const QByteArray& sql);

private:
    std::unique_ptr<Statement> statement_;
    QByteArray sql_;
    std::uint64_t attachmentNumber_ = 0;
};

} // namespace data
