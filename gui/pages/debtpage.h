#pragma once

#include "gui/pages/entrypage.h"

class DebtPage final : public EntryPage {
public:
    DebtPage(LedgerContext& context, QWidget* parent)
        : EntryPage(context, parent, QStringLiteral("债务记账"), QStringLiteral("对象："), ItemListKind::Counterparts,
                    {{QStringLiteral("借出"), ItemListKind::Counterparts},
                     {QStringLiteral("借入"), ItemListKind::Counterparts}}) {}
};
