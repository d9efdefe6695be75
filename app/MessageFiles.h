#pragma once

#include <QStringList>

#include <vector>

class TMEditForm;

// The message windows opened for a list of files, in its order, and the
// files that could not be shown.
struct TOpenedMessageFiles
{
    std::vector<TMEditForm*> Windows;
    QStringList Failed;
};

// Opens and shows a message window of its own for each file that can be
// shown; each file that cannot is also named on standard error. Each window
// frees itself when it closes.
TOpenedMessageFiles OpenMessageFiles(const QStringList& paths);
