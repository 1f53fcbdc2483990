#pragma once

#include "gui/widgets/prompter.h"

#include <QStringList>
#include <QWidget>

#include <deque>

// Answers the program's message boxes and questions in tests, and remembers what was shown.
class FakePrompter final : public Prompter {
public:
    FakePrompter() { setPrompter(this); }
    ~FakePrompter() override { setPrompter(nullptr); }

    void showMessage(QWidget*, const QString& text, const QString& title, Icon icon) override {
        messages << text;
        lastTitle = title;
        lastIcon = icon;
    }
    bool askYesNo(QWidget*, const QString& text) override {
        questions << text;
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QString askOpenFile(QWidget*, const QString&, const QString&) override { return openAnswer; }
    QString askSaveFile(QWidget*, const QString&, const QString& filter, QString* chosenFilter) override {
        saveFilters << filter;
        if (chosenFilter)
            *chosenFilter = saveFilterAnswer;
        return saveAnswer;
    }

    QStringList messages;
    QStringList saveFilters;
    QString saveAnswer; // the file "chosen" in save prompts; empty for a cancelled prompt
    QString saveFilterAnswer;
    QString openAnswer;
    QStringList questions;
    std::deque<bool> answers;
    QString lastTitle;
    Icon lastIcon = Icon::Information;
};

template <typename T> T* child(const QWidget& parent, const char* name) {
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        throw std::runtime_error(std::string("no child named ") + name);
    return found;
}

// Clears the profile section so each test starts from the defaults.
void resetSettings();
