#include "core/ledger/filestore.h"

#include <cerrno>
#include <climits>
#include <csignal>
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

std::int64_t ByteSource::readAt(std::size_t, char*, std::size_t) const { return -1; }

std::int64_t BufferSource::readAt(std::size_t offset, char* into, std::size_t max) const {
    if (offset >= m_bytes.size())
        return 0;
    return static_cast<std::int64_t>(m_bytes.copy(into, max, offset));
}

FileSource::FileSource(const std::string& path) {
    // Without blocking, so a FIFO or a device at the path cannot hold the reader up; only a
    // regular file is read.
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (m_fd < 0) {
        m_status = errno == ENOENT ? FileRead::Status::Missing : FileRead::Status::Failed;
        return;
    }
    struct stat info {};
    if (::fstat(m_fd, &info) != 0)
        return;
    if (!S_ISREG(info.st_mode)) {
        m_status = FileRead::Status::NotAFile;
        return;
    }
    const int flags = ::fcntl(m_fd, F_GETFL);
    if (flags < 0 || ::fcntl(m_fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
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

std::int64_t FileSource::readAt(std::size_t offset, char* into, std::size_t max) const {
    if (m_fd < 0) // not m_status, which read() may change on another thread
        return -1;
    for (;;) {
        const ssize_t n = ::pread(m_fd, into, max, static_cast<off_t>(offset));
        if (n >= 0)
            return n;
        if (errno != EINTR)
            return -1;
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

std::string linkTarget(const std::string& path) {
    std::string current = path;
    // As many links as the kernel itself follows before it gives up (ELOOP).
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        std::string target(static_cast<std::size_t>(PATH_MAX), '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size())
            return current;
        target.resize(static_cast<std::size_t>(n));
        current = target.front() == '/' ? target : directoryOf(current) + "/" + target;
    }
    return current;
}

std::string temporaryPathFor(const std::string& path) { return path + ".saving"; }

void removeLeftoverTemporary(const std::string& path) {
    const std::string temporary = temporaryPathFor(linkTarget(path));
    struct stat info {};
    if (::lstat(temporary.c_str(), &info) == 0 && S_ISREG(info.st_mode))
        ::unlink(temporary.c_str());
}

AtomicFile::AtomicFile(const std::string& path, FileOps& ops, Mode mode)
    : m_path(path), m_target(mode == Mode::Replace ? linkTarget(path) : path), m_temporary(temporaryPathFor(m_target)),
      m_ops(ops), m_mode(mode) {}

AtomicFile::~AtomicFile() { abandon(); }

bool AtomicFile::open() {
    // A temporary file left by a save that was killed goes first; the new one is made afresh, so
    // nothing planted at its name is written through.
    m_ops.unlink(m_temporary.c_str());
    m_fd = m_ops.open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
    if (m_fd < 0)
        return false;
    // A replaced file keeps its mode. Should the mode not take, the file stays private.
    struct stat old {};
    if (m_mode == Mode::Replace && ::stat(m_target.c_str(), &old) == 0 && S_ISREG(old.st_mode) &&
        ::fchmod(m_fd, old.st_mode & 07777) != 0)
        ::fchmod(m_fd, 0600);
    return true;
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
    const int dir = m_ops.open(directoryOf(m_target).c_str(), O_RDONLY | O_DIRECTORY, 0);
    if (dir >= 0) {
        m_ops.fsync(dir);
        m_ops.close(dir);
    }
}

bool AtomicFile::commit() {
    m_existed = false;
    if (!flushAndClose())
        return false;
    if (m_mode == Mode::CreateNew) {
        // link() never replaces anything, so an existing name fails with EEXIST.
        const bool linked = m_ops.link(m_temporary.c_str(), m_path.c_str()) == 0;
        m_existed = !linked && errno == EEXIST;
        m_ops.unlink(m_temporary.c_str());
        if (linked)
            flushDirectory();
        return linked;
    }
    if (m_ops.rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        m_ops.unlink(m_temporary.c_str());
        return false;
    }
    flushDirectory();
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

CreateFileResult createFileExclusively(const std::string& path, std::string_view bytes, FileOps& ops) {
    AtomicFile file(path, ops, AtomicFile::Mode::CreateNew);
    if (file.open() && file.write(bytes) && file.commit())
        return CreateFileResult::Created;
    return file.existed() ? CreateFileResult::Exists : CreateFileResult::Failed;
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

FileIdentity fileIdentity(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return {};
    return {true, info.st_dev, info.st_ino, info.st_size,
            static_cast<long long>(info.st_mtim.tv_sec) * 1'000'000'000LL + info.st_mtim.tv_nsec};
}

void ignoreFileSizeLimitSignal() { std::signal(SIGXFSZ, SIG_IGN); }
