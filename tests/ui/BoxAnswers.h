#pragma once

#include "ui/MessageForm.h"

#include <QStringList>

#include <deque>

// Answers the message boxes while it lives: each box's text is recorded
// and the box ends with the next result queued (Escape without one).
class TBoxAnswers
{
public:
    TBoxAnswers();
    ~TBoxAnswers();
    TBoxAnswers(const TBoxAnswers&) = delete;
    TBoxAnswers& operator=(const TBoxAnswers&) = delete;

    void Then(int result) { FResults.push_back(result); }

    QStringList Texts;

private:
    std::deque<int> FResults;
    TBoxObserver FOld;
};
