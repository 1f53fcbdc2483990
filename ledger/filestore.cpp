#include "ledger/filestore.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int FileOps::open(const char* path, int flags, mode_t mode) { return ::open(path, flags | O_CLOEXEC, mode); }
ssize_t FileOps::write(int fd, const void* data, size_t size) { return ::write(fd, data, size); }
int FileOps::fsync(int fd) { return ::fsync(fd); }
int FileOps::close(int fd) { return ::close(fd); }
int FileOps::rename(const char* from, const char* to) { return ::rename(from, to); }
int FileOps::unlink(const char* path) { return ::unlink(path); }

FileOps& systemFileOps() {
    static FileOps ops;
    return ops;
}

namespace {

std::string directoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(FileOps& ops, int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ops.write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

FileRead readFilePrefix(const std::string& path, std::size_t limit) {
    FileRead result;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        result.status = errno == ENOENT ? FileRead::Status::Missing : FileRead::Status::Failed;
        return result;
    }
    // Read straight into the string, sized from the file; a file that grows meanwhile is read on.
    struct stat info {};
    std::size_t expected = 1 << 16;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
        expected = std::min(static_cast<std::size_t>(info.st_size) + 1, limit);
    result.status = FileRead::Status::Ok;
    std::size_t used = 0;
    result.bytes.resize(expected);
    while (used < limit) {
        if (used == result.bytes.size())
            result.bytes.resize(std::min(limit, 2 * result.bytes.size()));
        const ssize_t n = ::read(fd, result.bytes.data() + used, result.bytes.size() - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            result.status = FileRead::Status::Failed;
        if (n <= 0)
            break;
        used += static_cast<std::size_t>(n);
    }
    result.bytes.resize(used);
    ::close(fd);
    if (result.status != FileRead::Status::Ok)
        result.bytes.clear();
    return result;
}

FileRead readFile(const std::string& path) { return readFilePrefix(path, std::string::npos); }

AtomicFile::AtomicFile(std::string path, FileOps& ops)
    : m_path(std::move(path)), m_temporary(m_path + ".saving"), m_ops(ops) {}

AtomicFile::~AtomicFile() { abandon(); }

bool AtomicFile::open() {
    m_fd = m_ops.open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    return m_fd >= 0;
}

bool AtomicFile::write(std::string_view bytes) {
    if (m_fd < 0 || writeAll(m_ops, m_fd, bytes))
        return m_fd >= 0;
    abandon();
    return false;
}

bool AtomicFile::commit() {
    if (m_fd < 0)
        return false;
    const bool flushed = m_ops.fsync(m_fd) == 0;
    const bool closed = m_ops.close(m_fd) == 0;
    m_fd = -1;
    if (!flushed || !closed || m_ops.rename(m_temporary.c_str(), m_path.c_str()) != 0) {
        m_ops.unlink(m_temporary.c_str());
        return false;
    }
    // Make the rename itself durable. The new file is already in place, so a file system that
    // cannot flush a directory is no reason to report the save as failed.
    const int dir = m_ops.open(directoryOf(m_path).c_str(), O_RDONLY | O_DIRECTORY, 0);
    if (dir >= 0) {
        m_ops.fsync(dir);
        m_ops.close(dir);
    }
    return true;
}

void AtomicFile::abandon() {
    if (m_fd < 0)
        return;
    m_ops.close(m_fd);
    m_ops.unlink(m_temporary.c_str());
    m_fd = -1;
}

bool writeFileAtomically(const std::string& path, std::string_view bytes, FileOps& ops) {
    AtomicFile file(path, ops);
    return file.open() && file.write(bytes) && file.commit();
}

bool ensureDirectory(const std::string& path) {
    if (path.empty())
        return false;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const std::string parent = directoryOf(trimmed);
    if (parent != trimmed && !ensureDirectory(parent))
        return false;
    return ::mkdir(trimmed.c_str(), 0700) == 0 || errno == EEXIST;
}

bool fileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}
