#include "data/ledger.h"

#include <QDateTime>
#include <QIODevice>
#include <QRegularExpression>
#include <QSet>

#include <charconv>
#include <cmath>
#include <optional>

#include "data/connection.h"
#include "data/statement.h"
#include "platform/stored_zip.h"
#include "platform/win1251.h"

namespace data {

namespace {

const QString VersionMember = QStringLiteral("VERSION");
const QByteArray VersionPrefix = "photoledger ledger ";

enum class Kind {
    Integer,
    Real,
    Date,
    Text,
};

struct LedgerColumn
{
    QByteArray name;
    Kind kind;
};

// One table of the ledger: its columns, the key columns first, and the statements over it.
struct LedgerTable
{
    QString member;
    std::vector<LedgerColumn> columns;
    std::size_t keyColumns;
    // Every column, in the order of columns, parents before children.
    QByteArray select;
    // The values of the first key column in the database: a row whose first key is not among them is
    // new and needs no lookup.
    QByteArray storedFirstKeys;
    // The other columns of the row with the key given as parameters.
    QByteArray lookup;
    // Every column as parameters.
    QByteArray insert;
    LedgerTableCounts LedgerImport::*counts;
};

const std::vector<LedgerTable>& ledgerTables()
{
    static const std::vector<LedgerTable> tables = {
        {QStringLiteral("FOLDERS.csv"),
         {{"ID", Kind::Integer}, {"IDPARENT", Kind::Integer}, {"TITLE", Kind::Text}},
         1,
         // A parent's row comes before its sub-folders', so that the rows can be added in file order.
         "with recursive TREE as (select ID, IDPARENT, TITLE, 0 as DEPTH from FOLDERS where IDPARENT is null"
         " union all select F.ID, F.IDPARENT, F.TITLE, T.DEPTH + 1 from FOLDERS F join TREE T on F.IDPARENT "
         "= T.ID)"
         " select ID, IDPARENT, TITLE from TREE order by DEPTH, ID",
         "select ID from FOLDERS",
         "select IDPARENT, TITLE from FOLDERS where ID = ?",
         "insert into FOLDERS (ID, IDPARENT, TITLE) values (?, ?, ?)",
         &LedgerImport::folders},
        {QStringLiteral("PICTURES.csv"),
         {{"ID", Kind::Integer},
          {"IDFOLDER", Kind::Integer},
          {"TYPE", Kind::Integer},
          {"TITLE", Kind::Text},
          {"KEYWORDS", Kind::Text},
          {"ACCEPT_DATE", Kind::Date},
          {"IDBATCH", Kind::Integer}},
         1,
         "select ID, IDFOLDER, \"TYPE\", TITLE, KEYWORDS, ACCEPT_DATE, IDBATCH from PICTURES order by ID",
         "select ID from PICTURES",
         "select IDFOLDER, \"TYPE\", TITLE, KEYWORDS, ACCEPT_DATE, IDBATCH from PICTURES where ID = ?",
         "insert into PICTURES (ID, IDFOLDER, \"TYPE\", TITLE, KEYWORDS, ACCEPT_DATE, IDBATCH)"
         " values (?, ?, ?, ?, ?, ?, ?)",
         &LedgerImport::pictures},
        {QStringLiteral("SALES.csv"),
         {{"IDPICTURE", Kind::Integer},
          {"SALE_DATE", Kind::Date},
          {"COUNT", Kind::Integer},
          {"SUM", Kind::Real},
          {"ON_DEMAND", Kind::Real},
          {"ENHANCED", Kind::Real}},
         2,
         "select IDPICTURE, SALE_DATE, \"COUNT\", \"SUM\", ON_DEMAND, ENHANCED from SALES order by "
         "IDPICTURE, SALE_DATE",
         "select distinct IDPICTURE from SALES",
         "select \"COUNT\", \"SUM\", ON_DEMAND, ENHANCED from SALES where IDPICTURE = ? and SALE_DATE = ?",
         "insert into SALES (ID, IDPICTURE, SALE_DATE, \"COUNT\", \"SUM\", ON_DEMAND, ENHANCED)"
         " values (gen_id(GEN_SALES_ID, 1), ?, ?, ?, ?, ?, ?)",
         &LedgerImport::sales},
    };
    return tables;
}

QByteArrayList columnNames(const LedgerTable& table)
{
    QByteArrayList names;
    for (const LedgerColumn& column : table.columns)
        names.append(column.name);
    return names;
}

QByteArray realText(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QByteArray(buffer, result.ptr - buffer);
}

QByteArray fieldText(const Value& value, Kind kind)
{
    if (value.isNull())
        return {};
    switch (kind) {
    case Kind::Integer:
        return QByteArray::number(static_cast<qlonglong>(value.asInt64()));
    case Kind::Real:
        return realText(value.asDouble());
    case Kind::Date:
        return value.asDate().toString(Qt::ISODate).toLatin1();
    case Kind::Text:
        break;
    }
    return '"' + platform::fromWin1251(value.asText()).toUtf8().replace('"', "\"\"") + '"';
}

QByteArray tableCsv(Connection& connection, Transaction& transaction, const LedgerTable& table)
{
    QByteArray csv = columnNames(table).join(',') + '\n';
    Statement statement(connection, transaction.handle(), table.select);
    statement.open(transaction.handle());
    Row row;
    while (statement.fetch(row)) {
        for (std::size_t i = 0; i < table.columns.size(); ++i) {
            if (i > 0)
                csv.append(',');
            csv.append(fieldText(row[i], table.columns[i].kind));
        }
        csv.append('\n');
    }
    statement.closeCursor();
    return csv;
}

[[noreturn]] void refuse(const QString& message)
{
    throw LedgerError(message.toStdString());
}

using Field = std::optional<QByteArray>;

// The records of a CSV member one at a time: fields between commas, a double-quoted field may hold
// commas, doubled quotes and line breaks; an unquoted empty field is null.
class CsvReader
{
public:
    CsvReader(const QString& member, const QByteArray& bytes) : member_(member), bytes_(bytes) {}

