#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <map>
#include <stdexcept>
#include <vector>

class QIODevice;

namespace platform {

// A zip archive's fault: not a zip, damaged, or using what this reader does not read. The message
// says which, in Russian.
class ZipError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct ZipEntry
{
    QString name;
    QByteArray bytes;
};

// Writes the entries as a zip archive whose members are stored, not compressed, which every unzip
// tool reads. Entries and the archive must stay under 4 GiB; false when the device fails to write.
bool writeStoredZip(QIODevice& out, const std::vector<ZipEntry>& entries, const QDateTime& modified);

// The members of a zip archive of stored members, by name; each member's checksum is verified. Any
// other archive is refused with ZipError.
std::map<QString, QByteArray> readStoredZip(const QByteArray& archive);

} // namespace platform
