#include "data/table.h"

#include <QFile>

#include <algorithm>

#include "data/connection.h"

namespace data {

namespace {

QByteArray joined(const std::vector<std::string>& names, const char* separator)
{
    QByteArray out;
    for (const std::string& name : names) {
        if (!out.isEmpty())
            out += separator;
        out += name.c_str();
    }
    return out;
}

// Names that are reserved words are written in double quotes.
QByteArray quotedName(const std::string& name)
{
    static const char* reserved[] = {"COUNT", "SUM", "TYPE", "DATE"};
    for (const char* word : reserved)
        if (name == word)
            return '"' + QByteArray(name.c_str()) + '"';
    return QByteArray(name.c_str());
}

std::vector<std::string> quotedNames(const std::vector<std::string>& names)
{
    std::vector<std::string> out;
    for (const std::string& name : names)
        out.push_back(quotedName(name).toStdString());
    return out;
}

} // namespace

std::int64_t parseWholeNumber(const QByteArray& text)
{
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok);
    if (!ok)
        throw DbError("'" + text.toStdString() + "' не является целым числом");
    return v;
}

double parseDecimalComma(const QByteArray& text)
{
    const QByteArray t = text.trimmed();
    bool ok = !t.contains('.') && !t.contains('e') && !t.contains('E');
    const double v = ok ? QByteArray(t).replace(',', '.').toDouble(&ok) : 0.0;
    if (!ok)
        throw DbError("'" + text.toStdString() + "' не является числом");
    return v;
}

QDate parseDate(const QByteArray& text)
{
    const QDate date = QDate::fromString(QString::fromLatin1(text.trimmed()), QStringLiteral("d.M.yyyy"));
    if (!date.isValid())
        throw DbError("'" + text.toStdString() + "' не является датой");
    return date;
}

Table::Table(Connection& connection, Transaction& transaction, TableDef def)
    : Dataset(connection, transaction), def_(std::move(def))
{
}

Table::~Table() = default;

int Table::defIndex(std::string_view name) const
{
    for (std::size_t i = 0; i < def_.fields.size(); ++i)
        if (def_.fields[i].name == name)
            return static_cast<int>(i);
    throw DbError("Поле " + std::string(name) + " не найдено");
}

void Table::open()
{
    if (isOpen())
        return;
    std::vector<std::string> names;
    for (const FieldDef& f : def_.fields)
        names.push_back(f.name);
    openSelect("select " + joined(quotedNames(names), ", ") + " from " + def_.table.c_str());
}

void Table::close()
{
    state_ = State::Browse;
    buffer_.clear();
    Dataset::close();
}

const Row& Table::currentRow() const
{
    return state_ == State::Browse ? Dataset::currentRow() : buffer_;
}

void Table::insert()
{
    open();
    buffer_.assign(def_.fields.size(), Value());
    state_ = State::Insert;
    if (!def_.generator.empty())
        buffer_[static_cast<std::size_t>(defIndex("ID"))] = Value::integer(nextGeneratorValue());
}

std::int64_t Table::nextGeneratorValue()
{
    Firebird::ITransaction* transaction = transaction_.handle();
    Statement& statement = generatorStatement_.prepare(
        connection_, transaction,
        "SELECT GEN_ID(\"" + QByteArray(def_.generator.c_str()) + "\", 1) FROM RDB$DATABASE");
    statement.open(transaction);
    Row row;
    const bool fetched = statement.fetch(row);
    statement.closeCursor();
    if (!fetched)
        throw DbError("Генератор " + def_.generator + " не вернул значения");
    return row.front().asInt64();
}

void Table::edit()
{
    if (!isOpen() || currentIndex() < 0)
        throw DbError("Нет текущей записи для изменения");
    buffer_ = Dataset::currentRow();
    state_ = State::Edit;
}

