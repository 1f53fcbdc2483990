#include "gui/widgets/prompter.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

const QString PROGRAM_NAME = QStringLiteral("明账小匣");

class StandardPrompter final : public Prompter {
public:
    void showMessage(QWidget* parent, const QString& text, const QString& title, Icon icon) override {
        QMessageBox box(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::Information,
                        title.isEmpty() ? PROGRAM_NAME : title, text, QMessageBox::Ok, parent);
        box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
        box.exec();
    }

    bool askYesNo(QWidget* parent, const QString& text) override {
        QMessageBox box(QMessageBox::Question, PROGRAM_NAME, text, QMessageBox::Yes | QMessageBox::No, parent);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
        box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes;
    }

    QString askOpenFile(QWidget* parent, const QString& proposedName, const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, {}, proposedName, filter);
    }

    QString askSaveFile(QWidget* parent, const QString& proposedName, const QString& filter,
                        QString* chosenFilter) override {
        return QFileDialog::getSaveFileName(parent, {}, proposedName, filter, chosenFilter);
    }
};

Prompter* current = nullptr;

} // namespace

Prompter& prompter() {
    static StandardPrompter standard;
    return current ? *current : standard;
}

void setPrompter(Prompter* replacement) { current = replacement; }
