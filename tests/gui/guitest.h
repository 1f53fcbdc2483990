#pragma once

#include "gui/widgets/prompter.h"

#include <QFileInfo>
#include <QStringList>
#include <QWidget>

#include <deque>
#include <vector>

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
    QString askOpenFile(QWidget*, const FileRequest&) override { return openAnswer; }
    // Takes the next of `saveAnswers` (a prompt after the last is cancelled) and completes it with
    // the default suffix, as the file dialog does.
    QString askSaveFile(QWidget*, const FileRequest& request, QString* chosenFilter) override {
        saveFilters << request.filter;
        saveRequests.push_back(request);
        if (chosenFilter)
            *chosenFilter = saveFilterAnswer;
        if (saveAnswers.empty())
            return {};
        QString answer = saveAnswers.front();
        saveAnswers.pop_front();
        if (!answer.isEmpty() && !request.defaultSuffix.isEmpty() && QFileInfo(answer).suffix().isEmpty())
            answer += QLatin1Char('.') + request.defaultSuffix;
        return answer;
    }

    QStringList messages;
    QStringList saveFilters;
    std::vector<FileRequest> saveRequests;
    std::deque<QString> saveAnswers; // the files "chosen" in save prompts, in turn
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

// Clears the profile so each test starts from the defaults.
void resetSettings();
