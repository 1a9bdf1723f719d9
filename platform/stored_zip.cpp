#include "platform/stored_zip.h"

#include <QIODevice>

#include <array>
#include <cstdint>
#include <limits>

namespace platform {

namespace {

constexpr std::uint32_t LocalHeaderSignature = 0x04034b50;
constexpr std::uint32_t CentralHeaderSignature = 0x02014b50;
constexpr std::uint32_t EndSignature = 0x06054b50;
constexpr std::uint16_t VersionNeeded = 20;
constexpr std::uint16_t Utf8Names = 0x0800;
constexpr qsizetype LocalHeaderSize = 30;
constexpr qsizetype CentralHeaderSize = 46;
constexpr qsizetype EndSize = 22;

std::uint32_t crc32(const QByteArray& bytes)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xffffffffu;
    for (const char byte : bytes)
        crc = table[(crc ^ static_cast<unsigned char>(byte)) & 0xff] ^ (crc >> 8);
    return crc ^ 0xffffffffu;
}

void put16(QByteArray& out, std::uint16_t v)
{
    out.append(static_cast<char>(v & 0xff)).append(static_cast<char>(v >> 8));
}

void put32(QByteArray& out, std::uint32_t v)
{
    put16(out, static_cast<std::uint16_t>(v & 0xffff));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

std::uint32_t get(const QByteArray& in, qsizetype at, int size)
{
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(in[at + i]);
    return v;
}

// The MS-DOS time and date of the zip headers.
std::pair<std::uint16_t, std::uint16_t> dosTime(const QDateTime& when)
{
    const QDate d = when.date();
    const QTime t = when.time();
    const int year = std::clamp(d.year(), 1980, 2107);
    return {static_cast<std::uint16_t>(t.hour() << 11 | t.minute() << 5 | t.second() / 2),
            static_cast<std::uint16_t>((year - 1980) << 9 | d.month() << 5 | d.day())};
}

// The fields that the local and the central header of a member share, from "version needed" on.
QByteArray sharedFields(const QByteArray& name, const QByteArray& bytes, const QDateTime& modified)
{
    QByteArray fields;
    put16(fields, VersionNeeded);
    put16(fields, Utf8Names);
    put16(fields, 0); // stored
    const auto [time, date] = dosTime(modified);
    put16(fields, time);
    put16(fields, date);
    put32(fields, crc32(bytes));
    put32(fields, static_cast<std::uint32_t>(bytes.size()));
    put32(fields, static_cast<std::uint32_t>(bytes.size()));
    put16(fields, static_cast<std::uint16_t>(name.size()));
    put16(fields, 0); // no extra field
    return fields;
}

[[noreturn]] void refuse(const QString& why)
{
    throw ZipError(why.toStdString());
}

void require(bool condition, const char* what)
{
    if (!condition)
        refuse(QStringLiteral("файл не является целым zip-архивом (%1)").arg(QString::fromUtf8(what)));
}

qsizetype endRecordAt(const QByteArray& archive)
{
    const qsizetype lowest = std::max<qsizetype>(0, archive.size() - EndSize - 0xffff);
    for (qsizetype at = archive.size() - EndSize; at >= lowest; --at)
        if (get(archive, at, 4) == EndSignature)
            return at;
    refuse(QStringLiteral("файл не является zip-архивом"));
}

} // namespace

bool writeStoredZip(QIODevice& out, const std::vector<ZipEntry>& entries, const QDateTime& modified)
{
    constexpr qint64 limit = std::numeric_limits<std::uint32_t>::max();
    QByteArray directory;
    qint64 offset = 0;
    for (const ZipEntry& entry : entries) {
        const QByteArray name = entry.name.toUtf8();
        if (entry.bytes.size() >= limit || offset >= limit)
            refuse(QStringLiteral("%1 больше 4 ГиБ: такой архив не записать").arg(entry.name));
        const QByteArray fields = sharedFields(name, entry.bytes, modified);
        QByteArray local;
        put32(local, LocalHeaderSignature);
        local.append(fields).append(name);
        put32(directory, CentralHeaderSignature);
        put16(directory, VersionNeeded); // made by
        directory.append(fields);
        put16(directory, 0); // no comment
        put16(directory, 0); // disk
        put16(directory, 0); // internal attributes
        put32(directory, 0); // external attributes
        put32(directory, static_cast<std::uint32_t>(offset));
        directory.append(name);
        if (out.write(local) != local.size() || out.write(entry.bytes) != entry.bytes.size())
            return false;
        offset += local.size() + entry.bytes.size();
    }
    if (offset >= limit)
        refuse(QStringLiteral("архив больше 4 ГиБ: такой архив не записать"));
    QByteArray end;
    put32(end, EndSignature);
    put16(end, 0);
    put16(end, 0);
    put16(end, static_cast<std::uint16_t>(entries.size()));
    put16(end, static_cast<std::uint16_t>(entries.size()));
    put32(end, static_cast<std::uint32_t>(directory.size()));
    put32(end, static_cast<std::uint32_t>(offset));
    put16(end, 0);
    return out.write(directory) == directory.size() && out.write(end) == end.size();
}

std::map<QString, QByteArray> readStoredZip(const QByteArray& archive)
{
    require(archive.size() >= EndSize, "слишком короткий");
    const qsizetype end = endRecordAt(archive);
    const qsizetype count = get(archive, end + 10, 2);
    qsizetype at = get(archive, end + 16, 4);
    require(at + static_cast<qsizetype>(get(archive, end + 12, 4)) <= end, "оглавление за концом файла");
    std::map<QString, QByteArray> members;
    for (qsizetype i = 0; i < count; ++i) {
        require(at + CentralHeaderSize <= end && get(archive, at, 4) == CentralHeaderSignature, "оглавление");
        const std::uint32_t method = get(archive, at + 10, 2);
        const std::uint32_t crc = get(archive, at + 16, 4);
        const qsizetype size = get(archive, at + 20, 4);
        const qsizetype nameLength = get(archive, at + 28, 2);
        const qsizetype skipped = get(archive, at + 30, 2) + get(archive, at + 32, 2);
        const qsizetype local = get(archive, at + 42, 4);
        const QString name = QString::fromUtf8(archive.mid(at + CentralHeaderSize, nameLength));
        if (method != 0 || get(archive, at + 24, 4) != size)
            refuse(QStringLiteral("%1 в архиве сжат; читаются только архивы без сжатия").arg(name));
        require(local + LocalHeaderSize <= end && get(archive, local, 4) == LocalHeaderSignature,
                "заголовок члена");
        const qsizetype data =
            local + LocalHeaderSize + get(archive, local + 26, 2) + get(archive, local + 28, 2);
        require(data + size <= end, "член архива обрывается");
        QByteArray bytes = archive.mid(data, size);
        if (crc32(bytes) != crc)
            refuse(QStringLiteral("%1 в архиве повреждён (контрольная сумма не сходится)").arg(name));
        members[name] = std::move(bytes);
        at += CentralHeaderSize + nameLength + skipped;
    }
    return members;
}

} // namespace platform
