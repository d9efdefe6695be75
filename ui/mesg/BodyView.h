#pragma once

class QTextEdit;
struct TShownBody;

// Fills a text control with the lines a view shows: quote lines in
// italics when they are marked, the rest upright; the caret goes to the
// start, the view scrolls there, the undo history starts empty and the
// document counts as unmodified.
void ShowBodyLines(QTextEdit& edit, const TShownBody& body);
