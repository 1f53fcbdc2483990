#include "core/ledger/recordfile.h"

#include "core/ledger/decimal.h"
#include "core/ledger/scrambler.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>
#include <iterator>
#include <optional>
#include <span>
#include <sys/mman.h>
#include <system_error>
#include <thread>

static_assert(std::endian::native == std::endian::little, "the record file is little-endian");

namespace {

constexpr int PASSES = 3;

// ---- writing ----

// Collects the bytes of a file in a fixed chunk and hands each full chunk to the sink: a save
// produces a hundred megabytes and more, which then never sit in memory at once.
class RecordWriter {
public:
    explicit RecordWriter(const ByteSink& sink) : m_sink(sink), m_chunk(CHUNK_SIZE, '\0') {}

    template <typename T> void value(T v) {
        if (CHUNK_SIZE - m_used < sizeof(T))
            flush();
        std::memcpy(m_chunk.data() + m_used, &v, sizeof(T));
        m_used += sizeof(T);
    }

    // A text as a scrambled string: a count and one sign-extended 32-bit value per letter.
    // Returns the sum of the letters taken as signed bytes (modulo 2^32, like every key sum here).
    std::uint32_t text(std::string_view plain, std::int32_t key) {
        scrambleText(plain, key, PASSES, m_letters);
        value(static_cast<std::int32_t>(m_letters.size()));
        std::uint32_t sum = 0;
        std::string_view letters = m_letters;
        while (!letters.empty()) {
            // As many letters as the chunk has room for, widened in one tight loop.
            if (CHUNK_SIZE - m_used < 4)
                flush();
            const std::size_t count = std::min(letters.size(), (CHUNK_SIZE - m_used) / 4);
            char* out = m_chunk.data() + m_used;
            for (std::size_t i = 0; i < count; ++i) {
                const auto v = static_cast<std::int32_t>(static_cast<signed char>(letters[i]));
                std::memcpy(out + 4 * i, &v, 4);
                sum += static_cast<std::uint32_t>(v);
            }
            m_used += 4 * count;
            letters.remove_prefix(count);
        }
        return sum;
    }

    // False when the sink refused a chunk.
    bool finish() {
        flush();
        return m_ok;
    }

private:
    static constexpr std::size_t CHUNK_SIZE = 1 << 20;

    void flush() {
        if (m_used > 0 && m_ok)
            m_ok = m_sink(std::string_view(m_chunk.data(), m_used));
        m_used = 0;
    }

    const ByteSink& m_sink;
    std::string m_chunk;
    std::size_t m_used = 0;
    bool m_ok = true;
    std::string m_letters;
};

// ---- reading ----

// Reads the file through a window that slides over the source, so a large ledger is never held
// twice. Every count is checked against the bytes the source has left before anything is read.
// A reader either takes the source in order from its start, or, where the source can hand out
// any part of itself, from any offset on with reads of its own, beside another reader.
class ByteReader {
public:
    explicit ByteReader(ByteSource& source) : m_source(source), m_size(source.size()) {}
    ByteReader(ByteSource& source, std::size_t from)
        : m_source(source), m_size(source.size()), m_windowStart(from), m_readsAt(true) {}

    std::size_t offset() const { return m_windowStart + m_pos; }
    std::size_t left() const { return m_size - std::min(m_size, offset()); }
    bool failed() const { return m_failed; }

    ReadResult damage() const {
        if (m_readFailed || (!m_readsAt && m_source.failed()))
            return {ReadResult::Status::Unreadable, m_failedAt};
        return {ReadResult::Status::Damaged, m_failedAt};
    }

    template <typename T> T value() {
        T result{};
        if (const char* bytes = take(sizeof(T)))
            std::memcpy(&result, bytes, sizeof(T));
        return result;
    }

