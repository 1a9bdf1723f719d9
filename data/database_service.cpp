#include "data/database_service.h"

#include <QFile>
#include <QRegularExpression>

#include <chrono>
#include <thread>

#include "data/connection.h"
#include "platform/win1251.h"

namespace data {

namespace {

// The threads of this process.
int threadCount()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("Threads:"))
            return line.mid(8).trimmed().toInt();
    return 0;
}

// The engine answers a service's last line before the service's thread has finished, and nothing in
// the interface waits for that thread; a process that ends, or shuts the engine down, meanwhile
// crashes in it. Waits, a second at most, until the process has no more threads than before the service
// started.
void awaitThreadEnd(int threadsBefore)
{
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + 1s;
    while (threadCount() > threadsBefore && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
}

// A two-byte or four-byte little-endian number of a service's answer.
unsigned number(const unsigned char* bytes, int size)
{
    unsigned value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

[[noreturn]] void unreadable()
{
    throw DbError("Служба сервера Firebird дала непонятный ответ");
}

// The most a query sends or receives at once: the engine counts both in two bytes.
constexpr unsigned MaxPiece = 65000;

// The next bytes of the file as the piece of standard input that a service query sends: the tag, the
// length and the bytes; the length is 0 at the file's end.
std::vector<unsigned char> nextPiece(QFile& file, unsigned wanted)
{
    std::vector<unsigned char> piece(3 + wanted);
    const qint64 read = file.read(reinterpret_cast<char*>(piece.data() + 3), wanted);
    if (read < 0)
        throw DbError(file.errorString().toStdString());
    piece.resize(3 + static_cast<std::size_t>(read));
    piece[0] = isc_info_svc_line;
    piece[1] = static_cast<unsigned char>(read & 0xFF);
    piece[2] = static_cast<unsigned char>(read >> 8);
    return piece;
}

// A service manager attachment. On destruction it detaches and waits for the thread of the service it
// started.
class ServiceAttachment
{
public:
    ServiceAttachment(const std::string& name, const std::string& user, const std::string& password)
    {
        const std::vector<unsigned char> spb =
            parameterBlock(Firebird::IXpbBuilder::SPB_ATTACH, [&](auto* builder, auto* s) {
                builder->insertTag(s, isc_spb_current_version);
                builder->insertString(s, isc_spb_user_name, user.c_str());
                builder->insertString(s, isc_spb_password, password.c_str());
            });
        service_ = status_.call([&](auto s) {
            return FbClient::instance().provider()->attachServiceManager(
                s, name.c_str(), static_cast<unsigned>(spb.size()), spb.data());
        });
        threadsBefore_ = threadCount();
    }
    ~ServiceAttachment()
    {
        try {
            status_.call([&](auto s) { service_->detach(s); });
        } catch (const DbError&) {
            service_->release();
        }
        awaitThreadEnd(threadsBefore_);
    }
    ServiceAttachment(const ServiceAttachment&) = delete;
    ServiceAttachment& operator=(const ServiceAttachment&) = delete;

    void start(const std::vector<unsigned char>& request)
    {
        status_.call(
            [&](auto s) { service_->start(s, static_cast<unsigned>(request.size()), request.data()); });
    }

    // The service's output, line by line, until it ends; its failure is thrown as DbError.
    QStringList outputLines()
    {
        QStringList lines;
        for (;;) {
            const unsigned char* answer = query({}, {isc_info_svc_line});
            if (answer[0] != isc_info_svc_line)
                unreadable();
            const unsigned length = number(answer + 1, 2);
            if (length == 0)
                return lines;
            lines.append(platform::fromWin1251(
                QByteArray(reinterpret_cast<const char*>(answer + 3), static_cast<qsizetype>(length))));
        }
    }

    // Writes what the service puts on its standard output (a backup to "stdout") into the file, until
    // the service ends.
    void receiveInto(QFile& file)
    {
        for (;;) {
            const unsigned char* answer = query({}, {isc_info_svc_to_eof});
            if (answer[0] != isc_info_svc_to_eof)
                unreadable();
            const unsigned length = number(answer + 1, 2);
            if (file.write(reinterpret_cast<const char*>(answer + 3), length) != length)
                throw DbError(file.errorString().toStdString());
            if (length == 0 && answer[3] == isc_info_end)
                return;
        }
    }

    // Gives the service the file as its standard input (a restore from "stdin"), as much at a time as
    // it asks for and an empty piece at the file's end; returns when the service has ended.
    void sendFrom(QFile& file)
    {
        std::vector<unsigned char> piece;
        for (;;) {
            const unsigned char* answer = query(piece, {isc_info_svc_stdin, isc_info_svc_line});
            piece.clear();
            bool ended = false;
            for (const unsigned char* item = answer; *item != isc_info_end;) {
                if (*item == isc_info_svc_stdin) {
                    const unsigned wanted = number(item + 1, 4);
                    item += 5;
                    if (wanted > 0)
                        piece = nextPiece(file, std::min(wanted, MaxPiece));
                } else if (*item == isc_info_svc_line) {
                    const unsigned length = number(item + 1, 2);
                    item += 3 + length;
                    ended = length == 0 && *item == isc_info_end;
                } else if (*item == isc_info_data_not_ready || *item == isc_info_truncated ||
                           *item == isc_info_svc_timeout) {
                    ++item;
                } else {
                    unreadable();
                }
            }
            if (ended && piece.empty())
                return;
        }
    }

private:
    const unsigned char* query(const std::vector<unsigned char>& send,
                               std::initializer_list<unsigned char> items)
    {
        const std::vector<unsigned char> receive(items);
        status_.call([&](auto s) {
            service_->query(s, static_cast<unsigned>(send.size()), send.data(),
                            static_cast<unsigned>(receive.size()), receive.data(),
                            static_cast<unsigned>(buffer_.size()), buffer_.data());
        });
        return buffer_.data();
    }

    Status status_;
    Firebird::IService* service_ = nullptr;
    int threadsBefore_ = 0;
    std::vector<unsigned char> buffer_ = std::vector<unsigned char>(MaxPiece);
};

} // namespace

DatabaseService::DatabaseService(const Connection& database)
    : serviceManager_(database.onServer() ? database.server() + ":service_mgr" : "service_mgr"),
      user_(database.onServer() ? database.user() : Connection::UserName),
      password_(database.onServer() ? database.password() : Connection::Password),
      databasePath_(database.databaseOnEngine()), remote_(database.onServer())
{
}

void DatabaseService::backup(const std::string& backupPath) const
{
    QFile file(QString::fromStdString(backupPath));
    if (remote_ && !file.open(QIODevice::WriteOnly))
        throw DbError(file.errorString().toStdString());
    ServiceAttachment service(serviceManager_, user_, password_);
    service.start(parameterBlock(Firebird::IXpbBuilder::SPB_START, [&](auto* builder, auto* s) {
        builder->insertTag(s, isc_action_svc_backup);
        builder->insertString(s, isc_spb_dbname, databasePath_.c_str());
        builder->insertString(s, isc_spb_bkp_file, remote_ ? "stdout" : backupPath.c_str());
    }));
    if (!remote_) {
        service.outputLines();
        return;
    }
    service.receiveInto(file);
    if (!file.flush())
        throw DbError(file.errorString().toStdString());
}

void DatabaseService::restore(const std::string& backupPath, bool replace) const
{
    QFile file(QString::fromStdString(backupPath));
    if (remote_ && !file.open(QIODevice::ReadOnly))
        throw DbError(file.errorString().toStdString());
    ServiceAttachment service(serviceManager_, user_, password_);
    service.start(parameterBlock(Firebird::IXpbBuilder::SPB_START, [&](auto* builder, auto* s) {
        builder->insertTag(s, isc_action_svc_restore);
        builder->insertString(s, isc_spb_bkp_file, remote_ ? "stdin" : backupPath.c_str());
        builder->insertString(s, isc_spb_dbname, databasePath_.c_str());
        builder->insertInt(s, isc_spb_options, replace ? isc_spb_res_replace : isc_spb_res_create);
    }));
    if (remote_)
        service.sendFrom(file);
    else
        service.outputLines();
}

QStringList DatabaseService::validate() const
{
    ServiceAttachment service(serviceManager_, user_, password_);
    service.start(parameterBlock(Firebird::IXpbBuilder::SPB_START, [&](auto* builder, auto* s) {
        builder->insertTag(s, isc_action_svc_validate);
        builder->insertString(s, isc_spb_dbname, databasePath_.c_str());
    }));
    static const QRegularExpression error(QStringLiteral("error|corrupt|wrong|damaged"),
                                          QRegularExpression::CaseInsensitiveOption);
    return service.outputLines().filter(error);
}

} // namespace data
