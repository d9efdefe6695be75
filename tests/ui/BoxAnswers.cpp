#include "tests/ui/BoxAnswers.h"

#include <QLabel>
#include <QTest>

TBoxAnswers::TBoxAnswers()
    : FOld(SetBoxObserver([this](TTntMessageForm& box) {
        Texts << box.MessageLabel()->text();
        if (FResults.empty()) {
            QTest::keyClick(&box, Qt::Key_Escape);
            return;
        }
        const int result = FResults.front();
        FResults.pop_front();
        box.done(result);
    }))
{
}

TBoxAnswers::~TBoxAnswers()
{
    SetBoxObserver(FOld);
}
