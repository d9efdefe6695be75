#pragma once

#include <QString>
#include <QStringList>

// The options that decide how a message view shows a plain body, taken
// once per display so that a view on any thread works from one consistent
// set (the settings object may change them meanwhile on the main thread).
struct TViewOptions
{
    bool DeleteDoubleReturn = true;   // runs of empty lines shown as one
    bool MarkQuote = true;            // quote lines in italics
    bool GreetingFilter = true;
    bool AdvertismentFilter = true;
    int AdvertismentLevel = 90;
    QStringList AdSamples;            // trimmed and upper-cased

    // The settings object's options and samples; the defaults above (and
    // no samples) when there is no settings object. Main thread only (the
    // settings object's options are plain fields): a view on another
    // thread gets a copy taken there.
    [[nodiscard]] static TViewOptions FromSettings();
    // These options with the advertisement filter off when the subject is
    // a digest's (IsDigestSubject): a digest is many messages in one, and
    // cutting it at the first advertisement would hide most of them.
    [[nodiscard]] TViewOptions ForSubject(const QString& subject) const;
};
