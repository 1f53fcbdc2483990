#include "core/ledger/filestore.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int FileOps::open(const char* path, int flags, mode_t mode) { return ::open(path, flags | O_CLOEXEC, mode); }
ssize_t FileOps::write(int fd, const void* data, size_t size) { return ::write(fd, data, size); }
int FileOps::fsync(int fd) { return ::fsync(fd); }
int FileOps::close(int fd) { return ::close(fd); }
int FileOps::rename(const char* from, const char* to) { return ::rename(from, to); }
int FileOps::link(const char* from, const char* to) { return ::link(from, to); }
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

std::size_t BufferSource::read(char* into, std::size_t max) {
    const std::size_t n = std::min(max, m_bytes.size() - m_read);
    m_bytes.copy(into, n, m_read);
    m_read += n;
    return n;
}

FileSource::FileSource(const std::string& path) {
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) {
        m_status = errno == ENOENT ? FileRead::Status::Missing : FileRead::Status::Failed;
        return;
    }
    struct stat info {};
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode))
        return;
    m_size = static_cast<std::size_t>(info.st_size);
    m_status = FileRead::Status::Ok;
}

FileSource::~FileSource() {
    if (m_fd >= 0)
        ::close(m_fd);
}

std::size_t FileSource::read(char* into, std::size_t max) {
    if (m_status != FileRead::Status::Ok)
        return 0;
    for (;;) {
        const ssize_t n = ::read(m_fd, into, max);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR) {
            m_status = FileRead::Status::Failed;
            return 0;
        }
    }
}

FileRead readFile(const std::string& path) {
    FileSource source(path);
    FileRead result;
    result.status = source.status();
    if (result.status != FileRead::Status::Ok)
        return result;
    // Sized from the file; a file that grows meanwhile is read on.
    std::size_t used = 0;
    result.bytes.resize(source.size() + 1);
    while (std::size_t n = source.read(result.bytes.data() + used, result.bytes.size() - used)) {
        used += n;
        if (used == result.bytes.size())
            result.bytes.resize(2 * used);
    }
    result.bytes.resize(used);
    if (source.failed()) {
        result.status = FileRead::Status::Failed;
        result.bytes.clear();
    }
    return result;
}

AtomicFile::AtomicFile(std::string path, FileOps& ops)
    : m_path(std::move(path)), m_temporary(m_path + ".saving"), m_ops(ops) {}

AtomicFile::~AtomicFile() { abandon(); }

bool AtomicFile::open() {
    m_fd = m_ops.open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    return m_fd >= 0;
}

bool AtomicFile::write(std::string_view bytes) {
    if (m_fd < 0)
        return false;
    if (writeAll(m_ops, m_fd, bytes))
        return true;
    abandon();
    return false;
}

bool AtomicFile::flushAndClose() {
    if (m_fd < 0)
        return false;
    const bool flushed = m_ops.fsync(m_fd) == 0;
    const bool closed = m_ops.close(m_fd) == 0;
    m_fd = -1;
    if (flushed && closed)
        return true;
    m_ops.unlink(m_temporary.c_str());
    return false;
}

// Makes the rename or link itself durable. The new file is already in place, so a file system
// that cannot flush a directory is no reason to report the save as failed.
void AtomicFile::flushDirectory() {
    const int dir = m_ops.open(directoryOf(m_path).c_str(), O_RDONLY | O_DIRECTORY, 0);
    if (dir >= 0) {
        m_ops.fsync(dir);
        m_ops.close(dir);
    }
}

bool AtomicFile::commit() {
    if (!flushAndClose())
        return false;
    if (m_ops.rename(m_temporary.c_str(), m_path.c_str()) != 0) {
        m_ops.unlink(m_temporary.c_str());
        return false;
    }
    flushDirectory();
    return true;
}

bool AtomicFile::commitNew(bool& existed) {
    existed = false;
    if (!flushAndClose())
        return false;
    const bool linked = m_ops.link(m_temporary.c_str(), m_path.c_str()) == 0;
    existed = !linked && errno == EEXIST;
    m_ops.unlink(m_temporary.c_str());
    if (linked)
        flushDirectory();
    return linked;
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

CreateFileResult createFileExclusively(const std::string& path, std::string_view bytes, FileOps& ops) {
    AtomicFile file(path, ops);
    bool existed = false;
    if (file.open() && file.write(bytes) && file.commitNew(existed))
        return CreateFileResult::Created;
    return existed ? CreateFileResult::Exists : CreateFileResult::Failed;
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
