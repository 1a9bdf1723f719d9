#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/fb_client.h"

namespace data {

class Dataset;

// The single transaction of a connection. Open and execute start it; only an explicit commit ends it,
// and a commit first closes every open result of the datasets that use it.
class Transaction
{
public:
    explicit Transaction(class Connection& connection) : connection_(connection) {}
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool inTransaction() const { return handle_ != nullptr; }
    // Starts a transaction (connecting first) when none runs.
    void activate();
    // Closes every open dataset, then commits. Committing with no running transaction is an error.
    void commit();
    // Commits when a transaction runs; does nothing otherwise.
    void commitIfActive();
    // Closes every open dataset, then undoes the running transaction's changes, so that work that a
    // concurrent change made fail can be done again (see retryOnConcurrentChange).
    void rollback();

    // The running transaction, started when needed.
    Firebird::ITransaction* handle();

    void attach(Dataset* dataset);
    void detach(Dataset* dataset);

private:
    friend class Connection;
    void closeDatasets();
    void commitHandle();
    void abandonHandle();

    Connection& connection_;
    Firebird::ITransaction* handle_ = nullptr;
    std::vector<Dataset*> datasets_;
};

// One connection to a database: the local file through the embedded engine, or a database on a Firebird
// server with a user and password of that server; character set WIN1251, dialect 3.
class Connection
{
public:
    static constexpr const char* UserName = "sysdba";
    static constexpr const char* Password = "quillwork";
    static constexpr const char* CharacterSet = "WIN1251";

    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setDatabaseName(std::string path) { databaseName_ = std::move(path); }
    // Switches the file's forced writes on or off at the next attach or create; unset leaves them as
    // the file has them.
    void setForcedWrites(bool on) { forcedWrites_ = on; }
    const std::string& databaseName() const { return databaseName_; }
    // The database name is a server's ("host/port:database"): the attach logs in as this user of the
    // server, and a failed attach is told in words that name the server.
    void setServerLogin(std::string server, std::string user, std::string password);
    bool onServer() const { return !server_.empty(); }
    // The server ("host" or "host/port"), its user and that user's password; empty for the local file.
    const std::string& server() const { return server_; }
    const std::string& user() const { return user_; }
    const std::string& password() const { return password_; }
    // The database as the engine that holds it names it: the file's path, or for a server the alias or
    // path there.
    std::string databaseOnEngine() const;
    // Aims this connection at another database of the engine that holds the other connection's, with
    // its login.
    void aimBeside(const Connection& other, const std::string& databaseOnEngine);

    bool connected() const { return attachment_ != nullptr; }
    // Connects when not connected; does nothing otherwise.
    void connect();
    // Commits a running transaction, then detaches.
    void close();

    Transaction& defaultTransaction() { return transaction_; }
    Firebird::IAttachment* attachment();
    // Counts the attaches, so that statements prepared for an earlier attachment are known as stale.
    std::uint64_t attachmentNumber() const { return attachmentNumber_; }

    // Creates a new, empty database file with the connection settings and attaches to it.
    void createDatabase();
    // Removes the attached database, its file included, and detaches.
    void dropDatabase();

private:
    std::vector<unsigned char> parameterBlock(bool forCreate) const;
    // Attaches or creates; a server's refusal becomes a message naming the server.
    Firebird::IAttachment* attachOrCreate(bool create);
    void rememberAttachment(Firebird::IAttachment* attachment);
    void forgetAttachment();

    std::string databaseName_;
    std::string server_;
    std::string user_;
    std::string password_;
    std::optional<bool> forcedWrites_;
    Firebird::IAttachment* attachment_ = nullptr;
    std::uint64_t attachmentNumber_ = 0;
    Transaction transaction_;
};

// How often a write is done in all while other processes change the same rows at the same moment.
constexpr int ConcurrentChangeAttempts = 20;

// Does work, which runs in the transaction and commits it, again in a new transaction while it fails
// because another transaction changed the same rows at the same time: at most attempts times in all,
// the last failure thrown. The running transaction is undone after each failure, so the work must
// start with nothing else of the caller's uncommitted in it.
template <typename Work>
void retryOnConcurrentChange(Transaction& transaction, const Work& work, int attempts = ConcurrentChangeAttempts)
{
    for (int attempt = 1;; ++attempt) {
        try {
            work();
            return;
        } catch (const DbError& e) {
            if (!e.concurrentChange())
                throw;
            if (transaction.inTransaction())
                transaction.rollback();
            if (attempt == attempts)
                throw;
        }
    }
}

} // namespace data
