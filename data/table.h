#pragma once

#include <QString>

#include <optional>
#include <string>
#include <vector>

#include "data/dataset.h"

namespace data {

enum class FieldKind { Integer, BigInt, Double, Date, Text, Blob };

struct FieldDef
{
    std::string name;
    FieldKind kind;
    int size = 0; // characters, for text fields
    bool required = false;
};

// What an editable dataset reads and writes: its table, fields, key and generator.
struct TableDef
{
    std::string table;
    std::vector<FieldDef> fields;
    std::vector<std::string> insertFields;
    std::vector<std::string> updateFields;
    std::string generator;                    // fills ID on insert when not empty
    std::vector<std::string> keyedLocate;     // two fields located by an indexed select
};

// An editable dataset over one table: every row and column in browse state, one row being
// inserted or edited, posted through its insert or update statement (never committed here).
class Table : public Dataset
{
public:
    enum class State { Browse, Insert, Edit };

    Table(Connection& connection, Transaction& transaction, TableDef def);
    ~Table() override;

    const TableDef& definition() const { return def_; }
    State state() const { return state_; }

    // Opens over the whole table; opening an open dataset does nothing.
    void open();
    void close() override;

    // Starts a new empty row; with a generator, its ID is taken at this moment.
    void insert();
    // Puts the current row into edit mode.
    void edit();
    // Converts the text by the field's kind: whole decimal number, decimal number with "," as the
    // decimal separator, dd.mm.yyyy, or text cut to the field's size. An empty text gives null.
    void setFieldText(std::string_view name, const QByteArray& text);
    // Fills a blob field with a file's bytes.
    void setFieldFromFile(std::string_view name, const QString& path);
    // Sends the row to the engine; required fields must be set.
    void post();

    // Locates by the two fields; with an indexed key of those fields the row is read by a keyed
    // select and becomes the dataset's one row, otherwise the rows are scanned from the first.
    bool locate(std::string_view field1, std::string_view field2, const Value& value1, const Value& value2);

protected:
    const Row& currentRow() const override;

private:
    int defIndex(std::string_view name) const;
    std::vector<Value> valuesOf(const std::vector<std::string>& names) const;
    std::int64_t nextGeneratorValue();

    TableDef def_;
    State state_ = State::Browse;
    Row buffer_; // the row being inserted or edited, in the order of def_.fields
    ReusedStatement insertStatement_, updateStatement_, keyedStatement_, generatorStatement_;
};

// Conversions that text-assigned fields apply.
std::int64_t parseWholeNumber(const QByteArray& text);
double parseDecimalComma(const QByteArray& text);
QDate parseDate(const QByteArray& text);

} // namespace data
