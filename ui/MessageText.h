#pragma once

#include <QLabel>
#include <QSize>

class QFont;

// The text of a message box. Lines break at word boundaries, and inside a
// word that is wider than a line (a long path or address) anywhere, so that
// no text makes a box wider than it was measured. The label keeps the text
// as it was given.
class TMessageText : public QLabel
{
    Q_OBJECT
public:
    TMessageText(const QString& text, QWidget* parent);

    // The size `text` takes in `font` with lines at most `maxWidth` wide.
    [[nodiscard]] static QSize Measure(const QString& text, const QFont& font, int maxWidth);

protected:
    void paintEvent(QPaintEvent* event) override;
};