    // A scrambled string: a count and that many 32-bit letters, each contributing its low byte;
    // returns the text. Adds every letter, as a signed byte, to `sum` when given.
    std::string text(std::int32_t key, std::uint32_t* sum = nullptr) {
        const std::size_t countAt = offset();
        const auto count = value<std::int32_t>();
        if (m_failed)
            return {};
        if (count < 0 || static_cast<std::size_t>(count) > left() / 4) {
            fail(countAt);
            return {};
        }
        const char* values = take(4 * static_cast<std::size_t>(count));
        if (!values)
            return {};
        if (sum)
            for (std::int32_t i = 0; i < count; ++i)
                *sum += static_cast<std::uint32_t>(std::int32_t{static_cast<signed char>(values[4 * i])});
        return std::string(unscrambleStoredLetters(values, static_cast<std::size_t>(count), key, PASSES, m_work));
    }

    void fail(std::size_t at) {
        if (!m_failed)
            m_failedAt = at;
        m_failed = true;
    }

    // The next `size` bytes in one piece, followed by UNSCRAMBLE_SLACK more that may be read,
    // without consuming them (skip() does that); nullptr, and the reader fails, when the source
    // has fewer. `size` must not exceed left().
    const char* peek(std::size_t size) {
        if (m_end - m_pos < size && !fill(size)) {
            fail(offset());
            return nullptr;
        }
        return m_window.data() + m_pos;
    }
    void skip(std::size_t size) { m_pos += size; }

private:
    static constexpr std::size_t WINDOW_SIZE = 256 * 1024;

    // The next `size` bytes, or nullptr (and the reader fails) when the source has fewer.
    const char* take(std::size_t size) {
        if (m_failed || size > left()) {
            fail(offset());
            return nullptr;
        }
        const char* bytes = peek(size);
        if (bytes)
            m_pos += size;
        return bytes;
    }

    // Moves the unread bytes to the front and reads until at least `size` are there.
    bool fill(std::size_t size) {
        const std::size_t kept = m_end - m_pos;
        std::memmove(m_window.data(), m_window.data() + m_pos, kept);
        m_windowStart += m_pos;
        m_pos = 0;
        m_end = kept;
        // No more than a window's worth unless a larger piece is asked for: what the window
        // holds is still in the core's own cache when it is read.
        const std::size_t wanted = std::min(std::max(size, WINDOW_SIZE), left());
        if (m_window.size() < wanted + UNSCRAMBLE_SLACK)
            m_window.resize(wanted + UNSCRAMBLE_SLACK);
        while (m_end < size) {
            char* into = m_window.data() + m_end;
            std::int64_t n = 0;
            if (m_readsAt)
                n = m_source.readAt(m_windowStart + m_end, into, wanted - m_end);
            else
                n = static_cast<std::int64_t>(m_source.read(into, wanted - m_end));
            if (n < 0)
                m_readFailed = true;
            if (n <= 0)
                return false; // the file ended early, shrank, or could not be read
            m_end += static_cast<std::size_t>(n);
        }
        return true;
    }

