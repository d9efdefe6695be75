#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct TViewOptions;

// How a view turns a decoded plain body into the lines it shows.

// The lines of a text, split at CR LF, LF or CR.
[[nodiscard]] QStringList SplitLines(const QString& text);
// Every run of empty lines becomes one empty line.
void DeleteDoubleReturns(QStringList& lines);
// A quote line holds ">" and its first ">" lies (counting from 1) at a
// position no greater than a third of the line's length (rounded down).
[[nodiscard]] bool IsQuoteLine(const QString& line);

// The lines a view shows, and for each whether it is set in italics.
struct TShownBody
{
    QStringList Lines;
    // One flag per line when quote lines are marked; empty otherwise (the
    // whole text is then shown upright at once).
    QList<bool> Italic;

    // The lines joined by LF.
    [[nodiscard]] QString Text() const { return Lines.join(QLatin1Char('\n')); }
};

// A read-only view shows the body with runs of empty lines made one
// ("DeleteDoubleReturn"), then through the greeting filter and the
// advertisement filter, each when its option is on, and marks quote lines
// when "MarkQuote" is on. An editable view shows the text exactly as it is
// stored: what the user edits is what is saved, so nothing is hidden or
// changed there.
[[nodiscard]] TShownBody ShownBody(const QString& text, const TViewOptions& options, bool editable);
// The greeting and advertisement filters, each when its option is on.
void ApplyFilters(QStringList& lines, const TViewOptions& options);
