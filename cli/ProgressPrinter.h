#pragma once

#include <QString>
#include <QTextStream>

#include <unistd.h>

// Progress of long work on standard error: a line that rewrites itself on
// a terminal, a line per tenth otherwise.
class TProgressPrinter
{
public:
    TProgressPrinter(QTextStream& err, QString label) : FErr(err), FLabel(std::move(label)), FTerminal(isatty(2)) {}
    ~TProgressPrinter()
    {
        if (FShown && FTerminal)
            FErr << QLatin1Char('\n');
        FErr.flush();
    }
    bool operator()(qint64 done, qint64 total)
    {
        const int percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
        if (percent != FPercent && (FTerminal || percent / 10 != FPercent / 10)) {
            FPercent = percent;
            FShown = true;
            FErr << (FTerminal ? QStringLiteral("\r%1 %2%") : QStringLiteral("%1 %2%\n")).arg(FLabel, QString::number(percent));
            FErr.flush();
        }
        return true;
    }

private:
    QTextStream& FErr;
    QString FLabel;
    bool FTerminal;
    bool FShown = false;
    int FPercent = -1;
};