    ByteSource& m_source;
    std::size_t m_size; // asked once: it is a virtual call, and every value read needs it
    std::string m_window;
    std::size_t m_windowStart = 0; // offset of m_window[0] in the source
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    std::size_t m_failedAt = 0;
    bool m_readsAt = false;
    bool m_readFailed = false;
    bool m_failed = false;
    std::string m_work;
};

ReadResult readHeader(ByteReader& reader, StoredHeader& header) {
    header.version = reader.value<double>();
    std::uint32_t sum = 0;
    header.userName = reader.text(HEADER_KEY, &sum);
    header.password = reader.text(HEADER_KEY, &sum);
    header.recordKey = static_cast<std::int32_t>(sum);
    if (reader.failed())
        return reader.damage();
    return {};
}

// id, kind and date: the part of a record before its texts.
constexpr std::size_t FIXED_PART = 4 + 2 + 12;

// A text field of a record as the file stores it; numbers are normalised as they are read.
struct StoredField {
    std::string LedgerRecord::*member;
    bool number;
};
constexpr StoredField ALL_FIELDS[] = {{&LedgerRecord::item, false},
                                      {&LedgerRecord::quantity, true},
                                      {&LedgerRecord::amount, true},
                                      {&LedgerRecord::writtenOff, true},
                                      {&LedgerRecord::note, false}};
// The 1.x format: quantity "1.00" and written-off "0.00" as a record is made.
constexpr StoredField LEGACY_FIELDS[] = {
    {&LedgerRecord::item, false}, {&LedgerRecord::amount, true}, {&LedgerRecord::note, false}};
constexpr std::size_t MOST_FIELDS = std::size(ALL_FIELDS);

// How the records of a file are laid out.
struct RecordLayout {
    std::span<const StoredField> fields = ALL_FIELDS;
    std::int32_t key = 0; // what their texts are scrambled with
};

// Texts repeat: the same items, quantities and written-off amounts come back record after record,
// and with one key for the whole file a text is stored as the same letters each time. A small
// table per field keeps the last texts read with their letters, so a repeated text is compared
// rather than unscrambled. A field whose texts seldom repeat soon stops being looked up.
class FieldMemo {
public:
    // The field's text stored as `count` letters at `values`: `read` makes it when it is new.
    template <typename Read> const std::string& text(const char* values, std::size_t count, Read read) {
        const std::size_t bytes = 4 * count;
        if (!m_used || bytes < 16 || bytes > LONGEST) {
            read(m_scratch);
            return m_scratch;
        }
        std::uint64_t tail[2];
        std::memcpy(tail, values + bytes - 16, 16);
        Entry& entry = m_entries[((tail[0] * 0x9E3779B97F4A7C15u) ^ (tail[1] + count) * 0xC2B2AE3D27D4EB4Fu) >> 58];
        ++m_lookups;
        if (entry.letters.size() == bytes && std::memcmp(entry.letters.data(), values, bytes) == 0) {
            ++m_found;
            return entry.text;
        }
        read(entry.text);
        entry.letters.assign(values, bytes);
        if (m_lookups == TRIAL && m_found < TRIAL / 8)
            m_used = false;
        return entry.text;
    }

private:
    static constexpr std::size_t LONGEST = 4 * 8 * 32; // the letters of a text of 32 bytes
    static constexpr std::size_t TRIAL = 512;
    struct Entry {
        std::string letters;
        std::string text;
    };
    Entry m_entries[64];
    std::string m_scratch;
    std::size_t m_lookups = 0;
    std::size_t m_found = 0;
    bool m_used = true;
};

// The records of a large ledger take tens of megabytes, written once from the first to the last:
// in large pages the kernel maps them in a few steps rather than thousands. Only advice: where
// the kernel takes none, the records lie in small pages as ever.
void preferLargePages(const std::vector<LedgerRecord>& records) {
    constexpr std::uintptr_t LARGE_PAGE = 2 << 20;
    const auto begin = reinterpret_cast<std::uintptr_t>(records.data());
    const std::uintptr_t end = begin + records.capacity() * sizeof(LedgerRecord);
    const std::uintptr_t first = (begin + LARGE_PAGE - 1) & ~(LARGE_PAGE - 1);
    if (end >= first + LARGE_PAGE)
        (void)::madvise(reinterpret_cast<void*>(first), (end - first) & ~(LARGE_PAGE - 1), MADV_HUGEPAGE);
}

// Records read in file order by one reader.
struct RecordRun {
    std::vector<LedgerRecord> records;
    ReadResult damage; // where the next record stopped making sense, if one did
};

// How a reader beside the first one hands its records over while it reads on. On a cache line
// of its own, as nothing else either reader writes may share one with the other.
struct alignas(64) Handover {
    static constexpr std::size_t BATCH = 64; // records between two handovers
    std::atomic<std::size_t> ready{0};       // the first `ready` records are finished
    std::atomic<bool> done{false};           // the run is over and `ready` final
};

// Appends records from where `reader` stands until `run` holds `most`, or the next record starts
// at or past `stopAt`, or one does not make sense. Every count is checked against the bytes the
// file has left before its letters are looked at. Hands finished records over when asked to.
void readRun(ByteReader& reader, const RecordLayout& layout, std::size_t most, std::size_t stopAt, RecordRun& run,
             Handover* handover = nullptr) {
    const std::size_t texts = layout.fields.size();
    std::string work;
    FieldMemo memos[MOST_FIELDS];
    std::size_t textAt[MOST_FIELDS];
    std::size_t letters[MOST_FIELDS];
    while (run.records.size() < most && reader.offset() < stopAt) {
        const std::size_t recordAt = reader.offset();
        const std::size_t fileLeft = reader.left();
        // The fixed part and the counts, each checked before the next is looked for.
        std::size_t size = FIXED_PART;
        for (std::size_t t = 0; t < texts; ++t) {
            if (fileLeft - std::min(fileLeft, size) < 4) {
                reader.fail(recordAt); // the file is cut short
                run.damage = reader.damage();
                return;
            }
            const char* at = reader.peek(size + 4);
            if (!at) {
                run.damage = reader.damage();
                return;
            }
            std::int32_t count = 0;
            std::memcpy(&count, at + size, 4);
            if (count < 0 || static_cast<std::size_t>(count) > (fileLeft - size - 4) / 4) {
                reader.fail(recordAt + size);
                run.damage = reader.damage();
                return;
            }
            textAt[t] = size + 4;
            letters[t] = static_cast<std::size_t>(count);
            size += 4 + 4 * letters[t];
        }
        const char* at = reader.peek(size);
        if (!at) {
            run.damage = reader.damage();
            return;
        }
        LedgerRecord& record = run.records.emplace_back();
        std::int16_t kind = 0;
        std::memcpy(&kind, at + 4, 2);
        std::memcpy(&record.year, at + 6, 4);
        std::memcpy(&record.month, at + 10, 4);
        std::memcpy(&record.day, at + 14, 4);
        record.kind = static_cast<RecordKind>(kind);
        record.id = static_cast<std::int32_t>(run.records.size()); // the stored id gives way to the position
        for (std::size_t t = 0; t < texts; ++t) {
            const StoredField& field = layout.fields[t];
            const char* values = at + textAt[t];
            record.*field.member = memos[t].text(values, letters[t], [&](std::string& text) {
                const std::string_view read = unscrambleStoredLetters(values, letters[t], layout.key, PASSES, work);
                if (field.number)
                    text = normalizeDecimal(read);
                else
                    text.assign(read);
            });
        }
        reader.skip(size);
        if (handover && run.records.size() % Handover::BATCH == 0)
            handover->ready.store(run.records.size(), std::memory_order_release);
    }
}

// Whether `at` looks like the start of two records in a row, as this program writes them: a
// kind, and texts of whole letters, eight to a byte. Only a guess, to find where a second reader
// may start; what it reads counts only once the reader before it arrives at the same place.
bool looksLikeRecords(const char* at, std::size_t size, const RecordLayout& layout) {
    const auto letter = [](const char* value) {
        std::uint32_t v = 0;
        std::memcpy(&v, value, 4);
        return v >= 'A' && v <= 'Z';
    };
    std::size_t pos = 0;
    for (int record = 0; record < 2; ++record) {
        if (size - pos < FIXED_PART)
            return false;
        std::int16_t kind = 0;
        std::memcpy(&kind, at + pos + 4, 2);
        if (kind < 1 || kind > 4)
            return false;
        pos += FIXED_PART;
        for (std::size_t t = 0; t < layout.fields.size(); ++t) {
            if (size - pos < 4)
                return false;
            std::int32_t count = 0;
            std::memcpy(&count, at + pos, 4);
            pos += 4;
            if (count < 0 || count % 8 != 0 || static_cast<std::size_t>(count) > (size - pos) / 4)
                return false;
            if (count > 0 && !(letter(at + pos) && letter(at + pos + 4 * (static_cast<std::size_t>(count) - 1))))
                return false;
            pos += 4 * static_cast<std::size_t>(count);
        }
    }
    return true;
}

// Moves `reader` to the first place from where it stands, within a window, that looks like
// the start of records. False when there is none.
bool findRecordStart(ByteReader& reader, const RecordLayout& layout) {
    const std::size_t searched = std::min<std::size_t>(256 * 1024, reader.left());
    const char* at = reader.peek(searched);
    if (!at)
        return false;
    for (std::size_t pos = 0; pos < searched; ++pos) {
        if (looksLikeRecords(at + pos, searched - pos, layout)) {
            reader.skip(pos);
            return true;
        }
    }
    return false;
}

// The records after the header. A large file is read by two readers at once, one from the first
// record and one from about the middle on, each on its own core: unscrambling the texts is the
// most work of a load. The first reader stops where the second began; when it arrives there
// exactly, the two runs together are the file's records, else it reads on by itself. Nothing is
// appended unless the whole file made sense.
ReadResult readRecords(ByteReader& reader, ByteSource& source, const StoredHeader& header,
                       std::vector<LedgerRecord>& records) {
    const std::size_t lastIndexAt = reader.offset();
    const auto lastIndex = reader.value<std::int32_t>();
    if (reader.failed())
        return reader.damage();
    RecordLayout layout;
    if (header.version <= FORMAT_VERSION_LEGACY)
        layout.fields = LEGACY_FIELDS;
    layout.key = header.recordKey;
    const std::int64_t count = lastIndex < 0 ? 0 : std::int64_t{lastIndex} + 1;
    const std::size_t smallestRecord = FIXED_PART + 4 * layout.fields.size();
    if (static_cast<std::uint64_t>(count) > reader.left() / smallestRecord) {
        reader.fail(lastIndexAt);
        return reader.damage();
    }
    const auto most = static_cast<std::size_t>(count);

    // A second core is worth it from a few megabytes on. The first reader takes a little less
    // than half: it also takes the second one's records over, while that one reads on.
    constexpr std::size_t WORTH_A_SECOND_READER = 4 << 20;
    std::optional<ByteReader> secondReader;
    std::size_t secondStart = SIZE_MAX;
    RecordRun second;
    LedgerRecord* secondRecords = nullptr; // they stay where they are made
    Handover handover;
    bool secondGaveUp = false;
    std::thread helper;
    if (source.readsAnywhere() && std::thread::hardware_concurrency() > 1 && reader.left() >= WORTH_A_SECOND_READER) {
        secondReader.emplace(source, reader.offset() + reader.left() * 48 / 100);
        if (findRecordStart(*secondReader, layout)) {
            try {
                // Room for every record, so that none is ever moved while the first reader takes it.
                second.records.reserve(most);
                preferLargePages(second.records);
                secondRecords = second.records.data();
                helper = std::thread([&, layout] {
                    // The reader and its records on this thread's own stack, away from the first's.
                    ByteReader own(std::move(*secondReader));
                    RecordRun run{std::move(second.records), {}};
                    try {
                        readRun(own, layout, most, SIZE_MAX, run, &handover);
                    } catch (...) {
                        secondGaveUp = true; // the first reader reads on by itself
                    }
                    handover.ready.store(run.records.size(), std::memory_order_release);
                    handover.done.store(true, std::memory_order_release);
                    second = std::move(run);
                });
                secondStart = secondReader->offset();
            } catch (const std::exception&) { // no memory or no thread: one reader
            }
        }
    }

    RecordRun first;
    const auto joinHelper = [&] {
        if (helper.joinable())
            helper.join();
    };
    try {
        first.records.reserve(most);
        preferLargePages(first.records);
        readRun(reader, layout, most, secondStart, first);
    } catch (...) {
        joinHelper();
        throw;
    }
    bool whole = first.records.size() == most;
    if (first.damage.ok() && !whole && reader.offset() == secondStart) {
        // The two runs meet: the second one's records follow, taken over as they are finished.
        const std::size_t firstCount = first.records.size();
        const std::size_t needed = most - firstCount;
        std::size_t taken = 0;
        for (;;) {
            const bool done = handover.done.load(std::memory_order_acquire);
            const std::size_t ready = std::min(handover.ready.load(std::memory_order_acquire), needed);
            for (; taken < ready; ++taken) {
                LedgerRecord& record = first.records.emplace_back(std::move(secondRecords[taken]));
                record.id = static_cast<std::int32_t>(first.records.size());
            }
            if (done || taken == needed)
                break;
            std::this_thread::yield();
        }
        joinHelper();
        if (secondGaveUp)
            first.records.erase(first.records.begin() + static_cast<std::ptrdiff_t>(firstCount), first.records.end());
        else if (taken < needed)
            return second.damage;
        else
            whole = true;
    }
    joinHelper();
    if (!first.damage.ok())
        return first.damage;
    if (!whole) {
        readRun(reader, layout, most, SIZE_MAX, first);
        if (!first.damage.ok())
            return first.damage;
    }

    if (records.empty())
        records = std::move(first.records);
    else
        records.insert(records.end(), std::make_move_iterator(first.records.begin()),
                       std::make_move_iterator(first.records.end()));
    return {};
}

// The header, checked against `credentials` when given, then the records.
ReadResult readLedger(ByteSource& source, StoredHeader& header, std::vector<LedgerRecord>& records,
                      const Ledger* credentials) {
    ByteReader reader(source);
    if (const ReadResult result = readHeader(reader, header); !result.ok())
        return result;
    if (credentials && (header.userName != credentials->userName || header.password != credentials->password))
        return {ReadResult::Status::WrongCredentials, 0};
    return readRecords(reader, source, header, records);
}

} // namespace

