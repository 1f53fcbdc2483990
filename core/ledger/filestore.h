#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>

// The thin layer between the program and the disk. Everything above it works on byte buffers;
// the system calls go through FileOps so tests can make any step fail.

class FileOps {
public:
    virtual ~FileOps() = default;
    virtual int open(const char* path, int flags, mode_t mode);
    virtual ssize_t write(int fd, const void* data, size_t size);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int rename(const char* from, const char* to);
    virtual int link(const char* from, const char* to);
    virtual int unlink(const char* path);
};

FileOps& systemFileOps();

struct FileRead {
    // NotAFile: a FIFO, device, directory or socket stands at the path; it is never read, so a
    // reader never waits on one.
    enum class Status { Ok, Missing, NotAFile, Failed };
    Status status = Status::Failed;
    std::string bytes;
};

FileRead readFile(const std::string& path);

// Hands out the bytes of a file or buffer in order, for readers that need not hold them whole.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::size_t size() const = 0;
    // Copies up to `max` of the next bytes; 0 at the end or after a read error.
    virtual std::size_t read(char* into, std::size_t max) = 0;
    virtual bool failed() const { return false; }
    // A source that holds all its bytes at hand (a file, a buffer) also hands out any part of
    // them, from any thread and besides read(): up to `max` bytes from `offset` on, 0 at the end,
    // -1 when they cannot be read.
    virtual bool readsAnywhere() const { return false; }
    virtual std::int64_t readAt(std::size_t offset, char* into, std::size_t max) const;
};

class BufferSource final : public ByteSource {
public:
    explicit BufferSource(std::string_view bytes) : m_bytes(bytes) {}
    std::size_t size() const override { return m_bytes.size(); }
    std::size_t read(char* into, std::size_t max) override;
    bool readsAnywhere() const override { return true; }
    std::int64_t readAt(std::size_t offset, char* into, std::size_t max) const override;

private:
    std::string_view m_bytes;
    std::size_t m_read = 0;
};

class FileSource final : public ByteSource {
public:
    explicit FileSource(const std::string& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    FileRead::Status status() const { return m_status; }
    std::size_t size() const override { return m_size; }
    std::size_t read(char* into, std::size_t max) override;
    bool failed() const override { return m_status == FileRead::Status::Failed; }
    bool readsAnywhere() const override { return m_status == FileRead::Status::Ok; }
    std::int64_t readAt(std::size_t offset, char* into, std::size_t max) const override;

private:
    int m_fd = -1;
    std::size_t m_size = 0;
    FileRead::Status m_status = FileRead::Status::Failed;
};

// The file a path stands for once symbolic links at its last component are followed (a dangling
// link gives the path it points to); the path itself when it is no link.
std::string linkTarget(const std::string& path);

// "<file>.saving": where a file is written before it replaces the file itself.
std::string temporaryPathFor(const std::string& path);

// Removes the temporary file a killed save of this file left behind, if any.
void removeLeftoverTemporary(const std::string& path);

// Writes a file whole through a temporary file in the same directory that is flushed and then
// put in place, so a failure at any step leaves the previous file whole. Without a commit the
// temporary file is removed and the old file stays.
//
// Replace: the new file replaces the one at the path; a symbolic link there is followed, so the
// file it points to is replaced and the link stays. The new file keeps the old one's mode, or is
// 0600 when there was none.
// CreateNew: the file is put in place only where nothing stands at the path yet, not even a
// dangling link; an existing file is never replaced. The new file is 0600.
class AtomicFile {
public:
    enum class Mode { Replace, CreateNew };

    explicit AtomicFile(const std::string& path, FileOps& ops = systemFileOps(), Mode mode = Mode::Replace);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool open();
    bool write(std::string_view bytes);
    // For a library that writes by file name: the temporary file, created by open().
    const std::string& temporaryPath() const { return m_temporary; }
    bool commit();
    // After a failed CreateNew commit: whether something already stood at the path.
    bool existed() const { return m_existed; }

private:
    bool flushAndClose();
    void flushDirectory();
    void abandon();

    std::string m_path;   // where the file is put
    std::string m_target; // the file replaced: m_path with its links followed
    std::string m_temporary;
    FileOps& m_ops;
    Mode m_mode;
    int m_fd = -1;
    bool m_existed = false;
};

bool writeFileAtomically(const std::string& path, std::string_view bytes, FileOps& ops = systemFileOps());

enum class CreateFileResult { Created, Exists, Failed };
// Writes a new file whole (mode 0600), never replacing anything already at `path`.
CreateFileResult createFileExclusively(const std::string& path, std::string_view bytes, FileOps& ops = systemFileOps());

// Creates the directory (mode 0700) with any missing parents; an existing directory is fine.
bool ensureDirectory(const std::string& path);

bool fileExists(const std::string& path);

// Which file stands at a path (links followed) and how it was last written: a save that finds
// another identity than it left knows that someone else wrote the file.
struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long modifiedNs = 0;

    bool operator==(const FileIdentity&) const = default;
};
FileIdentity fileIdentity(const std::string& path);

// Called once at start by each program: a file-size limit (ulimit -f) then makes a write fail with
// EFBIG, reported like any other failed write, instead of ending the process in the middle of a save.
void ignoreFileSizeLimitSignal();
