#include "ui/clipboard/PasteDialog.h"

#include "settings/GlobStrings.h"
#include "ui/dialogs/LanguageSection.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QThread>
#include <QTimer>

#include <atomic>

namespace {

constexpr int kRefreshMs = 60;
constexpr int kCaption = 10;
constexpr int kPercentText = 3;

std::atomic<bool> gCancelled{true};
QPointer<TPasteDialog> gCurrent;

class TProgressEvent : public QEvent
{
public:
    TProgressEvent(int position, int total)
        : QEvent(static_cast<QEvent::Type>(TPasteDialog::kProgressMessage))
        , Position(position)
        , Total(total)
    {
    }
    const int Position;
    const int Total;
};

QString CaptionText()
{
    const TLanguageSection section(QStringLiteral("ParaCopier"));
    return Lang().TextOf(kCaption, TLangSection::ParaCopier);
}

} // namespace

TPasteDialog::TPasteDialog(int total)
    : TDialog(CaptionText())
    , FTotal(total)
{
    setObjectName(QStringLiteral("PasteDialog"));
    gCancelled = false;
    gCurrent = this;
    WidenTo(40 * Units().CharWidth);
    AddLabel(0);
    FStatus = AddLabel(0);
    FBar = new QProgressBar(LayoutParent());
    FBar->setTextVisible(false);
    FBar->setRange(0, qMax(total, 1));
    FBar->setValue(0);
    Place(FBar, QRect(Units().CharWidth, CursorY(), UsableWidth(), Units().CharHeight + Units().CharHeight / 2),
          akLeft | akTop | akRight);
    SetCursorY(CursorY() + FBar->height() + Units().CharHeight);
    FCancel = AddButton(Lang().CancelText());
    FCancel->setObjectName(QStringLiteral("CancelButton"));
    FCancel->setDefault(true);
    FCancel->move((ClientWidth() - FCancel->width()) / 2, FCancel->y());
    SetCancelButton(FCancel);
    connect(FCancel, &QPushButton::clicked, this, &TPasteDialog::reject);
}

TPasteDialog::~TPasteDialog()
{
    gCancelled = true;
}

TPasteDialog* TPasteDialog::Current()
{
    return gCurrent.data();
}

bool TPasteDialog::Cancelled()
{
    return gCancelled;
}

void TPasteDialog::Run(const std::function<void()>& paste)
{
    // Queued before the dialog's own start-up work, so the paste begins as
    // soon as the modal loop runs.
    QTimer::singleShot(0, this, [this, paste] {
        try {
            paste();
        } catch (...) {
            FFailure = std::current_exception();
        }
        QMetaObject::invokeMethod(this, &TPasteDialog::reject, Qt::QueuedConnection);
    });
    RunDialog();
    if (FFailure)
        std::rethrow_exception(std::exchange(FFailure, nullptr));
}

void TPasteDialog::Progress(int position, int total)
{
    if (QThread::currentThread() != thread()) {
        QCoreApplication::postEvent(this, new TProgressEvent(position, total));
        return;
    }
    if (position == FPosition && total == FTotal)
        return;
    FPosition = position;
    FTotal = total;
    if (FRefreshClock.isValid() && FRefreshClock.elapsed() < kRefreshMs)
        return;
    FRefreshClock.start();
    Refresh();
    QCoreApplication::processEvents();
}

void TPasteDialog::Refresh()
{
    const int hundredth = FTotal / 100;
    const int percent = hundredth > 0 ? qMin(FPosition / hundredth, 100) : 0;
    FBar->setMaximum(qMax(FTotal, 1));
    FBar->setValue(qBound(0, FPosition, FBar->maximum()));
    const TLanguageSection section(QStringLiteral("ParaCopier"));
    FStatus->setText(Lang().FormatTextOf(kPercentText, TLangSection::ParaCopier, {percent}));
}

void TPasteDialog::customEvent(QEvent* event)
{
    if (event->type() == static_cast<QEvent::Type>(kProgressMessage)) {
        const auto* progress = static_cast<TProgressEvent*>(event);
        Progress(progress->Position, progress->Total);
        return;
    }
    TDialog::customEvent(event);
}

void TPasteDialog::done(int result)
{
    gCancelled = true;
    TDialog::done(result);
}
