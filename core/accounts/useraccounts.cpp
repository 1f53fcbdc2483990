#include "core/accounts/useraccounts.h"

#include "core/ledger/filestore.h"
#include "core/ledger/gbk.h"
#include "core/ledger/history.h"
#include "core/ledger/recordfile.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view RECORD_SUFFIX = ".rec";

bool matchesRecordPattern(std::string_view fileName) {
    return fileName.size() >= RECORD_SUFFIX.size() && fileName.ends_with(RECORD_SUFFIX);
}

std::string withoutRecordSuffix(std::string name) {
    for (std::size_t at = name.find(RECORD_SUFFIX); at != std::string::npos; at = name.find(RECORD_SUFFIX, at))
        name.erase(at, RECORD_SUFFIX.size());
    return name;
}

} // namespace

std::vector<std::string> listUsers(const std::string& dataDir) {
    std::vector<std::string> users;
    DIR* dir = ::opendir(dataDir.c_str());
    if (!dir)
        return users;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view fileName = entry->d_name;
        if (!matchesRecordPattern(fileName))
            continue;
        // Only a regular file (or a link to one) is a ledger; a FIFO or device of that name would
        // hold the login up.
        struct stat info {};
        if (::stat((dataDir + entry->d_name).c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        // A name that was not written by this program may have no GBK form; it is shown as stored.
        const std::string gbk = utf8ToGbk(fileName).value_or(std::string(fileName));
        users.push_back(withoutRecordSuffix(gbk));
    }
    ::closedir(dir);
    return users;
}

NewUserCheck checkNewUser(const std::optional<std::string>& name, const std::optional<std::string>& password,
                          const std::optional<std::string>& repeated) {
    if (!name || name->empty() || name->size() > MAX_USER_NAME_BYTES)
        return NewUserCheck::BadName;
    if (!password || !repeated || password->empty() || repeated->empty() || password->size() > MAX_PASSWORD_BYTES)
        return NewUserCheck::BadPassword;
    if (*password != *repeated)
        return NewUserCheck::PasswordMismatch;
    return NewUserCheck::Ok;
}

PasswordChangeCheck checkPasswordChange(const std::string& current, const std::optional<std::string>& old,
                                        const std::optional<std::string>& fresh,
                                        const std::optional<std::string>& repeated) {
    if (!old || old->empty() || *old != current)
        return PasswordChangeCheck::BadOld;
    if (!fresh || !repeated || fresh->empty() || repeated->empty() || fresh->size() > MAX_PASSWORD_BYTES)
        return PasswordChangeCheck::BadNew;
    if (*fresh != *repeated)
        return PasswordChangeCheck::PasswordMismatch;
    return PasswordChangeCheck::Ok;
}

CreateUserResult createUser(const std::string& dataDir, const std::string& name, const std::string& password) {
    // A name the file system cannot hold in one file name ("a/b", "..") makes no user.
    if (name.find('/') != std::string::npos || name == "." || name == "..")
        return CreateUserResult::Failed;
    ensureDirectory(dataDir);
    Ledger empty;
    empty.userName = name;
    empty.password = password;
    std::string bytes;
    serializeLedger(empty, bytes, 2.0);
    // Whatever stands at the name already, readable by us or not, stays as it is.
    switch (createFileExclusively(recordFilePathFor(dataDir, name), bytes)) {
    case CreateFileResult::Created:
        return CreateUserResult::Created;
    case CreateFileResult::Exists:
        return CreateUserResult::AlreadyExists;
    case CreateFileResult::Failed:
        break;
    }
    return CreateUserResult::Failed;
}

bool deleteUser(const std::string& dataDir, const std::string& name) {
    const std::string recordFile = recordFilePathFor(dataDir, name);
    if (::unlink(recordFile.c_str()) != 0)
        return false;
    removeHistory(recordFile); // the user's versions go with the user
    return true;
}
