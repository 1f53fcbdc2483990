#pragma once

#include "gui/widgets/prompter.h"

class LedgerContext;

// Asks where an export is to be written, and asks again, after saying why, as long as the choice
// is a record file or lies in the data directory. Empty when cancelled.
QString askExportFile(const LedgerContext& context, QWidget* parent, const FileRequest& request,
                      QString* chosenFilter = nullptr);
