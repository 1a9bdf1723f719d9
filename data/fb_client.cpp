#include "data/fb_client.h"

#include "platform/win1251.h"

#include <algorithm>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace data {

namespace {

// The engine's lock files, and the configuration below, live in a directory of the user's own. All
// processes that open the same database must share the lock directory or they corrupt it; the engine's
// default (/tmp/firebird) belongs to whoever created it first. The directory lies in the shared
// temporary directory, so it must be ours and closed to others before anything in it is trusted.
std::filesystem::path privateEngineDirectory()
{
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("photoledger-firebird-" + std::to_string(getuid()));
    mkdir(dir.c_str(), 0700);
    struct stat status
    {
    };
    if (lstat(dir.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != getuid() ||
        (status.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        throw DbError("Каталог " + dir.string() +
                      " должен принадлежать текущему пользователю и быть закрыт для других");
    return dir;
}

// Writes the file whole under another name first, so that a process starting meanwhile never reads
// half of it.
void writeFileAtomically(const std::filesystem::path& path, const std::string& text)
{
    const std::filesystem::path partial = path.string() + "." + std::to_string(getpid());
    {
        std::ofstream out(partial, std::ios::trunc);
        out << text;
        if (!out.flush())
            throw DbError("Не удалось записать " + partial.string());
    }
    std::filesystem::rename(partial, path);
}

// The engine loads its character sets from "intl" under its root, and does not follow a symbolic link
// there: the root gets a hard link to the installed module or, across file systems, a copy of it.
void provideCharacterSets(const std::filesystem::path& root)
{
    namespace fs = std::filesystem;
    const fs::path installed = FIREBIRD_INTL_MODULE;
    const fs::path module = root / "intl" / installed.filename();
    std::error_code error;
    if (fs::file_size(module, error) == fs::file_size(installed) &&
        fs::last_write_time(module, error) == fs::last_write_time(installed))
        return;
    fs::create_directories(module.parent_path());
    const fs::path partial = module.string() + "." + std::to_string(getpid());
    fs::remove(partial, error);
    fs::create_hard_link(installed, partial, error);
    if (error) {
        fs::copy_file(installed, partial);
        fs::last_write_time(partial, fs::last_write_time(installed));
    }
    fs::rename(partial, module);
}

// In its default mode the embedded engine opens a database file for one process only. In the classic
// mode, processes share the file through the lock table in the lock directory, so the program, a
// second copy of it and the command-line collector work on one database at once. The engine reads the
// mode from firebird.conf in its root directory, named by FIREBIRD; a root of our own keeps the
// system's Firebird configuration as it is. The engine finds its plugins and messages where they are
// installed. The page cache is the engine's usual 16 MiB, which the classic mode would otherwise cut to
// 2 MiB. A database on a server is reached only over an encrypted connection: the client refuses a
// server that does not encrypt.
void prepareSharedEngine()
{
    const std::filesystem::path dir = privateEngineDirectory();
    setenv("FIREBIRD_LOCK", dir.c_str(), 0);
    const std::filesystem::path root = dir / "root";
    std::filesystem::create_directories(root);
    writeFileAtomically(root / "firebird.conf",
                        "ServerMode = Classic\nDefaultDbCachePages = 2048\nWireCrypt = Required\n");
    provideCharacterSets(root);
    setenv("FIREBIRD", root.c_str(), 1);
}

} // namespace

FbClient& FbClient::instance()
{
    static FbClient client;
    return client;
}

FbClient::FbClient()
{
    try {
        prepareSharedEngine();
    } catch (const std::filesystem::filesystem_error& e) {
        throw DbError(std::string("Не удалось подготовить каталог встроенного сервера Firebird: ") +
                      e.what());
    }
    void* handle = dlopen(LibraryName, RTLD_NOW | RTLD_GLOBAL);
    if (!handle)
        throw DbError(std::string("Не удалось загрузить клиентскую библиотеку Firebird ") + LibraryName +
                      ": " + dlerror());
    using GetMaster = Firebird::IMaster* (*)();
    auto getMaster = reinterpret_cast<GetMaster>(dlsym(handle, "fb_get_master_interface"));
    if (!getMaster)
        throw DbError(std::string("В библиотеке ") + LibraryName + " нет fb_get_master_interface");
    master_ = getMaster();
    util_ = master_->getUtilInterface();
    provider_ = master_->getDispatcher();
}

std::string FbClient::formatStatus(Firebird::IStatus* status) const
{
    char buffer[2048];
    util_->formatStatus(buffer, sizeof buffer, status);
    // The engine words its messages in the connection's character set.
    std::string text = platform::fromWin1251(QByteArray(buffer)).toStdString();
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

void FbClient::noteServerDetached(const std::string& server)
{
    if (const auto found = std::ranges::find(servers_, server); found != servers_.end())
        servers_.erase(found);
}

std::string FbClient::attachedServers() const
{
    std::string names;
    for (const std::string& server : servers_)
        if (names.find(server) == std::string::npos)
            names += (names.empty() ? "" : ", ") + server;
    return names;
}

bool DbError::hasCode(std::initializer_list<std::intptr_t> wanted) const
{
    return std::ranges::any_of(codes_,
                               [&](std::intptr_t code) { return std::ranges::count(wanted, code) > 0; });
}

bool DbError::concurrentChange() const
{
    return hasCode(
        {isc_deadlock, isc_update_conflict, isc_lock_conflict, isc_unique_key_violation, isc_no_dup});
}

bool DbError::loginRefused() const
{
    return hasCode({isc_login, isc_login_error});
}

bool DbError::connectionLost() const
{
    return hasCode(
        {isc_net_read_err, isc_net_write_err, isc_conn_lost, isc_lost_db_connection, isc_att_shutdown});
}

DbError Status::error(Firebird::IStatus* status)
{
    FbClient& client = FbClient::instance();
    const std::string text = client.formatStatus(status);
    DbError error(text, errorCodes(status));
    if (!error.connectionLost())
        return error;
    const std::string servers = client.attachedServers();
    return DbError("Связь с сервером базы данных " + (servers.empty() ? "" : servers + " ") +
                       "прервана; то, что было сохранено до этого, осталось на сервере. Откройте программу "
                       "снова, когда сервер будет доступен (" +
                       text + ")",
                   error.codes());
}

std::vector<unsigned char> parameterBlock(unsigned kind, const ParameterWriter& write)
{
    Status status;
    Firebird::IXpbBuilder* builder =
        status.call([&](auto s) { return FbClient::instance().util()->getXpbBuilder(s, kind, nullptr, 0); });
    try {
        status.call([&](auto s) { write(builder, s); });
        const unsigned char* buffer = status.call([&](auto s) { return builder->getBuffer(s); });
        const unsigned length = status.call([&](auto s) { return builder->getBufferLength(s); });
        std::vector<unsigned char> bytes(buffer, buffer + length);
        builder->dispose();
        return bytes;
    } catch (...) {
        builder->dispose();
        throw;
    }
}

std::vector<std::intptr_t> Status::errorCodes(Firebird::IStatus* status)
{
    std::vector<std::intptr_t> codes;
    const std::intptr_t* item = status->getErrors();
    while (*item != isc_arg_end) {
        if (item[0] == isc_arg_gds)
            codes.push_back(item[1]);
        item += item[0] == isc_arg_cstring ? 3 : 2; // a counted string has a length and a pointer
    }
    return codes;
}

Status::Status() : status_(FbClient::instance().master()->getStatus()), wrapper_(status_) {}

Status::~Status()
{
    status_->dispose();
}

} // namespace data
