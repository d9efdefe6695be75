#include "tests/ui/UiTestSupport.h"

#include "ui/actions/ActionUpdater.h"

#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

int TNamedItems::IndexOfName(const QString& name) const
{
    TReadGuard lock(*this);
    for (int row = 0; row < Count(); ++row)
        if (ItemForRow(row)->Caption() == name)
            return row;
    return -1;
}

TTestList::TTestList()
{
    resize(320, 240);
}

void TTestList::Fill(int count, const QString& prefix)
{
    TVirtItems* items = Collection();
    items->BeginBatch();
    const int start = items->Count();
    for (int n = start; n < start + count; ++n) {
        auto item = items->CreateItem();
        auto* virt = static_cast<TVirtItem*>(item.get());
        virt->SetCaption(prefix + QString::number(n));
        virt->SetId(n);
        items->Add(std::move(item));
    }
    items->EndBatch();
}

std::unique_ptr<TVirtItems> TTestList::CreateCollection()
{
    return std::make_unique<TNamedItems>();
}

QString TTestList::ItemText(TVirtItem* item, int column)
{
    return column == 0 ? item->Caption() : OtherColumnsText;
}

void TTestList::paintEvent(QPaintEvent* event)
{
    ++Paints;
    TVirtualListView::paintEvent(event);
}

TBeepCounter::TBeepCounter()
    : FOld(SetBeepHandler([this] { ++Count; }))
{
}

TBeepCounter::~TBeepCounter()
{
    SetBeepHandler(FOld);
}

TEnglishLanguage::TEnglishLanguage()
{
    Table.LoadLanguage(QStringLiteral(VELLUMO_SOURCE_DATA_DIR "/local/english.ini"));
    SetLang(&Table);
}

TEnglishLanguage::~TEnglishLanguage()
{
    SetLang(nullptr);
}

void Settle(int ms)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

bool TriggerIfEnabled(QAction* action)
{
    TActionUpdater::UpdateAll();
    if (!action || !action->isEnabled())
        return false;
    action->trigger();
    return true;
}