bool serializeLedger(const Ledger& ledger, const ByteSink& sink, double formatVersion) {
    const bool allFields = formatVersion >= 2.0;
    RecordWriter put(sink);
    put.value(allFields ? FORMAT_VERSION_CURRENT : FORMAT_VERSION_LEGACY);
    std::uint32_t keySum = put.text(ledger.userName, HEADER_KEY);
    keySum += put.text(ledger.password, HEADER_KEY);
    const auto recordKey = static_cast<std::int32_t>(keySum);
    put.value(static_cast<std::int32_t>(ledger.records.size()) - 1);
    for (const LedgerRecord& record : ledger.records) {
        put.value(record.id);
        put.value(static_cast<std::int16_t>(record.kind));
        put.value(record.year);
        put.value(record.month);
        put.value(record.day);
        put.text(record.item, recordKey);
        if (allFields)
            put.text(record.quantity, recordKey);
        put.text(record.amount, recordKey);
        if (allFields)
            put.text(record.writtenOff, recordKey);
        put.text(record.note, recordKey);
    }
    return put.finish();
}

void serializeLedger(const Ledger& ledger, std::string& out, double formatVersion) {
    serializeLedger(
        ledger,
        [&out](std::string_view chunk) {
            out.append(chunk);
            return true;
        },
        formatVersion);
}