void Table::setFieldText(std::string_view name, const QByteArray& text)
{
    if (state_ == State::Browse)
        throw DbError("Набор данных не в режиме изменения");
    const FieldDef& def = def_.fields[static_cast<std::size_t>(defIndex(name))];
    Value& slot = buffer_[static_cast<std::size_t>(defIndex(name))];
    if (text.isEmpty()) {
        slot = Value();
        return;
    }
    switch (def.kind) {
    case FieldKind::Integer:
    case FieldKind::BigInt:
        slot = Value::integer(parseWholeNumber(text));
        break;
    case FieldKind::Double:
        slot = Value::real(parseDecimalComma(text));
        break;
    case FieldKind::Date:
        slot = Value::date(parseDate(text));
        break;
    case FieldKind::Text:
        slot = Value::text(text.left(def.size));
        break;
    case FieldKind::Blob:
        slot = Value::text(text);
        break;
    }
}

void Table::setFieldFromFile(std::string_view name, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError("Не удалось прочитать файл " + path.toStdString() + ": " +
                      file.errorString().toStdString());
    if (state_ == State::Browse)
        throw DbError("Набор данных не в режиме изменения");
    buffer_[static_cast<std::size_t>(defIndex(name))] = Value::text(file.readAll());
}

std::vector<Value> Table::valuesOf(const std::vector<std::string>& names) const
{
    std::vector<Value> values;
    for (const std::string& name : names)
        values.push_back(buffer_[static_cast<std::size_t>(defIndex(name))]);
    return values;
}

void Table::post()
{
    if (state_ == State::Browse)
        throw DbError("Набор данных не в режиме изменения");
    for (std::size_t i = 0; i < def_.fields.size(); ++i)
        if (def_.fields[i].required && buffer_[i].isNull())
            throw DbError("Поле " + def_.fields[i].name + " должно иметь значение");
    const QByteArray table = def_.table.c_str();
    if (state_ == State::Insert) {
        const std::vector<std::string>& names = def_.insertFields;
        QByteArray marks;
        for (std::size_t i = 0; i < names.size(); ++i)
            marks += i ? ", ?" : "?";
        Statement& insert = insertStatement_.prepare(
            connection_, transaction_.handle(),
            "INSERT INTO " + table + " (" + joined(quotedNames(names), ", ") + ") VALUES (" + marks + ")");
        insert.execute(transaction_.handle(), valuesOf(names));
        rows_.push_back(buffer_);
        setCurrent(recordCount() - 1);
    } else if (buffer_ != Dataset::currentRow()) {
        // A row edited back to what was fetched is not written: the update would only add a record
        // version and page writes (collecting a day again sets every field to what it holds).
        std::vector<std::string> assignments;
        for (const std::string& name : quotedNames(def_.updateFields))
            assignments.push_back(name + " = ?");
        Statement& update = updateStatement_.prepare(connection_, transaction_.handle(),
                                                     "UPDATE " + table + " SET " + joined(assignments, ", ") +
                                                         " WHERE ID = ?");
        std::vector<Value> values = valuesOf(def_.updateFields);
        values.push_back(buffer_[static_cast<std::size_t>(defIndex("ID"))]);
        update.execute(transaction_.handle(), values);
        rows_[static_cast<std::size_t>(currentIndex())] = buffer_;
    }
    state_ = State::Browse;
    buffer_.clear();
}

bool Table::locate(std::string_view field1, std::string_view field2, const Value& value1, const Value& value2)
{
    const bool keyed = def_.keyedLocate.size() == 2 && def_.keyedLocate[0] == field1 &&
                       def_.keyedLocate[1] == field2;
    if (!keyed)
        return Dataset::locate(field1, field2, value1, value2);
    open();
    std::vector<std::string> names;
    for (const FieldDef& f : def_.fields)
        names.push_back(f.name);
    Statement& lookup = keyedStatement_.prepare(
        connection_, transaction_.handle(),
        "select " + joined(quotedNames(names), ", ") + " from " + def_.table.c_str() + " where " +
            QByteArray(field1.data(), static_cast<qsizetype>(field1.size())) + " = ? and " +
            QByteArray(field2.data(), static_cast<qsizetype>(field2.size())) + " = ?");
    lookup.open(transaction_.handle(), {value1, value2});
    Row row;
    const bool found = lookup.fetch(row);
    lookup.closeCursor();
    if (found)
        adoptSingleRow(std::move(row));
    return found;
}

} // namespace data
