#pragma once

#include <QString>

#include <memory>

class QFileDialog;
class QWidget;

// What a file prompt shows and how it completes a name.
struct FileRequest {
    QString title;         // empty: the toolkit's own
    QString proposedName;  // a name, shown in the folder last used (or the home folder)
    QString filter;        // Qt's "Name (*.ext);;Other (*.ext)" form
    QString defaultSuffix; // added to a name typed without one, before the overwrite question sees it
};

// Every message box, Yes/No question and file prompt of the program goes through here, so tests
// can answer them without a person at the screen.
class Prompter {
public:
    enum class Icon { Information, Warning };

    virtual ~Prompter() = default;
    // An empty title means the program's name.
    virtual void showMessage(QWidget* parent, const QString& text, const QString& title = {},
                             Icon icon = Icon::Information) = 0;
    virtual bool askYesNo(QWidget* parent, const QString& text) = 0;
    // Empty when cancelled.
    virtual QString askOpenFile(QWidget* parent, const FileRequest& request) = 0;
    // Asks before an existing file is replaced; `chosenFilter`, when given, gets the filter entry chosen.
    virtual QString askSaveFile(QWidget* parent, const FileRequest& request, QString* chosenFilter = nullptr) = 0;
};

Prompter& prompter();
// Replaces the standard boxes (nullptr restores them).
void setPrompter(Prompter* replacement);

// The file prompt the standard prompter runs, set up for the request: it opens in the folder last
// used, and the standard prompter remembers the folder of every file chosen.
std::unique_ptr<QFileDialog> fileDialog(QWidget* parent, const FileRequest& request, bool saving);
