#pragma once

#include "pages/entrypage.h"

class ExpensePage final : public EntryPage {
public:
    ExpensePage(MainWindow& window, QWidget* parent)
        : EntryPage(window, parent, QStringLiteral("支出记账"), QStringLiteral("项目："), ItemListKind::ExpenseItems) {}
};
