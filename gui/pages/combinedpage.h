#pragma once

#include "gui/pages/entrypage.h"

class CombinedPage final : public EntryPage {
public:
    CombinedPage(LedgerContext& context, QWidget* parent)
        : EntryPage(context, parent, QStringLiteral("收支记账"), QStringLiteral("项目："), ItemListKind::ExpenseItems,
                    {{QStringLiteral("支出"), ItemListKind::ExpenseItems},
                     {QStringLiteral("收入"), ItemListKind::IncomeItems}}) {}
};
