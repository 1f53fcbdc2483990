#pragma once

#include "gui/pages/entrypage.h"

class IncomePage final : public EntryPage {
public:
    IncomePage(LedgerContext& context, QWidget* parent)
        : EntryPage(context, parent, QStringLiteral("收入记账"), QStringLiteral("项目："), ItemListKind::IncomeItems) {}
};
