#pragma once

#include "gui/pages/entrypage.h"

class ExpensePage final : public EntryPage {
public:
    ExpensePage(LedgerContext& context, QWidget* parent)
        : EntryPage(context, parent, QStringLiteral("支出记账"), QStringLiteral("项目："), ItemListKind::ExpenseItems) {
    }
};
