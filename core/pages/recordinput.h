#pragma once

#include "core/ledger/calendar.h"
#include "core/ledger/ledger.h"
#include "core/pages/pagelists.h"

#include <optional>
#include <string>

// The input checks of the entry pages, the edit dialog and the write-off dialog, and the records
// they build. Messages are GBK.

enum class InputField { Item, Note, Quantity, Amount, WrittenOff };

// The typed texts. Item and note are GBK, nullopt when GBK cannot hold what was typed; the numbers
// are the typed text as it is (only their leading number counts).
struct RecordInput {
    std::optional<std::string> item;
    std::optional<std::string> note;
    std::string quantity;
    std::string amount;
    std::string writtenOff;
};

struct InputProblem {
    InputField field; // where the focus goes
    std::string message;

    bool operator==(const InputProblem&) const = default;
};

// Which fields and words the edit dialog uses.
enum class EditMode : std::int16_t {
    Plain = 1,        // item and amount (expense and income pages)
    WithQuantity = 2, // item, amount and quantity (combined page)
    Debt = 3,         // counterpart and amount (debt page)
};

// "添加" on a page; the first failing check in the page's order, or nullopt.
std::optional<InputProblem> checkNewRecord(PageView view, const RecordInput& input);
// "保存" in the edit dialog.
std::optional<InputProblem> checkEdit(EditMode mode, const RecordInput& input);
// "保存" in the write-off dialog.
std::optional<InputProblem> checkWriteOff(const RecordInput& input);

// The record "添加" appends, once its input passed the checks. Pages without a quantity box
// give "1.00".
LedgerRecord newRecord(std::int32_t id, RecordKind kind, CalendarDate date, const RecordInput& input,
                       bool withQuantity);
// The record as the edit dialog writes it back over `original`: only the item, the amount, the
// note and (with a quantity box) the quantity change.
LedgerRecord editedRecord(const LedgerRecord& original, EditMode mode, const RecordInput& input);
// The debt with a new written-off total (it replaces the old one) and note.
LedgerRecord writtenOffRecord(const LedgerRecord& original, const RecordInput& input);
