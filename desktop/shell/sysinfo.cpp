// Names the system gives the user, the computer and the program's modules.
#include "desktop/shell/sysinfo.h"

#include "platform/paths.h"

#include <QFile>
#include <limits.h>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace vt::desktop {
namespace {

// The platform's account-name buffer holds 80 characters with the terminating zero.
constexpr std::size_t kUserNameBuffer = 80;

} // namespace

QString GetLogonUserName() {
    passwd entry{};
    passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_name)
        return {};
    const std::string name = found->pw_name;
    if (name.size() >= kUserNameBuffer)
        return {};
    return QString::fromLocal8Bit(name.c_str());
}

QString GetComputerNetName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name) != 0)
        return {};
    name[HOST_NAME_MAX] = '\0';
    return QString::fromLocal8Bit(name);
}

QString GetModuleFileNameStr(HModule module) {
    const std::string file = module ? module->fileName() : platform::programFile();
    return QFile::decodeName(file.c_str());
}

} // namespace vt::desktop
