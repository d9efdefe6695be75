#pragma once

#include <QString>

#include <functional>

// The layers below the user interface never show a window themselves: they
// call these hooks, which the ui module installs at start-up. Without an
// installed handler the text goes to standard error, which is what the
// command-line program and the tests see.

using TErrorBoxHandler = std::function<void(const QString& text)>;

// Beeps and shows an error box with the product name as caption.
void ShowErrorBox(const QString& text);
// Installs the handler; returns the previous one.
TErrorBoxHandler SetErrorBoxHandler(TErrorBoxHandler handler);
