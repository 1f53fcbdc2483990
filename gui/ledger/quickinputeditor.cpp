#include "gui/ledger/quickinputeditor.h"

#include "core/ledger/filestore.h"
#include "gui/widgets/gbktext.h"
#include "gui/widgets/prompter.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

QuickInputEditor::QuickInputEditor(const Ledger& ledger, ItemListKind kind, QWidget* parent)
    : QDialog(parent), m_ledger(ledger), m_kind(kind), m_listEdit(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("快捷输入编辑"));
    m_listEdit->setObjectName(QStringLiteral("listEdit"));
    m_listEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_listEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* saveButton = new QPushButton(QStringLiteral("保存"), this);
    saveButton->setObjectName(QStringLiteral("saveButton"));
    saveButton->setDefault(true); // Enter in the list itself still starts a new line

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_listEdit);
    layout->addWidget(saveButton, 0, Qt::AlignRight);
    resize(300, 360);

    // Only the user's own file is shown here, never the defaults.
    const FileRead file = readFile(itemListPath(ledger, kind));
    if (file.status == FileRead::Status::Ok) {
        QString text;
        for (const std::string& entry : parseItemList(file.bytes).entries)
            text += fromGbk(entry) + QLatin1Char('\n');
        m_listEdit->setPlainText(text);
    }
    connect(saveButton, &QPushButton::clicked, this, &QuickInputEditor::onSaveClicked);
}

void QuickInputEditor::onSaveClicked() {
    const std::optional<std::string> text = toGbk(m_listEdit->toPlainText());
    if (!text) {
        prompter().showMessage(this, QStringLiteral("列表中含有无法保存的字符，请删除后再保存。"));
        return;
    }
    ItemList lines = splitLines(*text);
    lines.erase(std::remove(lines.begin(), lines.end(), std::string()), lines.end());
    saveItemList(m_ledger, m_kind, lines);
    accept();
}