    bool atEnd() const { return at_ >= bytes_.size(); }
    // The line where the next record starts, or where the last one read started after record().
    int line() const { return line_; }
    const QString& member() const { return member_; }

    // The next record; the reader must not be at its end.
    std::vector<Field> record()
    {
        recordLine_ = line_;
        std::vector<Field> fields;
        for (;;) {
            fields.push_back(field());
            if (at_ >= bytes_.size())
                break;
            const char separator = bytes_[at_++];
            if (separator == '\n')
                break;
            if (separator != ',')
                fail(QStringLiteral("после поля в кавычках ожидалась запятая"));
        }
        ++line_;
        return fields;
    }

    [[noreturn]] void fail(const QString& what) const
    {
        refuse(QStringLiteral("%1, строка %2: %3").arg(member_).arg(recordLine_).arg(what));
    }

private:
    Field field()
    {
        if (at_ < bytes_.size() && bytes_[at_] == '"')
            return quoted();
        const qsizetype start = at_;
        while (at_ < bytes_.size() && bytes_[at_] != ',' && bytes_[at_] != '\n')
            ++at_;
        QByteArray text = bytes_.mid(start, at_ - start);
        if (text.endsWith('\r'))
            text.chop(1);
        if (text.contains('"'))
            fail(QStringLiteral("кавычка внутри поля без кавычек"));
        return text.isEmpty() ? Field() : Field(text);
    }

    QByteArray quoted()
    {
        QByteArray text;
        for (++at_;; ++at_) {
            if (at_ >= bytes_.size())
                fail(QStringLiteral("поле в кавычках не закрыто"));
            const char c = bytes_[at_];
            if (c == '"' && at_ + 1 < bytes_.size() && bytes_[at_ + 1] == '"') {
                text.append('"');
                ++at_;
            } else if (c == '"') {
                ++at_;
                if (at_ < bytes_.size() && bytes_[at_] == '\r')
                    ++at_;
                return text;
            } else {
                if (c == '\n')
                    ++line_;
                text.append(c);
            }
        }
    }

