#pragma once

#include <QString>

class QObject;

// The find dialog: the text to find (an editable combo with the history
// "FindText"), "whole words", "match case" and the direction, bound to the
// options "WholeWord", "MatchCase" and "FindDown" of `options`. On OK the
// options and `text` take the dialog's values, the text moves to the front
// of the history, and the answer is true; Cancel changes nothing.
bool RunFindDialog(QString& text, QObject* options);
