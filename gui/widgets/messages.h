#pragma once

#include "core/ledger/recordfile.h"

#include <QString>

// Messages about the record file that several windows show.
QString recordFileCannotOpenMessage(const std::string& path);
QString damagedRecordFileMessage(const std::string& path, const ReadResult& result);
