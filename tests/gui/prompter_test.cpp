// The standard prompter's file dialogs, driven as a user would drive them.
#include "gui/widgets/prompter.h"
#include "tests/gui/guitest.h"
#include "tests/support/tempdir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Calls `act` with the message box once one is open, looking for it every few milliseconds.
void whenAMessageBoxOpens(std::function<void(QMessageBox&)> act, int triesLeft = 200) {
    QTimer::singleShot(10, [act, triesLeft] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            act(*box);
        else if (triesLeft > 0)
            whenAMessageBoxOpens(act, triesLeft - 1);
    });
}

// Types `name` into the save dialog once it is open, accepts it and answers its question about
// replacing a file with `replace`; `question` gets the text asked.
void typeIntoSaveDialog(const QString& name, bool replace, QString& question) {
    QTimer::singleShot(0, [=, &question] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        whenAMessageBoxOpens([=, &question](QMessageBox& box) {
            question = box.text();
            box.button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
            if (!replace) // the dialog stays open after a No
                QTimer::singleShot(0, dialog, &QDialog::reject);
        });
        child<QLineEdit>(*dialog, "fileNameEdit")->setText(name);
        QMetaObject::invokeMethod(dialog, "accept"); // as the dialog's own button does
    });
}

TEST(FilePrompts, TheSuffixIsAddedBeforeTheQuestionAboutReplacing) {
    resetSettings();
    TempDir dir;
    dir.write("bak.cct", "a whole year's backup");
    const FileRequest request{QString(), QString(), QStringLiteral("2.0版本(*.cct)"), QStringLiteral("cct")};
    QString question;

    typeIntoSaveDialog(QString::fromStdString(dir.path() + "bak"), false, question);
    EXPECT_TRUE(prompter().askSaveFile(nullptr, request).isEmpty());
    EXPECT_TRUE(question.contains(QStringLiteral("bak.cct"))) << question.toStdString(); // asked about the real name

    question.clear();
    typeIntoSaveDialog(QString::fromStdString(dir.path() + "bak"), true, question);
    EXPECT_EQ(prompter().askSaveFile(nullptr, request), QString::fromStdString(dir.path() + "bak.cct"));
    EXPECT_FALSE(question.isEmpty());

    // The next prompt opens in the folder last used; without one, in the home folder.
    EXPECT_EQ(fileDialog(nullptr, request, true)->directory().absolutePath() + QLatin1Char('/'),
              QString::fromStdString(dir.path()));
    resetSettings();
    EXPECT_EQ(fileDialog(nullptr, request, false)->directory().absolutePath(), QDir::homePath());
}

} // namespace
