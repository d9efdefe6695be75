#pragma once

#include <QTabWidget>

// The page control of the dialogs built in code. It tells where its pages
// lie before it is ever shown, so controls can be placed on them at once.
class TPageControl : public QTabWidget
{
    Q_OBJECT
public:
    explicit TPageControl(QWidget* parent = nullptr);

    // The rectangle a page fills at the control's present size.
    [[nodiscard]] QRect PageRect() const;
};
