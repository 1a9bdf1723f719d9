#include "data/fb_client.h"

#include "platform/win1251.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <unistd.h>

namespace data {

namespace {

// The embedded engine keeps its lock files in a directory that all processes opening the same
// database share. The engine's default (/tmp/firebird) belongs to whoever created it first, so a
// per-user directory keeps the program usable for every user of the machine.
void preparePerUserLockDirectory()
{
    if (std::getenv("FIREBIRD_LOCK"))
        return;
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("photoledger-firebird-" + std::to_string(getuid()));
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
    setenv("FIREBIRD_LOCK", dir.c_str(), 0);
}

} // namespace

FbClient& FbClient::instance()
{
    static FbClient client;
    return client;
}

FbClient::FbClient()
{
    preparePerUserLockDirectory();
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

Status::Status()
    : status_(FbClient::instance().master()->getStatus()), wrapper_(status_)
{
}

Status::~Status()
{
    status_->dispose();
}

} // namespace data
