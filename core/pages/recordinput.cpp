#include "core/pages/recordinput.h"

#include "core/ledger/decimal.h"
#include "core/ledger/gbk.h"

#include <span>

namespace {

enum class Test { Empty, Illegal };

struct Check {
    InputField field;
    Test test;
    const char* message; // UTF-8 here, shown in GBK
};

// A text holding a double quote or an apostrophe, or one GBK cannot hold, is refused: either
// would break the texts the exports build from it.
bool illegal(const std::optional<std::string>& text) {
    return !text || text->find_first_of("\"'") != std::string::npos;
}

bool fails(const Check& check, const RecordInput& input) {
    switch (check.field) {
    case InputField::Item:
        return check.test == Test::Empty ? input.item && input.item->empty() : illegal(input.item);
    case InputField::Note:
        return check.test == Test::Empty ? input.note && input.note->empty() : illegal(input.note);
    case InputField::Quantity:
        return input.quantity.empty();
    case InputField::Amount:
        return input.amount.empty();
    case InputField::WrittenOff:
        return input.writtenOff.empty();
    }
    return false;
}

std::optional<InputProblem> firstProblem(std::span<const Check> checks, const RecordInput& input) {
    for (const Check& check : checks)
        if (fails(check, input))
            return InputProblem{check.field, gbkText(check.message)};
    return std::nullopt;
}

constexpr const char* ITEM_ILLEGAL = "项目名称含有非法字符。";
constexpr const char* NOTE_ILLEGAL = "备注含有非法字符。";
constexpr const char* QUANTITY_EMPTY = "数量不能为空，请重新填写。";
constexpr const char* AMOUNT_EMPTY = "金额不能为空，请重新填写。";
constexpr const char* BOTH_ITEM_EMPTY = "您没有填写收支项目名称。";
constexpr const char* DEBT_ITEM_EMPTY = "您没有填写债务对象名称。";

constexpr Check EXPENSE_CHECKS[] = {
    {InputField::Item, Test::Empty, "您没有填写支出项目名称。"},
    {InputField::Item, Test::Illegal, ITEM_ILLEGAL},
    {InputField::Note, Test::Illegal, NOTE_ILLEGAL},
    {InputField::Amount, Test::Empty, AMOUNT_EMPTY},
};
constexpr Check INCOME_CHECKS[] = {
    {InputField::Item, Test::Empty, "您没有填写收入项目名称。"},
    {InputField::Item, Test::Illegal, ITEM_ILLEGAL},
    {InputField::Note, Test::Illegal, NOTE_ILLEGAL},
    {InputField::Amount, Test::Empty, AMOUNT_EMPTY},
};
constexpr Check COMBINED_CHECKS[] = {
    {InputField::Item, Test::Empty, BOTH_ITEM_EMPTY}, {InputField::Item, Test::Illegal, ITEM_ILLEGAL},
    {InputField::Note, Test::Illegal, NOTE_ILLEGAL},  {InputField::Quantity, Test::Empty, QUANTITY_EMPTY},
    {InputField::Amount, Test::Empty, AMOUNT_EMPTY},
};
constexpr Check DEBT_CHECKS[] = {
    {InputField::Item, Test::Empty, DEBT_ITEM_EMPTY},
    {InputField::Item, Test::Illegal, "对象名称含有非法字符。"},
    {InputField::Note, Test::Illegal, NOTE_ILLEGAL},
    {InputField::Amount, Test::Empty, AMOUNT_EMPTY},
};

constexpr const char* NAME_ILLEGAL = "名称含有非法字符。";
constexpr const char* TEXT_ILLEGAL = "含有非法字符。";

constexpr Check EDIT_CHECKS[] = {
    {InputField::Item, Test::Empty, BOTH_ITEM_EMPTY},
    {InputField::Item, Test::Illegal, NAME_ILLEGAL},
    {InputField::Note, Test::Illegal, TEXT_ILLEGAL},
    {InputField::Amount, Test::Empty, AMOUNT_EMPTY},
};
constexpr Check EDIT_WITH_QUANTITY_CHECKS[] = {
    {InputField::Item, Test::Empty, BOTH_ITEM_EMPTY}, {InputField::Item, Test::Illegal, NAME_ILLEGAL},
    {InputField::Note, Test::Illegal, TEXT_ILLEGAL},  {InputField::Quantity, Test::Empty, QUANTITY_EMPTY},
    {InputField::Amount, Test::Empty, AMOUNT_EMPTY},
};
constexpr Check EDIT_DEBT_CHECKS[] = {
    {InputField::Item, Test::Empty, DEBT_ITEM_EMPTY},
    {InputField::Item, Test::Illegal, NAME_ILLEGAL},
    {InputField::Note, Test::Illegal, TEXT_ILLEGAL},
    {InputField::Amount, Test::Empty, AMOUNT_EMPTY},
};

constexpr Check WRITE_OFF_CHECKS[] = {
    {InputField::Note, Test::Illegal, TEXT_ILLEGAL},
    {InputField::WrittenOff, Test::Empty, "销账金额不能为空，请重新填写。"},
};

} // namespace

std::optional<InputProblem> checkNewRecord(PageView view, const RecordInput& input) {
    switch (view) {
    case PageView::Expense:
        return firstProblem(EXPENSE_CHECKS, input);
    case PageView::Income:
        return firstProblem(INCOME_CHECKS, input);
    case PageView::Combined:
        return firstProblem(COMBINED_CHECKS, input);
    case PageView::Debt:
        return firstProblem(DEBT_CHECKS, input);
    }
    return std::nullopt;
}

std::optional<InputProblem> checkEdit(EditMode mode, const RecordInput& input) {
    switch (mode) {
    case EditMode::Plain:
        return firstProblem(EDIT_CHECKS, input);
    case EditMode::WithQuantity:
        return firstProblem(EDIT_WITH_QUANTITY_CHECKS, input);
    case EditMode::Debt:
        return firstProblem(EDIT_DEBT_CHECKS, input);
    }
    return std::nullopt;
}

std::optional<InputProblem> checkWriteOff(const RecordInput& input) { return firstProblem(WRITE_OFF_CHECKS, input); }

LedgerRecord newRecord(std::int32_t id, RecordKind kind, CalendarDate date, const RecordInput& input,
                       bool withQuantity) {
    LedgerRecord record;
    record.id = id;
    record.kind = kind;
    record.year = date.year;
    record.month = date.month;
    record.day = date.day;
    record.item = input.item.value_or("");
    record.quantity = withQuantity ? normalizeDecimal(input.quantity) : formatDecimal(1.0);
    record.amount = normalizeDecimal(input.amount);
    record.writtenOff = formatDecimal(0.0);
    record.note = input.note.value_or("");
    return record;
}

LedgerRecord editedRecord(const LedgerRecord& original, EditMode mode, const RecordInput& input) {
    LedgerRecord record = original;
    record.item = input.item.value_or("");
    // Without a quantity box the hidden quantity is the stored one, written again.
    record.quantity = normalizeDecimal(mode == EditMode::WithQuantity ? input.quantity : original.quantity);
    record.amount = normalizeDecimal(input.amount);
    record.note = input.note.value_or("");
    return record;
}

LedgerRecord writtenOffRecord(const LedgerRecord& original, const RecordInput& input) {
    LedgerRecord record = original;
    record.writtenOff = normalizeDecimal(input.writtenOff);
    record.note = input.note.value_or("");
    return record;
}
