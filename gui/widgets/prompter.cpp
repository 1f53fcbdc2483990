#include "gui/widgets/prompter.h"

#include "core/app/settingkeys.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>

namespace {

const QString PROGRAM_NAME = QStringLiteral("明账小匣");
const QString FOLDER_KEY = QStringLiteral("dialogs/folder");

QSettings profile() { return QSettings(QString::fromUtf8(APPLICATION_NAME), QString::fromUtf8(APPLICATION_NAME)); }

// The folder of the last file chosen in a prompt, if it still exists; else the home folder.
QString startFolder() {
    const QString folder = profile().value(FOLDER_KEY).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

QString runFileDialog(QWidget* parent, const FileRequest& request, bool saving, QString* chosenFilter) {
    const std::unique_ptr<QFileDialog> dialog = fileDialog(parent, request, saving);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    if (chosenFilter)
        *chosenFilter = dialog->selectedNameFilter();
    const QString chosen = dialog->selectedFiles().front();
    profile().setValue(FOLDER_KEY, QFileInfo(chosen).absolutePath());
    return chosen;
}

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

    QString askOpenFile(QWidget* parent, const FileRequest& request) override {
        return runFileDialog(parent, request, false, nullptr);
    }

    QString askSaveFile(QWidget* parent, const FileRequest& request, QString* chosenFilter) override {
        return runFileDialog(parent, request, true, chosenFilter);
    }
};

Prompter* current = nullptr;

} // namespace

std::unique_ptr<QFileDialog> fileDialog(QWidget* parent, const FileRequest& request, bool saving) {
    auto dialog = std::make_unique<QFileDialog>(parent, request.title, startFolder(), request.filter);
    dialog->setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The dialog completes the name itself, so its question before replacing a file is asked
    // about the file that will really be written.
    dialog->setDefaultSuffix(request.defaultSuffix);
    if (!request.proposedName.isEmpty())
        dialog->selectFile(request.proposedName);
    return dialog;
}

Prompter& prompter() {
    static StandardPrompter standard;
    return current ? *current : standard;
}

void setPrompter(Prompter* replacement) { current = replacement; }
