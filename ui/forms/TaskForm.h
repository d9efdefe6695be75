#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>

class QMenu;
class TIniFiler;

// The base of the program's top-level windows. The open ones form the
// program's window registry, in the order they registered: it numbers
// their captions when there are several and keeps a Window menu in each
// with an item per open window.
class TTaskForm : public QMainWindow
{
    Q_OBJECT
    Q_PROPERTY(bool ShowStatusBar READ ShowStatusBar WRITE SetShowStatusBar)

public:
    explicit TTaskForm(QWidget* parent = nullptr);
    ~TTaskForm() override;

    // Whether the window is part of the saved layout.
    [[nodiscard]] virtual bool MayBeSaved() const { return true; }
    // What the caption names; empty leaves the caption alone.
    [[nodiscard]] virtual QString CaptionText() const { return {}; }

    // Files the window's own settings in the filer's current section (the
    // window's section of the layout); the filer tells the direction.
    virtual void DefineIniProperties(TIniFiler& filer);

    [[nodiscard]] bool ShowStatusBar() const;
    void SetShowStatusBar(bool show);

    // The registered windows, oldest first.
    [[nodiscard]] static QList<TTaskForm*> Forms();
    // Sets every registered window's caption, then rebuilds every Window menu.
    static void RefreshAll();

protected:
    // Closing the last window saves the layout first.
    void closeEvent(QCloseEvent* event) override;
    // Joins the registry; called once the window is fully made.
    void Register();
    // The menu that lists the open windows.
    void SetWindowMenu(QMenu* menu);

private:
    void RefreshCaption(int position, int count);
    void RefreshWindowMenu();

    QPointer<QMenu> FWindowMenu;
};
