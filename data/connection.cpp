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
    struct sigaction interrupt_ {};
    struct sigaction terminate_ {};
};

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
        attachment_ = nullptr;
    }
}

Firebird::IAttachment* Connection::attachment()
{
    connect();
    return attachment_;
}

std::vector<unsigned char> Connection::parameterBlock(bool forCreate) const
{
    Status status;
    FbClient& client = FbClient::instance();
    Firebird::IXpbBuilder* dpb = status.call(
        [&](auto s) { return client.util()->getXpbBuilder(s, Firebird::IXpbBuilder::DPB, nullptr, 0); });
    status.call([&](auto s) {
        dpb->insertString(s, isc_dpb_user_name, UserName);
        dpb->insertString(s, isc_dpb_password, Password);
        dpb->insertString(s, isc_dpb_lc_ctype, CharacterSet);
        dpb->insertInt(s, isc_dpb_sql_dialect, 3);
        if (forcedWrites_)
            dpb->insertInt(s, isc_dpb_force_write, *forcedWrites_ ? 1 : 0);
        if (forCreate) {
            dpb->insertString(s, isc_dpb_set_db_charset, CharacterSet);
            dpb->insertInt(s, isc_dpb_page_size, 8192);
        }
    });
    const unsigned char* buffer = status.call([&](auto s) { return dpb->getBuffer(s); });
    const unsigned length = status.call([&](auto s) { return dpb->getBufferLength(s); });
    std::vector<unsigned char> bytes(buffer, buffer + length);
    dpb->dispose();
    return bytes;
}

void Connection::connect()
{
    if (attachment_)
        return;
    if (databaseName_.empty())
        throw DbError("Не задано имя базы данных");
    const std::vector<unsigned char> dpb = parameterBlock(false);
    KeepTerminationSignals keepSignals;
    Status status;
    attachment_ = status.call([&](auto s) {
        return FbClient::instance().provider()->attachDatabase(s, databaseName_.c_str(),
                                                               static_cast<unsigned>(dpb.size()), dpb.data());
    });
    ++attachmentNumber_;
}

void Connection::createDatabase()
{
    if (attachment_)
        throw DbError("Соединение уже открыто");
    const std::vector<unsigned char> dpb = parameterBlock(true);
    KeepTerminationSignals keepSignals;
    Status status;
    attachment_ = status.call([&](auto s) {
        return FbClient::instance().provider()->createDatabase(s, databaseName_.c_str(),
                                                               static_cast<unsigned>(dpb.size()), dpb.data());
    });
    ++attachmentNumber_;
}

void Connection::close()
{
    if (!attachment_)
        return;
    transaction_.commitIfActive();
    Status status;
    status.call([&](auto s) { attachment_->detach(s); });
    attachment_ = nullptr;
}

} // namespace data
