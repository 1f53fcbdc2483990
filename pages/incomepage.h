#pragma once

#include "pages/entrypage.h"

class IncomePage final : public EntryPage {
public:
    IncomePage(MainWindow& window, QWidget* parent)
        : EntryPage(window, parent, QStringLiteral("收入记账"), QStringLiteral("项目："), ItemListKind::IncomeItems) {}
};
