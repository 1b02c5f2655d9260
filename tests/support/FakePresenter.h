#pragma once
// A message presenter for tests: records every box and answers from a script.
#include "model/Services.h"

#include <QList>
#include <QStringList>

struct ShownMessage {
    QString text;
    int style = 0;
    QString title;
};

class FakePresenter : public IMessagePresenter {
public:
    QList<ShownMessage> shown;
    QList<int> answers;        // popped in order; when empty, the default below
    int defaultAnswer = MsgResult::OK;
    QStringList inputs;        // answers of InputBox, popped in order; "" when empty
    QStringList prompts;
    QStringList inputDefaults;  // the default text of each InputBox

    int MsgBox(const QString& text, int style, const QString& title = QString()) override
    {
        shown.append({text, style, title});
        return answers.isEmpty() ? defaultAnswer : answers.takeFirst();
    }
    QString InputBox(const QString& prompt, const QString& = QString(), const QString& defaultText = QString()) override
    {
        prompts.append(prompt);
        inputDefaults.append(defaultText);
        return inputs.isEmpty() ? QString() : inputs.takeFirst();
    }
    QStringList texts() const
    {
        QStringList t;
        for (const auto& m : shown)
            t.append(m.text);
        return t;
    }
};
