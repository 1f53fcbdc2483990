#include "core/ledger/recordfile.h"

#include "core/ledger/decimal.h"
#include "core/ledger/scrambler.h"

#include <algorithm>
#include <bit>
#include <cstring>
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
class ByteReader {
public:
    explicit ByteReader(ByteSource& source) : m_source(source), m_size(source.size()) {}

    std::size_t offset() const { return m_windowStart + m_pos; }
    std::size_t left() const { return m_size - std::min(m_size, offset()); }
    bool failed() const { return m_failed; }

    ReadResult damage() const {
        if (m_source.failed())
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
        unscrambleStoredLetters(values, static_cast<std::size_t>(count), key, PASSES, m_scratch);
        return m_scratch;
    }

    void fail(std::size_t at) {
        if (!m_failed)
            m_failedAt = at;
        m_failed = true;
    }

    // At least `size` of the next bytes in one piece, fewer only where the source ends: a pointer to
    // them and how many there are. Nothing is consumed; skip() does that.
    std::size_t have(std::size_t size, const char*& at) {
        const std::size_t wanted = std::min(size, left());
        if (!m_failed && m_end - m_pos < wanted && !fill(wanted))
            fail(offset());
        at = m_window.data() + m_pos;
        return m_failed ? 0 : m_end - m_pos;
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
        if (m_end - m_pos < size && !fill(size)) {
            fail(offset());
            return nullptr;
        }
        const char* bytes = m_window.data() + m_pos;
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
        const std::size_t wanted = std::min(std::max(size, WINDOW_SIZE), left());
        if (m_window.size() < wanted)
            m_window.resize(wanted);
        while (m_end < size) {
            const std::size_t n = m_source.read(m_window.data() + m_end, m_window.size() - m_end);
            if (n == 0)
                return false; // the file ended early, shrank, or could not be read
            m_end += n;
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
    bool m_failed = false;
    std::string m_scratch;
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

// Where each text of a record lies in the reader's window: the first of its letters and how many.
struct StoredText {
    const char* at = nullptr;
    std::uint32_t letters = 0;
};

// The records after the header, a chunk of the file at a time: one pass over the chunk finds
// where every text lies and checks every count against the bytes the file has left; then the
// texts, the most work of a load, are unscrambled on both cores, for texts are independent of
// each other. Nothing is appended unless the whole file made sense.
ReadResult readRecords(ByteReader& reader, const StoredHeader& header, std::vector<LedgerRecord>& records) {
    const std::size_t lastIndexAt = reader.offset();
    const auto lastIndex = reader.value<std::int32_t>();
    if (reader.failed())
        return reader.damage();
    const bool hasAllFields = header.version > FORMAT_VERSION_LEGACY;
    const std::size_t textsPerRecord = hasAllFields ? 5 : 3;
    const std::int64_t count = lastIndex < 0 ? 0 : std::int64_t{lastIndex} + 1;
    // id, kind, date, and one count per text field: the least a record can take.
    constexpr std::size_t FIXED = 4 + 2 + 12;
    const std::size_t smallestRecord = FIXED + 4 * textsPerRecord;
    if (static_cast<std::uint64_t>(count) > reader.left() / smallestRecord) {
        reader.fail(lastIndexAt);
        return reader.damage();
    }

    std::vector<LedgerRecord> read(static_cast<std::size_t>(count));
    const std::int32_t key = header.recordKey;
    std::vector<StoredText> texts;
    const auto decode = [&](std::size_t first, std::size_t begin, std::size_t end) {
        std::string scratch;
        const auto text = [&](std::size_t i, std::size_t field) -> std::string& {
            const StoredText& stored = texts[(i - first) * textsPerRecord + field];
            unscrambleStoredLetters(stored.at, stored.letters, key, PASSES, scratch);
            return scratch;
        };
        for (std::size_t i = begin; i < end; ++i) {
            LedgerRecord& record = read[i];
            record.item = text(i, 0);
            if (hasAllFields) {
                record.quantity = normalizeDecimal(text(i, 1));
                record.amount = normalizeDecimal(text(i, 2));
                record.writtenOff = normalizeDecimal(text(i, 3));
                record.note = text(i, 4);
            } else { // quantity "1.00" and written-off "0.00" as a record is made
                record.amount = normalizeDecimal(text(i, 1));
                record.note = text(i, 2);
            }
        }
    };
    // A second core takes half a chunk; a small chunk, or a machine of one core, is not worth it.
    constexpr std::size_t WORTH_A_THREAD = 2048;
    const bool twoCores = std::thread::hardware_concurrency() > 1;
    constexpr std::size_t CHUNK = 4 << 20;

    std::size_t next = 0;
    std::size_t wanted = CHUNK;
    while (next < read.size()) {
        const char* base = nullptr;
        const std::size_t available = reader.have(wanted, base);
        if (reader.failed())
            return reader.damage();
        const std::size_t fileLeft = reader.left();
        const std::size_t first = next;
        std::size_t pos = 0;
        texts.clear();
        // The records lying whole in the chunk.
        while (next < read.size()) {
            std::size_t at = pos;
            if (available - at < FIXED + 4)
                break;
            LedgerRecord& record = read[next];
            std::int16_t kind = 0;
            std::memcpy(&kind, base + at + 4, 2);
            std::memcpy(&record.year, base + at + 6, 4);
            std::memcpy(&record.month, base + at + 10, 4);
            std::memcpy(&record.day, base + at + 14, 4);
            record.kind = static_cast<RecordKind>(kind);
            record.id = static_cast<std::int32_t>(next + 1); // the stored id is replaced by the position
            at += FIXED;
            bool whole = true;
            for (std::size_t t = 0; t < textsPerRecord && whole; ++t) {
                if (available - at < 4) {
                    whole = false;
                    break;
                }
                std::int32_t letters = 0;
                std::memcpy(&letters, base + at, 4);
                if (letters < 0 || static_cast<std::size_t>(letters) > (fileLeft - at - 4) / 4) {
                    reader.fail(reader.offset() + at);
                    return reader.damage();
                }
                const std::size_t size = 4 * static_cast<std::size_t>(letters);
                whole = available - at - 4 >= size;
                texts.push_back({base + at + 4, static_cast<std::uint32_t>(letters)});
                at += 4 + size;
            }
            if (!whole) {
                texts.resize((next - first) * textsPerRecord);
                break;
            }
            pos = at;
            ++next;
        }
        if (next == first) {
            // Not one record lies whole in the chunk: where the file has no more, it is cut short;
            // else the record is larger than the chunk, which grows for it.
            if (available >= fileLeft) {
                reader.fail(reader.offset() + pos);
                return reader.damage();
            }
            wanted = 2 * available;
            continue;
        }
        std::thread helper;
        std::size_t half = next;
        if (twoCores && next - first >= WORTH_A_THREAD) {
            half = first + (next - first) / 2;
            try {
                helper = std::thread(decode, first, half, next);
            } catch (const std::system_error&) {
                half = next; // no thread to be had: this one does it all
            }
        }
        decode(first, first, half);
        if (helper.joinable())
            helper.join();
        reader.skip(pos);
        wanted = CHUNK;
    }

    if (records.empty())
        records = std::move(read);
    else
        records.insert(records.end(), std::make_move_iterator(read.begin()), std::make_move_iterator(read.end()));
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
    return readRecords(reader, header, records);
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
