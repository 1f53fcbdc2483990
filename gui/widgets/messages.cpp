#include "gui/widgets/messages.h"

#include "gui/widgets/gbktext.h"

QString recordFileCannotOpenMessage(const std::string& path) {
    return QStringLiteral("记录文件%1无法打开。").arg(fromPath(path));
}

QString damagedRecordFileMessage(const std::string& path, const ReadResult& result) {
    if (result.status == ReadResult::Status::Unreadable)
        return recordFileCannotOpenMessage(path);
    return QStringLiteral("记录文件%1已损坏（第%2字节起无法识别），无法读取。文件未作任何改动。")
        .arg(fromPath(path), QString::number(result.offset));
}
