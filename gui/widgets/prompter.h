#pragma once

#include <QString>

class QWidget;

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
    // Empty when cancelled. `filter` uses Qt's "Name (*.ext);;Other (*.ext)" form.
    virtual QString askOpenFile(QWidget* parent, const QString& proposedName, const QString& filter) = 0;
    virtual QString askSaveFile(QWidget* parent, const QString& proposedName, const QString& filter,
                                QString* chosenFilter) = 0;
};

Prompter& prompter();
// Replaces the standard boxes (nullptr restores them).
void setPrompter(Prompter* replacement);
