#pragma once

#include "core/ledger/itemlist.h"
#include "gui/pages/ledgerpage.h"

#include <QString>

#include <utility>
#include <vector>

class ItemPicker;

// What the entry pages share while their record lists are being built: a heading and the
// quick-input drop-down of their list, refilled whenever the page is shown. `kindChoices`, when
// given, are radio buttons, each showing its own list (the combined page's "支出"/"收入").
class EntryPage : public LedgerPage {
public:
    EntryPage(LedgerContext& context, QWidget* parent, const QString& heading, const QString& pickerLabel,
              ItemListKind kind, const std::vector<std::pair<QString, ItemListKind>>& kindChoices = {});
    void refresh() override;

private:
    ItemPicker* m_picker;
};