ReadResult serializeLedger(Ledger& ledger, ByteSource& source) {
    StoredHeader header;
    return readLedger(source, header, ledger.records, &ledger);
}

ReadResult serializeLedger(Ledger& ledger, std::string_view bytes) {
    BufferSource source(bytes);
    return serializeLedger(ledger, source);
}

ReadResult readStoredHeader(std::string_view bytes, StoredHeader& header) {
    BufferSource source(bytes);
    ByteReader reader(source);
    return readHeader(reader, header);
}

ReadResult readStoredCount(std::string_view bytes, StoredHeader& header, std::int64_t& count) {
    BufferSource source(bytes);
    ByteReader reader(source);
    if (const ReadResult result = readHeader(reader, header); !result.ok())
        return result;
    const auto lastIndex = reader.value<std::int32_t>();
    if (reader.failed())
        return reader.damage();
    count = lastIndex < 0 ? 0 : std::int64_t{lastIndex} + 1;
    return {};
}

ReadResult readStoredLedger(std::string_view bytes, StoredHeader& header, std::vector<LedgerRecord>& records) {
    BufferSource source(bytes);
    return readStoredLedger(source, header, records);
}

ReadResult readStoredLedger(ByteSource& source, StoredHeader& header, std::vector<LedgerRecord>& records) {
    return readLedger(source, header, records, nullptr);
}

ReadResult checkCredentials(const std::string& dataDir, const std::string& userName, const std::string& password) {
    FileSource file(recordFilePathFor(dataDir, userName));
    if (file.status() != FileRead::Status::Ok)
        return {ReadResult::Status::Unreadable, 0};
    ByteReader reader(file); // only the header is read
    StoredHeader header;
    if (const ReadResult result = readHeader(reader, header); !result.ok())
        return result;
    if (header.userName != userName || header.password != password)
        return {ReadResult::Status::WrongCredentials, 0};
    return {};
}

bool saveLedger(const Ledger& ledger, FileOps& ops) {
    AtomicFile file(ledger.recordFilePath, ops);
    const ByteSink toFile = [&file](std::string_view chunk) { return file.write(chunk); };
    return file.open() && serializeLedger(ledger, toFile, 2.0) && file.commit();
}
