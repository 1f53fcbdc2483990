#include "core/accounts/autostart.h"
#include "core/accounts/useraccounts.h"
#include "core/ledger/recordfile.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(Accounts, NewUserChecksRunInOrder) {
    using O = std::optional<std::string>;
    struct Case {
        const char* name;
        O user, password, repeated;
        NewUserCheck result;
    };
    const Case cases[] = {
        {"ok", "bob", "pw", "pw", NewUserCheck::Ok},
        {"name_19_bytes", std::string(19, 'n'), "pw", "pw", NewUserCheck::Ok},
        {"name_20_bytes", std::string(18, 'n') + "\xd5\xc5", "pw", "pw", NewUserCheck::Ok},
        {"name_21_bytes", std::string(21, 'n'), "pw", "pw", NewUserCheck::BadName},
        {"empty_name_first", "", "", "x", NewUserCheck::BadName},
        {"name_not_gbk", std::nullopt, "pw", "pw", NewUserCheck::BadName},
        {"password_16_bytes", "bob", std::string(16, 'p'), std::string(16, 'p'), NewUserCheck::Ok},
        {"password_17_bytes", "bob", std::string(17, 'p'), std::string(17, 'p'), NewUserCheck::BadPassword},
        {"empty_repeat", "bob", "pw", "", NewUserCheck::BadPassword},
        {"password_not_gbk", "bob", std::nullopt, "pw", NewUserCheck::BadPassword},
        {"mismatch", "bob", "pw", "PW", NewUserCheck::PasswordMismatch},
    };
    for (const Case& c : cases)
        EXPECT_EQ(checkNewUser(c.user, c.password, c.repeated), c.result) << c.name;
}

TEST(Accounts, CreateListAndDeleteUsers) {
    TempDir home;
    const std::string dataDir = home.path() + "DataRec/";
    EXPECT_TRUE(listUsers(dataDir).empty());

    const std::string zhang = "\xd5\xc5\xc8\xfd";
    ASSERT_EQ(createUser(dataDir, zhang, "pw"), CreateUserResult::Created);
    ASSERT_EQ(createUser(dataDir, "bob", "x"), CreateUserResult::Created);
    EXPECT_TRUE(checkCredentials(dataDir, zhang, "pw").ok());

    const std::string before = home.read("DataRec/bob.rec");
    EXPECT_EQ(createUser(dataDir, "bob", "other"), CreateUserResult::AlreadyExists);
    EXPECT_EQ(home.read("DataRec/bob.rec"), before);
    EXPECT_EQ(createUser(dataDir, "a/b", "x"), CreateUserResult::Failed);

    home.write("DataRec/x.rec.rec", "");
    home.write("DataRec/notes.txt", "");
    std::vector<std::string> users = listUsers(dataDir);
    std::sort(users.begin(), users.end());
    EXPECT_EQ(users, (std::vector<std::string>{"bob", "x", zhang}));

    EXPECT_TRUE(deleteUser(dataDir, "bob"));
    EXPECT_FALSE(home.exists("DataRec/bob.rec"));
    EXPECT_FALSE(deleteUser(dataDir, "bob"));
}

// Creating a user never replaces what stands at the name, even what this process cannot read:
// a dangling link counts as taken (it does even for root), and so does an unreadable file.
TEST(Accounts, CreatingAUserNeverReplacesAnExistingFile) {
    TempDir home;
    const std::string dataDir = home.path() + "DataRec/";
    ASSERT_EQ(::mkdir(dataDir.c_str(), 0700), 0);
    ASSERT_EQ(::symlink((dataDir + "nowhere").c_str(), (dataDir + "ghost.rec").c_str()), 0);
    EXPECT_EQ(createUser(dataDir, "ghost", "pw"), CreateUserResult::AlreadyExists);
    char target[256] = {};
    EXPECT_GT(::readlink((dataDir + "ghost.rec").c_str(), target, sizeof target - 1), 0);
    EXPECT_FALSE(home.exists("DataRec/nowhere"));

    home.write("DataRec/locked.rec", "someone else's ledger");
    ::chmod((dataDir + "locked.rec").c_str(), 0);
    EXPECT_EQ(createUser(dataDir, "locked", "pw"), CreateUserResult::AlreadyExists);
    ::chmod((dataDir + "locked.rec").c_str(), 0600);
    EXPECT_EQ(home.read("DataRec/locked.rec"), "someone else's ledger");
    EXPECT_FALSE(home.exists("DataRec/locked.rec.saving"));

    ::chmod(dataDir.c_str(), 0500); // cannot be created for another reason
    if (::geteuid() != 0) {         // root writes anyway
        EXPECT_EQ(createUser(dataDir, "newcomer", "pw"), CreateUserResult::Failed);
    }
    ::chmod(dataDir.c_str(), 0700);
}

TEST(Autostart, EntryIsWrittenReplacedAndRemoved) {
    TempDir config;
    ScopedEnv env("XDG_CONFIG_HOME", config.path());
    const std::string entry = "autostart/Quillhaven.desktop";

    EXPECT_FALSE(isAutostartEnabled());
    EXPECT_TRUE(setAutostart(false, "/opt/mz/mingzhang")); // clearing an absent entry succeeds
    ASSERT_TRUE(setAutostart(true, "/opt/mz/mingzhang"));
    EXPECT_TRUE(isAutostartEnabled());
    EXPECT_NE(config.read(entry).find("\nExec=/opt/mz/mingzhang\n"), std::string::npos);

    // Already on for this path: nothing is written (the file is the same one).
    const auto inode = [&] {
        struct stat info {};
        ::stat((config.path() + entry).c_str(), &info);
        return info.st_ino;
    };
    const auto before = inode();
    EXPECT_TRUE(setAutostart(true, "/opt/mz/mingzhang"));
    EXPECT_EQ(inode(), before);

    ASSERT_TRUE(setAutostart(true, "/home/me/my apps/mingzhang"));
    EXPECT_NE(config.read(entry).find("\nExec=\"/home/me/my apps/mingzhang\"\n"), std::string::npos);

    ASSERT_TRUE(setAutostart(false, "/opt/mz/mingzhang"));
    EXPECT_FALSE(isAutostartEnabled());
}

TEST(Autostart, FailureIsReported) {
    TempDir config;
    config.write("blocker", "");
    ScopedEnv env("XDG_CONFIG_HOME", config.path() + "blocker"); // a file where a directory must be
    EXPECT_FALSE(setAutostart(true, "/opt/mz/mingzhang"));
}

} // namespace
