// Feeds arbitrary bytes to every reader of the record file format.
#include "core/export/textreport.h"
#include "core/ledger/recordfile.h"
#include "core/pages/pagelists.h"
#include "core/stats/dialoglists.h"
#include "core/stats/statistics.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

// Hands out a few bytes per read, as a slow or interrupted file would.
class TrickleSource final : public ByteSource {
public:
    explicit TrickleSource(std::string_view bytes) : m_bytes(bytes) {}
    std::size_t size() const override { return m_bytes.size(); }
    std::size_t read(char* into, std::size_t max) override {
        const std::size_t n = std::min({max, m_bytes.size() - m_read, std::size_t{7}});
        std::memcpy(into, m_bytes.data() + m_read, n);
        m_read += n;
        return n;
    }

private:
    std::string_view m_bytes;
    std::size_t m_read = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    StoredHeader header;
    std::vector<LedgerRecord> records;
    readStoredLedger(bytes, header, records);

    // The login path: credentials taken from the file itself, so the body gets read too.
    Ledger ledger;
    if (readStoredHeader(bytes, header).ok()) {
        ledger.userName = header.userName;
        ledger.password = header.password;
    }
    const ReadResult result = serializeLedger(ledger, bytes);
    if (!result.ok() && !ledger.records.empty())
        __builtin_trap(); // a failed read must leave the ledger as it was

    // Read in small pieces, the same file must give the same ledger.
    Ledger trickled;
    trickled.userName = ledger.userName;
    trickled.password = ledger.password;
    TrickleSource source(bytes);
    const ReadResult again = serializeLedger(trickled, source);
    if (again.status != result.status || trickled.records != ledger.records)
        __builtin_trap();

    // Whatever a file holds, every list and statistic over its records is computed without
    // undefined behaviour (dates of any year, months and days out of range, any amount text).
    if (!ledger.records.empty()) {
        const LedgerRecord& first = ledger.records.front();
        const CalendarDate day{first.year, first.month >= 1 && first.month <= 12 ? first.month : 1, 1};
        const CalendarDate nextDay{day.year, day.month, 2};
        for (const PageView view : {PageView::Expense, PageView::Income, PageView::Combined, PageView::Debt})
            pageList(view, ledger.records, day);
        queryPeriod(ledger.records, day, nextDay, true);
        settleYear(ledger.records, first.year, true);
        showMonthBalances(ledger.records, day, true);
        dailyRecords(ledger.records, day, nextDay);
        shareList(groupShares(ledger.records, day, nextDay, RecordKind::Expense), RecordKind::Expense);
        recordQueryYear(ledger.records, first.item, first.year);
        textReport(ledger.records, day, nextDay, ReportFormat::I);
    }
    return 0;
}
