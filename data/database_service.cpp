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

// A service manager attachment. On destruction it detaches and waits for the thread of the service it
// started.
class ServiceAttachment
{
public:
    explicit ServiceAttachment(const std::string& name)
    {
        const std::vector<unsigned char> spb =
            parameterBlock(Firebird::IXpbBuilder::SPB_ATTACH, [](auto* builder, auto* s) {
                builder->insertTag(s, isc_spb_current_version);
                builder->insertString(s, isc_spb_user_name, Connection::UserName);
                builder->insertString(s, isc_spb_password, Connection::Password);
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
        const unsigned char items[] = {isc_info_svc_line};
        std::vector<unsigned char> buffer(16384);
        for (;;) {
            status_.call([&](auto s) {
                service_->query(s, 0, nullptr, sizeof items, items, static_cast<unsigned>(buffer.size()),
                                buffer.data());
            });
            if (buffer[0] != isc_info_svc_line)
                throw DbError("Служба сервера Firebird дала непонятный ответ");
            const unsigned length = buffer[1] | (buffer[2] << 8);
            if (length == 0)
                return lines;
            lines.append(platform::fromWin1251(QByteArray(reinterpret_cast<const char*>(buffer.data() + 3),
                                                          static_cast<qsizetype>(length))));
        }
    }

private:
    Status status_;
    Firebird::IService* service_ = nullptr;
    int threadsBefore_ = 0;
};

// A server's database is named "host:path" or "host/port:path"; a local one by its path alone.
struct DatabaseAddress
{
    std::string host;
    std::string path;
};

DatabaseAddress split(const std::string& databaseName)
{
    const std::size_t colon = databaseName.find(':');
    if (databaseName.starts_with('/') || colon == std::string::npos)
        return {{}, databaseName};
    return {databaseName.substr(0, colon), databaseName.substr(colon + 1)};
}

} // namespace

DatabaseService::DatabaseService(std::string databaseName)
{
    DatabaseAddress address = split(databaseName);
    serviceManager_ = address.host.empty() ? "service_mgr" : address.host + ":service_mgr";
    databasePath_ = std::move(address.path);
}

void DatabaseService::backup(const std::string& backupPath) const
{
    run(parameterBlock(Firebird::IXpbBuilder::SPB_START, [&](auto* builder, auto* s) {
        builder->insertTag(s, isc_action_svc_backup);
        builder->insertString(s, isc_spb_dbname, databasePath_.c_str());
        builder->insertString(s, isc_spb_bkp_file, backupPath.c_str());
    }));
}

void DatabaseService::restore(const std::string& backupPath) const
{
    run(parameterBlock(Firebird::IXpbBuilder::SPB_START, [&](auto* builder, auto* s) {
        builder->insertTag(s, isc_action_svc_restore);
        builder->insertString(s, isc_spb_bkp_file, backupPath.c_str());
        builder->insertString(s, isc_spb_dbname, databasePath_.c_str());
        builder->insertInt(s, isc_spb_options, isc_spb_res_create);
    }));
}

QStringList DatabaseService::validate() const
{
    const QStringList lines =
        run(parameterBlock(Firebird::IXpbBuilder::SPB_START, [&](auto* builder, auto* s) {
            builder->insertTag(s, isc_action_svc_validate);
            builder->insertString(s, isc_spb_dbname, databasePath_.c_str());
        }));
    static const QRegularExpression error(QStringLiteral("error|corrupt|wrong|damaged"),
                                          QRegularExpression::CaseInsensitiveOption);
    return lines.filter(error);
}

QStringList DatabaseService::run(const std::vector<unsigned char>& request) const
{
    ServiceAttachment service(serviceManager_);
    service.start(request);
    return service.outputLines();
}

} // namespace data
