#include "data/statement.h"

#include <cmath>
#include <cstring>

#include "data/connection.h"

namespace data {

namespace {

constexpr unsigned SqlText = 452, SqlVarying = 448, SqlShort = 500, SqlLong = 496, SqlInt64 = 580,
                   SqlDouble = 480, SqlFloat = 482, SqlDate = 570, SqlTimestamp = 510, SqlBlob = 520;

ColumnType columnTypeOf(unsigned type, int scale)
{
    switch (type) {
    case SqlShort:
    case SqlLong:
    case SqlInt64:
        return scale == 0 ? ColumnType::Integer : ColumnType::Double;
    case SqlDouble:
    case SqlFloat:
        return ColumnType::Double;
    case SqlDate:
    case SqlTimestamp:
        return ColumnType::Date;
    case SqlText:
    case SqlVarying:
        return ColumnType::Text;
    case SqlBlob:
        return ColumnType::Blob;
    default:
        return ColumnType::Other;
    }
}

template <typename T> T load(const unsigned char* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename T> void store(unsigned char* p, T v)
{
    std::memcpy(p, &v, sizeof v);
}

QDate decodeDate(ISC_DATE date)
{
    unsigned year, month, day;
    FbClient::instance().util()->decodeDate(date, &year, &month, &day);
    return QDate(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
}

ISC_DATE encodeDate(QDate date)
{
    return FbClient::instance().util()->encodeDate(static_cast<unsigned>(date.year()),
                                                   static_cast<unsigned>(date.month()),
                                                   static_cast<unsigned>(date.day()));
}

double scaled(std::int64_t v, int scale)
{
    return static_cast<double>(v) * std::pow(10.0, scale);
}

} // namespace

Statement::Statement(Connection& connection, Firebird::ITransaction* transaction, const QByteArray& sql)
    : attachment_(connection.attachment())
{
    Status status;
    statement_ = status.call([&](auto s) {
        return attachment_->prepare(s, transaction, static_cast<unsigned>(sql.size()), sql.constData(), 3,
                                    Firebird::IStatement::PREPARE_PREFETCH_METADATA);
    });
    inMeta_ = status.call([&](auto s) { return statement_->getInputMetadata(s); });
    outMeta_ = status.call([&](auto s) { return statement_->getOutputMetadata(s); });
    parameters_ = describe(inMeta_);
    outSlots_ = describe(outMeta_);
    inBuffer_.resize(status.call([&](auto s) { return inMeta_->getMessageLength(s); }));
    outBuffer_.resize(status.call([&](auto s) { return outMeta_->getMessageLength(s); }));
    for (unsigned i = 0; i < outSlots_.size(); ++i) {
        const char* alias = status.call([&](auto s) { return outMeta_->getAlias(s, i); });
        columns_.push_back({alias, columnTypeOf(outSlots_[i].type, outSlots_[i].scale)});
    }
}

Statement::~Statement()
{
    Status status;
    try {
        closeCursor();
    } catch (const DbError&) {
    }
    if (statement_) {
        try {
            status.call([&](auto s) { statement_->free(s); });
        } catch (const DbError&) {
            statement_->release();
        }
    }
    if (inMeta_)
        inMeta_->release();
    if (outMeta_)
        outMeta_->release();
}

std::vector<Statement::Slot> Statement::describe(Firebird::IMessageMetadata* metadata)
{
    Status status;
    const unsigned count = status.call([&](auto s) { return metadata->getCount(s); });
    std::vector<Slot> slots;
    for (unsigned i = 0; i < count; ++i) {
        status.call([&](auto s) {
            slots.push_back({metadata->getType(s, i) & ~1u, static_cast<unsigned>(metadata->getSubType(s, i)),
                             metadata->getLength(s, i), metadata->getOffset(s, i),
                             metadata->getNullOffset(s, i), metadata->getScale(s, i)});
        });
    }
    return slots;
}

void Statement::writeParameters(Firebird::ITransaction* transaction, const std::vector<Value>& values)
{
    if (values.size() != parameters_.size())
        throw DbError("Число параметров не совпадает с запросом");
    std::fill(inBuffer_.begin(), inBuffer_.end(), 0);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const Slot& slot = parameters_[i];
        const Value& v = values[i];
        unsigned char* data = inBuffer_.data() + slot.offset;
        store<short>(inBuffer_.data() + slot.nullOffset, v.isNull() ? -1 : 0);
        if (v.isNull())
            continue;
        switch (slot.type) {
        case SqlShort:
            store<std::int16_t>(data, static_cast<std::int16_t>(v.asInt64()));
            break;
        case SqlLong:
            store<std::int32_t>(data, static_cast<std::int32_t>(v.asInt64()));
            break;
        case SqlInt64:
            store<std::int64_t>(data, v.asInt64());
            break;
        case SqlDouble:
            store<double>(data, v.asDouble());
            break;
        case SqlFloat:
            store<float>(data, static_cast<float>(v.asDouble()));
            break;
        case SqlDate:
            store<ISC_DATE>(data, encodeDate(v.asDate()));
            break;
        case SqlText:
        case SqlVarying: {
            const QByteArray text = v.asText();
            if (static_cast<unsigned>(text.size()) > slot.length)
                throw DbError("Текст длиннее поля (" + std::to_string(slot.length) + " символов)");
            if (slot.type == SqlVarying) {
                store<std::uint16_t>(data, static_cast<std::uint16_t>(text.size()));
                std::memcpy(data + 2, text.constData(), static_cast<std::size_t>(text.size()));
            } else {
                std::memset(data, ' ', slot.length);
                std::memcpy(data, text.constData(), static_cast<std::size_t>(text.size()));
            }
            break;
        }
        case SqlBlob: {
            const QByteArray bytes = v.asText();
            Status status;
            ISC_QUAD id{};
            Firebird::IBlob* blob =
                status.call([&](auto s) { return attachment_->createBlob(s, transaction, &id, 0, nullptr); });
            for (qsizetype at = 0; at < bytes.size(); at += 32768) {
                const auto piece = static_cast<unsigned>(std::min<qsizetype>(32768, bytes.size() - at));
                status.call([&](auto s) { blob->putSegment(s, piece, bytes.constData() + at); });
            }
            status.call([&](auto s) { blob->close(s); });
            store<ISC_QUAD>(data, id);
            break;
        }
        default:
            throw DbError("Неподдерживаемый тип параметра " + std::to_string(slot.type));
        }
    }
}

void Statement::execute(Firebird::ITransaction* transaction, const std::vector<Value>& parameters)
{
    writeParameters(transaction, parameters);
    Status status;
    status.call([&](auto s) {
        statement_->execute(s, transaction, inMeta_, inBuffer_.data(), outMeta_,
                            outBuffer_.empty() ? nullptr : outBuffer_.data());
    });
}

Row Statement::selectOne(Firebird::ITransaction* transaction, const std::vector<Value>& parameters)
{
    execute(transaction, parameters);
    Row row;
    readRow(row);
    return row;
}

void Statement::open(Firebird::ITransaction* transaction, const std::vector<Value>& parameters)
{
    closeCursor();
    writeParameters(transaction, parameters);
    Status status;
    cursor_ = status.call([&](auto s) {
        return statement_->openCursor(s, transaction, inMeta_, inBuffer_.data(), outMeta_, 0);
    });
}

bool Statement::fetch(Row& row)
{
    if (!cursor_)
        return false;
    Status status;
    const int result = status.call([&](auto s) { return cursor_->fetchNext(s, outBuffer_.data()); });
    if (result != Firebird::IStatus::RESULT_OK)
        return false;
    readRow(row);
    return true;
}

void Statement::readRow(Row& row) const
{
    row.clear();
    row.reserve(outSlots_.size());
    for (unsigned i = 0; i < outSlots_.size(); ++i)
        row.push_back(readColumn(i));
}

Value Statement::readColumn(unsigned index) const
{
    const Slot& slot = outSlots_[index];
    const unsigned char* data = outBuffer_.data() + slot.offset;
    if (load<short>(outBuffer_.data() + slot.nullOffset) != 0)
        return {};
    switch (slot.type) {
    case SqlShort:
        return slot.scale ? Value::real(scaled(load<std::int16_t>(data), slot.scale))
                          : Value::integer(load<std::int16_t>(data));
    case SqlLong:
        return slot.scale ? Value::real(scaled(load<std::int32_t>(data), slot.scale))
                          : Value::integer(load<std::int32_t>(data));
    case SqlInt64:
        return slot.scale ? Value::real(scaled(load<std::int64_t>(data), slot.scale))
                          : Value::integer(load<std::int64_t>(data));
    case SqlDouble:
        return Value::real(load<double>(data));
    case SqlFloat:
        return Value::real(load<float>(data));
    case SqlDate:
        return Value::date(decodeDate(load<ISC_DATE>(data)));
    case SqlTimestamp:
        return Value::date(decodeDate(load<ISC_TIMESTAMP>(data).timestamp_date));
    case SqlVarying:
        return Value::text(QByteArray(reinterpret_cast<const char*>(data) + 2, load<std::uint16_t>(data)));
    case SqlText: {
        QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(slot.length));
        while (text.endsWith(' '))
            text.chop(1);
        return Value::text(text);
    }
    case SqlBlob:
        return Value::blob(BlobId{load<ISC_QUAD>(data)});
    default:
        return {};
    }
}

void Statement::closeCursor()
{
    if (!cursor_)
        return;
    Firebird::IResultSet* cursor = cursor_;
    cursor_ = nullptr;
    Status status;
    try {
        status.call([&](auto s) { cursor->close(s); });
    } catch (const DbError&) {
        cursor->release();
        throw;
    }
}

QByteArray Statement::readBlob(Firebird::IAttachment* attachment, Firebird::ITransaction* transaction,
                               const BlobId& id)
{
    Status status;
    ISC_QUAD quad = id.quad;
    Firebird::IBlob* blob =
        status.call([&](auto s) { return attachment->openBlob(s, transaction, &quad, 0, nullptr); });
    QByteArray bytes;
    char buffer[32768];
    for (;;) {
        unsigned got = 0;
        const int result =
            status.call([&](auto s) { return blob->getSegment(s, sizeof buffer, buffer, &got); });
        if (result == Firebird::IStatus::RESULT_NO_DATA)
            break;
        bytes.append(buffer, got);
    }
    status.call([&](auto s) { blob->close(s); });
    return bytes;
}

Statement& ReusedStatement::prepare(Connection& connection, Firebird::ITransaction* transaction,
                                    const QByteArray& sql)
{
    if (!statement_ || sql != sql_ || connection.attachmentNumber() != attachmentNumber_) {
        statement_.reset();
        statement_ = std::make_unique<Statement>(connection, transaction, sql);
        sql_ = sql;
        attachmentNumber_ = connection.attachmentNumber();
    }
    return *statement_;
}

} // namespace data
