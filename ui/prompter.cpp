#include "ui/prompter.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

const QString PROGRAM_NAME = QStringLiteral("明账小匣");

class StandardPrompter final : public Prompter {
public:
    void showMessage(QWidget* parent, const QString& text, const QString& title, Icon icon) override {
        QMessageBox box(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::Information,
                        title.isEmpty() ? PROGRAM_NAME : title, text, QMessageBox::Ok, parent);
        box.exec();
    }

    bool askYesNo(QWidget* parent, const QString& text) override {
        return QMessageBox::question(parent, PROGRAM_NAME, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::Yes) == QMessageBox::Yes;
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
