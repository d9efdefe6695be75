#pragma once

#include <QString>
#include <QStringList>

// The reading pane's filters. Mail from lists and forums often begins with
// a greeting or a "you wrote" line and ends with an advertisement block;
// the filters cut these away from the lines shown. They work on a list of
// lines in place and never touch the message: what is saved is always the
// message's own text. They keep no state and may run on any thread.

// A line that, trimmed and upper-cased, is shorter than two characters or
// is one character repeated (a rule of dashes, equal signs ...). An empty
// line is a separator.
[[nodiscard]] bool IsSeparatorLine(const QString& line);
// Deletes the first line while it is a separator line.
void StripLeadingSeparators(QStringList& lines);
// Deletes the last line while it is a separator line.
void StripTrailingSeparators(QStringList& lines);

// Removes leading separators and greeting lines: each of these tests looks
// once, in this order, at the first line (trimmed, case ignored) and removes
// it, and the separators after it, when it matches: it begins with
// "Hello"; it begins with "You wrote  on"; it ends with "you wrote:"; it
// begins with "On " and ends with "wrote:"; it begins with "Здравствуйте";
// it begins with "Вы писали ", ends with ":" and holds "2006".
void ApplyGreetingFilter(QStringList& lines);

// Cuts the lines from the first advertisement line to the end, then the
// separator lines left at the end. A line's key is the line trimmed and
// upper-cased; only keys longer than three characters count. A key equal
// to a sample is an advertisement line; when no line is, the first line
// whose key holds at least `level` percent of some sample's trigrams
// (AdSimilarity) is. Samples are held trimmed and upper-cased. Nothing
// happens without samples.
void ApplyAdvertismentFilter(QStringList& lines, const QStringList& samples, int level);

// How much of the sample occurs in the key, in percent: the share of the
// sample's trigrams (its n - 2 substrings of three characters) found
// anywhere in the key, rounded to the nearest integer, halves to even; 0
// for a sample shorter than three characters. The key is expected
// upper-cased, as the samples are.
[[nodiscard]] int AdSimilarity(const QString& sample, const QString& key);