    QString member_;
    const QByteArray& bytes_;
    qsizetype at_ = 0;
    int line_ = 1;
    int recordLine_ = 1;
};

Value parsedValue(const CsvReader& reader, const LedgerColumn& column, const Field& field)
{
    if (!field)
        return {};
    const QByteArray& text = *field;
    const auto wrong = [&](const char* expected) {
        reader.fail(QStringLiteral("%1 — %2, а не «%3»")
                        .arg(QLatin1String(column.name), QString::fromUtf8(expected),
                             QString::fromUtf8(text.left(40))));
    };
    switch (column.kind) {
    case Kind::Integer: {
        static const QRegularExpression whole(QStringLiteral("^-?\\d{1,18}$"));
        if (!whole.match(QLatin1String(text)).hasMatch())
            wrong("целое число");
        return Value::integer(text.toLongLong());
    }
    case Kind::Real: {
        double value = 0;
        const auto result = std::from_chars(text.constData(), text.constData() + text.size(), value);
        if (result.ec != std::errc() || result.ptr != text.constData() + text.size() || !std::isfinite(value))
            wrong("число");
        return Value::real(value);
    }
    case Kind::Date: {
        const QDate date = QDate::fromString(QLatin1String(text), QStringLiteral("yyyy-MM-dd"));
        if (!date.isValid())
            wrong("дата гггг-мм-дд");
        return Value::date(date);
    }
    case Kind::Text:
        break;
    }
    return Value::text(platform::toWin1251(QString::fromUtf8(text)));
}

QString shownValue(const Value& value, Kind kind)
{
    return value.isNull() ? QStringLiteral("пусто") : QString::fromUtf8(fieldText(value, kind));
}

// Which values of a stored row differ from the file's; empty when none does.
QString differences(const LedgerTable& table, const Row& stored, const Row& inFile)
{
    QStringList differing;
    for (std::size_t i = table.keyColumns; i < table.columns.size(); ++i) {
        const Value& mine = stored[i - table.keyColumns];
        if (mine == inFile[i])
            continue;
        const Kind kind = table.columns[i].kind;
        differing.append(QStringLiteral("%1: в базе %2, в файле %3")
                             .arg(QLatin1String(table.columns[i].name), shownValue(mine, kind),
                                  shownValue(inFile[i], kind)));
    }
    return differing.join(QStringLiteral("; "));
}

QString keyText(const LedgerTable& table, const Row& row)
{
    QStringList parts;
    for (std::size_t i = 0; i < table.keyColumns; ++i)
        parts.append(QLatin1String(table.columns[i].name) + QLatin1Char(' ') +
                     shownValue(row[i], table.columns[i].kind));
    return parts.join(QStringLiteral(", "));
}

QSet<qint64> storedFirstKeys(Connection& connection, Transaction& transaction, const LedgerTable& table)
{
    QSet<qint64> keys;
    Statement statement(connection, transaction.handle(), table.storedFirstKeys);
    statement.open(transaction.handle());
    for (Row row; statement.fetch(row);)
        keys.insert(row[0].asInt64());
    statement.closeCursor();
    return keys;
}

void mergeTable(Connection& connection, Transaction& transaction, const LedgerTable& table,
                const QByteArray& csv, LedgerImport& result)
{
    CsvReader reader(table.member, csv);
    const QByteArrayList names = columnNames(table);
    if (reader.atEnd() || reader.record() != std::vector<Field>(names.begin(), names.end()))
        refuse(QStringLiteral("%1: первая строка должна быть %2")
                   .arg(table.member, QLatin1String(names.join(','))));
    const QSet<qint64> stored = storedFirstKeys(connection, transaction, table);
    Statement lookup(connection, transaction.handle(), table.lookup);
    Statement insert(connection, transaction.handle(), table.insert);
    LedgerTableCounts& counts = result.*table.counts;
    Row found;
    while (!reader.atEnd()) {
        const int line = reader.line();
        const std::vector<Field> fields = reader.record();
        if (fields.size() != table.columns.size())
            reader.fail(
                QStringLiteral("полей %1, а должно быть %2").arg(fields.size()).arg(table.columns.size()));
        Row row;
        for (std::size_t i = 0; i < fields.size(); ++i)
            row.push_back(parsedValue(reader, table.columns[i], fields[i]));
        for (std::size_t i = 0; i < table.keyColumns; ++i)
            if (row[i].isNull())
                reader.fail(
                    QStringLiteral("%1 не может быть пустым").arg(QLatin1String(table.columns[i].name)));
        const Row key(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(table.keyColumns));
        bool there = stored.contains(row[0].asInt64());
        if (there) {
            lookup.open(transaction.handle(), key);
            there = lookup.fetch(found);
            lookup.closeCursor();
        }
        if (!there) {
            try {
                insert.execute(transaction.handle(), row);
            } catch (const DbError& error) {
                reader.fail(QString::fromUtf8(error.what()));
            }
            ++counts.added;
        } else if (const QString differing = differences(table, found, row); differing.isEmpty()) {
            ++counts.equal;
        } else {
            ++counts.conflicting;
            result.conflicts.append(QStringLiteral("%1, строка %2 (%3): %4")
                                        .arg(table.member)
                                        .arg(line)
                                        .arg(keyText(table, row), differing));
        }
    }
}

// Runs a statement in the transaction; a select's rows are read and dropped.
void runOnce(Connection& connection, Transaction& transaction, const QByteArray& sql)
{
    Statement statement(connection, transaction.handle(), sql);
    if (statement.columns().empty()) {
        statement.execute(transaction.handle());
        return;
    }
    statement.open(transaction.handle());
    for (Row row; statement.fetch(row);) {
    }
    statement.closeCursor();
}

// Folder ids of the ledger were added as they are: the generator that numbers new folders is moved
// past them.
void moveFolderNumbersPastAdded(Connection& connection, Transaction& transaction)
{
    runOnce(connection, transaction,
            "select gen_id(GEN_FOLDERS_ID, max(ID) - gen_id(GEN_FOLDERS_ID, 0)) from FOLDERS"
            " having max(ID) > gen_id(GEN_FOLDERS_ID, 0)");
}

int ledgerVersion(const std::map<QString, QByteArray>& members)
{
    const auto version = members.find(VersionMember);
    if (version == members.end() || !version->second.startsWith(VersionPrefix))
        refuse(QStringLiteral("файл не является выгрузкой учёта (в архиве нет %1)").arg(VersionMember));
    bool ok = false;
    const int number = version->second.mid(VersionPrefix.size()).trimmed().toInt(&ok);
    if (!ok)
        refuse(QStringLiteral("в %1 нет номера версии формата").arg(VersionMember));
    return number;
}

} // namespace

bool exportLedger(Connection& connection, QIODevice& out)
{
    Transaction& transaction = connection.defaultTransaction();
    transaction.commitIfActive();
    std::vector<platform::ZipEntry> entries{
        {VersionMember, VersionPrefix + QByteArray::number(LedgerFormatVersion) + '\n'}};
    for (const LedgerTable& table : ledgerTables())
        entries.push_back({table.member, tableCsv(connection, transaction, table)});
    transaction.commit();
    return platform::writeStoredZip(out, entries, QDateTime::currentDateTime());
}

LedgerImport importLedger(Connection& connection, const QByteArray& ledger)
{
    std::map<QString, QByteArray> members;
    try {
        members = platform::readStoredZip(ledger);
    } catch (const platform::ZipError& error) {
        refuse(QString::fromUtf8(error.what()));
    }
    if (const int version = ledgerVersion(members); version != LedgerFormatVersion)
        refuse(QStringLiteral("формат выгрузки %1, а эта версия программы читает формат %2")
                   .arg(version)
                   .arg(LedgerFormatVersion));
    for (const LedgerTable& table : ledgerTables())
        if (!members.contains(table.member))
            refuse(QStringLiteral("в выгрузке нет %1").arg(table.member));
    Transaction& transaction = connection.defaultTransaction();
    transaction.commitIfActive();
    LedgerImport result;
    try {
        runOnce(connection, transaction,
                "select rdb$set_context('USER_TRANSACTION', 'ROLL_UPS_DEFERRED', 1) from rdb$database");
        for (const LedgerTable& table : ledgerTables())
            mergeTable(connection, transaction, table, members[table.member], result);
        runOnce(connection, transaction, "execute procedure ROLL_UP_ADDED_SALES");
        moveFolderNumbersPastAdded(connection, transaction);
        transaction.commit();
    } catch (...) {
        if (transaction.inTransaction())
            transaction.rollback();
        throw;
    }
    return result;
}

} // namespace data
