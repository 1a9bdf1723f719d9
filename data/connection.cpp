#include "data/connection.h"

#include <algorithm>
#include <csignal>

#include "data/dataset.h"

namespace data {

namespace {

// The engine takes over SIGINT and SIGTERM when it starts and then only shuts itself down on them,
// leaving the process running with a dead connection. The dispositions the process had are put back
// after every attach, so these signals end the program, or reach its own handler, as usual.
class KeepTerminationSignals
{
public:
    KeepTerminationSignals()
    {
        sigaction(SIGINT, nullptr, &interrupt_);
        sigaction(SIGTERM, nullptr, &terminate_);
    }
    ~KeepTerminationSignals()
    {
        sigaction(SIGINT, &interrupt_, nullptr);
        sigaction(SIGTERM, &terminate_, nullptr);
    }
    KeepTerminationSignals(const KeepTerminationSignals&) = delete;
    KeepTerminationSignals& operator=(const KeepTerminationSignals&) = delete;

private:
    struct sigaction interrupt_
    {
    };
    struct sigaction terminate_
    {
    };
};

// A server's refusal to attach, in words that name the server and say what to do, then the engine's.
std::string serverRefusal(const DbError& error, const std::string& server, const std::string& user)
{
    const std::string named = "Сервер базы данных " + server;
    std::string text;
    if (error.loginRefused())
        text = named + " не принял пользователя " + user + " с этим паролем";
    else if (error.hasCode({isc_net_lookup_err}))
        text = named +
               " не найден: компьютера с таким именем в сети нет (conf.ini, раздел [Database], ключ Server)";
    else if (error.hasCode({isc_net_connect_err}))
        text = named + " не отвечает: он выключен, на нём не запущен Firebird или порт закрыт";
    else if (error.hasCode({isc_wirecrypt_incompatible, isc_miss_wirecrypt}))
        text = named + " не шифрует соединение; в его firebird.conf нужно WireCrypt = Enabled или Required";
    else if (error.connectionLost())
        text = named + " разорвал соединение";
    else
        text = "Не удалось открыть базу данных на сервере " + server;
    return text + " (" + error.what() + ")";
}

} // namespace

Transaction::~Transaction()
{
    abandonHandle();
}

void Transaction::activate()
{
    handle();
}

Firebird::ITransaction* Transaction::handle()
{
    if (!handle_) {
        Firebird::IAttachment* attachment = connection_.attachment();
        Status status;
        handle_ = status.call([&](auto s) { return attachment->startTransaction(s, 0, nullptr); });
    }
    return handle_;
}

void Transaction::commit()
{
    if (!handle_)
        throw DbError("Транзакция не запущена");
    closeDatasets();
    commitHandle();
}

void Transaction::rollback()
{
    if (!handle_)
        throw DbError("Транзакция не запущена");
    closeDatasets();
    Status status;
    status.call([&](auto s) { handle_->rollback(s); });
    handle_ = nullptr;
}

void Transaction::closeDatasets()
{
    for (Dataset* dataset : std::vector<Dataset*>(datasets_))
        dataset->close();
}

void Transaction::commitHandle()
{
    Status status;
    status.call([&](auto s) { handle_->commit(s); });
    handle_ = nullptr;
}

void Transaction::abandonHandle()
{
    if (!handle_)
        return;
    Status status;
    try {
        status.call([&](auto s) { handle_->rollback(s); });
    } catch (const DbError&) {
        handle_->release();
    }
    handle_ = nullptr;
}

void Transaction::commitIfActive()
{
    if (inTransaction())
        commit();
}

void Transaction::attach(Dataset* dataset)
{
    datasets_.push_back(dataset);
}

void Transaction::detach(Dataset* dataset)
{
    std::erase(datasets_, dataset);
}

Connection::Connection() : transaction_(*this) {}

Connection::~Connection()
{
    try {
        close();
    } catch (const DbError&) {
        // A destructor must not throw; the engine rolls back what could not be committed.
        transaction_.abandonHandle();
        if (attachment_)
            attachment_->release();
        forgetAttachment();
    }
}

void Connection::rememberAttachment(Firebird::IAttachment* attachment)
{
    attachment_ = attachment;
    ++attachmentNumber_;
    if (onServer())
        FbClient::instance().noteServerAttached(server_);
}

void Connection::forgetAttachment()
{
    if (attachment_ && onServer())
        FbClient::instance().noteServerDetached(server_);
    attachment_ = nullptr;
}

Firebird::IAttachment* Connection::attachment()
{
    connect();
    return attachment_;
}

std::vector<unsigned char> Connection::parameterBlock(bool forCreate) const
{
    return data::parameterBlock(Firebird::IXpbBuilder::DPB, [&](auto* dpb, auto* s) {
        dpb->insertString(s, isc_dpb_user_name, onServer() ? user_.c_str() : UserName);
        dpb->insertString(s, isc_dpb_password, onServer() ? password_.c_str() : Password);
        dpb->insertString(s, isc_dpb_lc_ctype, CharacterSet);
        dpb->insertInt(s, isc_dpb_sql_dialect, 3);
        if (forcedWrites_)
            dpb->insertInt(s, isc_dpb_force_write, *forcedWrites_ ? 1 : 0);
        if (forCreate) {
            dpb->insertString(s, isc_dpb_set_db_charset, CharacterSet);
            dpb->insertInt(s, isc_dpb_page_size, 8192);
        }
    });
}

void Connection::setServerLogin(std::string server, std::string user, std::string password)
{
    server_ = std::move(server);
    user_ = std::move(user);
    password_ = std::move(password);
}

std::string Connection::databaseOnEngine() const
{
    return onServer() ? databaseName_.substr(databaseName_.find(':') + 1) : databaseName_;
}

void Connection::aimBeside(const Connection& other, const std::string& databaseOnEngine)
{
    setDatabaseName(other.onServer() ? other.server_ + ':' + databaseOnEngine : databaseOnEngine);
    setServerLogin(other.server_, other.user_, other.password_);
}

Firebird::IAttachment* Connection::attachOrCreate(bool create)
{
    if (databaseName_.empty())
        throw DbError("Не задано имя базы данных");
    if (onServer() && password_.empty())
        throw DbError("Пароль пользователя " + user_ + " для сервера базы данных " + server_ +
                      " не введён: база данных не открыта");
    const std::vector<unsigned char> dpb = parameterBlock(create);
    KeepTerminationSignals keepSignals;
    Status status;
    Firebird::IProvider* provider = FbClient::instance().provider();
    const auto length = static_cast<unsigned>(dpb.size());
    try {
        return status.call([&](auto s) {
            return create ? provider->createDatabase(s, databaseName_.c_str(), length, dpb.data())
                          : provider->attachDatabase(s, databaseName_.c_str(), length, dpb.data());
        });
    } catch (const DbError& e) {
        if (!onServer())
            throw;
        throw DbError(serverRefusal(e, server_, user_), e.codes());
    }
}

void Connection::connect()
{
    if (attachment_)
        return;
    rememberAttachment(attachOrCreate(false));
}

void Connection::createDatabase()
{
    if (attachment_)
        throw DbError("Соединение уже открыто");
    rememberAttachment(attachOrCreate(true));
}

void Connection::dropDatabase()
{
    connect();
    transaction_.abandonHandle();
    Status status;
    status.call([&](auto s) { attachment_->dropDatabase(s); });
    forgetAttachment();
}

void Connection::close()
{
    if (!attachment_)
        return;
    transaction_.commitIfActive();
    Status status;
    status.call([&](auto s) { attachment_->detach(s); });
    forgetAttachment();
}

} // namespace data
