#pragma once

#include <optional>
#include <string>
#include <vector>

// Users exist as record files "<name>.rec" in the data directory; there is no other user database.

inline constexpr std::size_t MAX_USER_NAME_BYTES = 20;
inline constexpr std::size_t MAX_PASSWORD_BYTES = 16;

// The GBK names of the "*.rec" files in dataDir, in directory order, with every ".rec" removed.
std::vector<std::string> listUsers(const std::string& dataDir);

enum class NewUserCheck {
    Ok,
    BadName,          // empty or longer than 20 bytes
    BadPassword,      // password or repetition empty, or password longer than 16 bytes
    PasswordMismatch, // the two passwords differ
};

// The new-user dialog's checks, in their order. Texts are GBK; nullopt stands for a typed text
// that GBK cannot hold, which is refused like an invalid one.
NewUserCheck checkNewUser(const std::optional<std::string>& name, const std::optional<std::string>& password,
                          const std::optional<std::string>& repeated);

enum class PasswordChangeCheck {
    Ok,
    BadOld,           // empty, or not the current password
    BadNew,           // new password or repetition empty, or new password longer than 16 bytes
    PasswordMismatch, // the two new passwords differ
};

// The change-password dialog's checks, in their order; nullopt stands for a typed text GBK cannot
// hold, which no password can be.
PasswordChangeCheck checkPasswordChange(const std::string& current, const std::optional<std::string>& old,
                                        const std::optional<std::string>& fresh,
                                        const std::optional<std::string>& repeated);

enum class CreateUserResult { Created, AlreadyExists, Failed };

// Creates dataDir if needed and writes an empty ledger for the new user.
CreateUserResult createUser(const std::string& dataDir, const std::string& name, const std::string& password);

// Removes the user's record file and its version history; the quick-input lists stay.
bool deleteUser(const std::string& dataDir, const std::string& name);
