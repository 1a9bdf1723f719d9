#pragma once

#include <cerrno>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

#include <firebird/Interface.h>

namespace data {

// The one error type of the database layer: the engine's (or the layer's own) message.
class DbError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
    // An engine's error, with the error codes of its status vector.
    DbError(const std::string& message, std::vector<std::intptr_t> codes)
        : std::runtime_error(message), codes_(std::move(codes))
    {
    }

    // Whether another transaction changed the same rows at the same time (an update conflict, a
    // deadlock, or a key stored meanwhile): the same work done again in a new transaction may succeed.
    bool concurrentChange() const;
    // Whether a server refused the user name and password.
    bool loginRefused() const;
    // Whether the connection to a server broke (the server stopped, the network went away).
    bool connectionLost() const;
    // Whether the status vector holds any of these error codes.
    bool hasCode(std::initializer_list<std::intptr_t> wanted) const;
    const std::vector<std::intptr_t>& codes() const { return codes_; }

private:
    std::vector<std::intptr_t> codes_;
};

// The Firebird client library, loaded at run time so that its absence is reported by name.
class FbClient
{
public:
    static constexpr const char* LibraryName = "libfbclient.so.2";

    // Loads the library on first use; throws DbError naming the library when it cannot be loaded.
    static FbClient& instance();

    Firebird::IMaster* master() const { return master_; }
    Firebird::IUtil* util() const { return util_; }
    Firebird::IProvider* provider() const { return provider_; }

    // The text of a failed status vector, as the engine words it.
    std::string formatStatus(Firebird::IStatus* status) const;

    // The servers of the attachments open now, so that a broken connection is told by the server's
    // name: the engine's message does not name it.
    void noteServerAttached(const std::string& server) { servers_.push_back(server); }
    void noteServerDetached(const std::string& server);
    std::string attachedServers() const;

private:
    FbClient();
    std::vector<std::string> servers_;
    Firebird::IMaster* master_ = nullptr;
    Firebird::IUtil* util_ = nullptr;
    Firebird::IProvider* provider_ = nullptr;
};

// A status wrapper that turns every failed client call into DbError at once.
class Status
{
public:
    Status();
    ~Status();
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;

    Firebird::ThrowStatusWrapper* operator&() { return &wrapper_; }

    // Runs a client call and rethrows its failure as DbError with the engine's text, put in Russian
    // first when the connection to a server broke. errno is cleared first: the engine retries opening
    // its shared files while errno says EINTR, also after a call that succeeded, so an EINTR left by a
    // system call that a signal interrupted (a wait for a download) would keep an attach or detach
    // spinning for ever.
    template <typename F> decltype(auto) call(F&& f)
    {
        errno = 0;
        try {
            return f(&wrapper_);
        } catch (const Firebird::FbException& e) {
            throw error(e.getStatus());
        }
    }

private:
    static DbError error(Firebird::IStatus* status);
    static std::vector<std::intptr_t> errorCodes(Firebird::IStatus* status);

    Firebird::IStatus* status_;
    Firebird::ThrowStatusWrapper wrapper_;
};

using ParameterWriter = std::function<void(Firebird::IXpbBuilder*, Firebird::ThrowStatusWrapper*)>;

// The bytes of a parameter block of the given kind (IXpbBuilder::DPB, SPB_ATTACH, ...), filled by write.
std::vector<unsigned char> parameterBlock(unsigned kind, const ParameterWriter& write);

} // namespace data
