#include "tests/ui/DialogTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>

TDialogAnswers::TDialogAnswers()
    : FOldDialog(SetDialogObserver([this](TDialog& dialog) {
        ++Dialogs;
        if (FAnswers.empty()) {
            dialog.reject();
            return;
        }
        const auto answer = std::move(FAnswers.front());
        FAnswers.pop_front();
        answer(dialog);
    }))
    , FOldBox(SetBoxObserver([this](TTntMessageForm& box) {
        Boxes << box.MessageLabel()->text();
        QTest::keyClick(&box, Qt::Key_Escape);
    }))
{
}

TDialogAnswers::~TDialogAnswers()
{
    SetDialogObserver(FOldDialog);
    SetBoxObserver(FOldBox);
}

void TDialogAnswers::Then(std::function<void(TDialog&)> answer)
{
    FAnswers.push_back(std::move(answer));
}

TActiveWindow::TActiveWindow()
{
    new QVBoxLayout(this);
    resize(400, 300);
}

void TActiveWindow::Activate()
{
    show();
    activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(this));
}

void FocusOn(QWidget* control)
{
    control->setFocus(Qt::OtherFocusReason);
    EXPECT_TRUE(WaitUntil([control] { return QApplication::focusWidget() == control; }, 2000));
    Settle();
}

namespace {

std::string Describe(const QWidget* widget)
{
    QString text = QString::fromLatin1(widget->metaObject()->className());
    if (!widget->objectName().isEmpty())
        text += QStringLiteral(" '%1'").arg(widget->objectName());
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        text += QStringLiteral(" \"%1\"").arg(label->text());
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        text += QStringLiteral(" \"%1\"").arg(button->text());
    const QRect r = widget->geometry();
    text += QStringLiteral(" at %1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    return text.toStdString();
}

// A label needs its size hint; a push button its caption and the style's
// margins (its size hint adds a minimum width of the style's own).
bool TooNarrowForText(const QWidget* widget)
{
    if (qobject_cast<const QLabel*>(widget) || qobject_cast<const QCheckBox*>(widget)
        || qobject_cast<const QRadioButton*>(widget))
        return !widget->sizeHint().isEmpty() && widget->width() < widget->sizeHint().width();
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
        const QString caption = QString(button->text()).remove(QLatin1Char('&'));
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        return button->width() < button->fontMetrics().horizontalAdvance(caption) + 2 * margin;
    }
    return false;
}

// Plain containers (tab sheets, the dialog itself, button groups) hold
// controls placed by the dialog code; other controls place their own parts.
bool HoldsPlacedControls(const QWidget* widget)
{
    return widget->metaObject() == &QWidget::staticMetaObject || widget->inherits("TOrderButtons");
}

void Collect(const QWidget* container, std::vector<std::string>& faults)
{
    QList<const QWidget*> shown;
    for (const QObject* child : container->children())
        if (const auto* widget = qobject_cast<const QWidget*>(child); widget && !widget->isHidden()
                                                                       && !widget->isWindow())
            shown << widget;
    const QRect inside = container->rect();
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const QWidget* widget = shown[i];
        if (!inside.contains(widget->geometry()))
            faults.push_back(Describe(widget) + " reaches outside " + Describe(container));
        if (TooNarrowForText(widget))
            faults.push_back(Describe(widget) + " is narrower than its text");
        for (qsizetype j = i + 1; j < shown.size(); ++j)
            if (widget->geometry().intersects(shown[j]->geometry()))
                faults.push_back(Describe(widget) + " overlaps " + Describe(shown[j]));
        if (auto* tabs = qobject_cast<QTabWidget*>(const_cast<QWidget*>(widget))) {
            // A sheet is laid out once it is the current one.
            for (int page = 0; page < tabs->count(); ++page) {
                tabs->setCurrentIndex(page);
                Settle(10);
                Collect(tabs->widget(page), faults);
            }
        } else if (HoldsPlacedControls(widget)) {
            Collect(widget, faults);
        }
    }
}

} // namespace

std::vector<std::string> LayoutFaults(const QWidget* container)
{
    std::vector<std::string> faults;
    Collect(container, faults);
    return faults;
}

void ExpectNoLayoutFaults(const TDialog& dialog)
{
    for (const std::string& fault : LayoutFaults(&dialog))
        ADD_FAILURE() << dialog.objectName().toStdString() << ": " << fault;
}

void Click(QWidget* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}
